#include "app/frame/recent_files.h"

#include <QSettings>

namespace crackdepth::app {
namespace {
const QString kKey = QStringLiteral("recentFiles");
}

RecentFiles::RecentFiles() {
    entries_ = QSettings().value(kKey).toStringList().mid(0, kMaxEntries);
}

void RecentFiles::add(const QString& path) {
    entries_.removeAll(path);
    entries_.prepend(path);
    entries_ = entries_.mid(0, kMaxEntries);
    save();
}

void RecentFiles::remove(const QString& path) {
    entries_.removeAll(path);
    save();
}

void RecentFiles::save() const {
    QSettings().setValue(kKey, entries_);
}

} // namespace crackdepth::app
