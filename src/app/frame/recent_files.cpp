#include "app/frame/recent_files.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace crackdepth::app {
namespace {
const QString kKey = QStringLiteral("recentFiles");
const QString kOpenPrompt = QStringLiteral("打开此文档");

// One spelling per file: the canonical absolute path, or, for a file that is not there (any
// more), the cleaned absolute path.
QString canonicalPath(const QString& path) {
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(file.absoluteFilePath()) : canonical;
}

} // namespace

RecentFiles::RecentFiles() {
    // Lists written before the paths were made canonical may name one file twice.
    for (const QString& stored : QSettings().value(kKey).toStringList()) {
        const QString path = canonicalPath(stored);
        if (!entries_.contains(path) && entries_.size() < kMaxEntries) {
            entries_ << path;
        }
    }
}

void RecentFiles::add(const QString& given) {
    const QString path = canonicalPath(given);
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

QString recentEntryText(int number, const QString& path) {
    QString shown = QDir::toNativeSeparators(path);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(number).arg(shown);
}

void fillRecentFiles(QMenu& menu, QAction& placeholder, QList<QAction*>& entries,
                     const RecentFiles& files, const std::function<void(const QString&)>& open) {
    // An entry may be the very action whose choice led here: it leaves the menu now and is
    // deleted once its signal has returned.
    for (QAction* old : entries) {
        menu.removeAction(old);
        old->deleteLater();
    }
    entries.clear();
    int number = 1;
    for (const QString& path : files.entries()) {
        auto* entry = new QAction(recentEntryText(number++, path), &menu);
        entry->setStatusTip(kOpenPrompt);
        QObject::connect(entry, &QAction::triggered, &menu, [open, path] { open(path); });
        menu.insertAction(&placeholder, entry);
        entries.push_back(entry);
    }
    placeholder.setEnabled(false);
    placeholder.setVisible(entries.isEmpty());
}

} // namespace crackdepth::app
