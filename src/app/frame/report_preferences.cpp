#include "app/frame/report_preferences.h"

#include <QSettings>

namespace crackdepth::app {
namespace {

constexpr const char* kListChecksKey = "report/listChecks";

} // namespace

void restoreReportPreferences(PrintSettings& settings) {
    const QVariant stored = QSettings().value(QString::fromUtf8(kListChecksKey));
    bool isNumber = false;
    const int value = stored.toInt(&isNumber);
    if (isNumber && (value == 0 || value == 1)) {
        settings.listChecks = value;
    }
}

void rememberReportPreferences(const PrintSettings& settings) {
    QSettings().setValue(QString::fromUtf8(kListChecksKey), settings.listChecks != 0 ? 1 : 0);
}

} // namespace crackdepth::app
