#include "app/frame/recent_files.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QSettings>

namespace crackdepth::app {
namespace {
const QString kKey = QStringLiteral("recentFiles");
const QString kOpenPrompt = QStringLiteral("打开此文档");
} // namespace

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
