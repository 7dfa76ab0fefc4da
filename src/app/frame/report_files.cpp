#include "app/frame/report_files.h"

#include <QDesktopServices>
#include <QStatusBar>
#include <QUrl>

namespace crackdepth::app {

bool openWithDesktop(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void ShowWrittenReport(const std::filesystem::path& file, const FileOpener& open,
                       UserPrompts& prompts, QStatusBar& status) {
    const QString path = QString::fromStdString(file.string());
    // The message stays until another replaces it: the file dialog is gone, the name is not.
    status.showMessage(QString::fromUtf8(kReportSavedText) + path);
    if (!open(path)) {
        prompts.message(std::string(kReportSavedText) + "\n" + file.string() + "\n\n" +
                            kReportNotOpenedText,
                        MessageIcon::Warning);
    }
}

} // namespace crackdepth::app
