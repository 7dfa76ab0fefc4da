// The recent-file list of the "文件(&F)" menu: four entries kept in the platform's settings
// store, newest first, shown in the menu in place of the placeholder "最近的文件".
#pragma once

#include <QList>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;

namespace crackdepth::app {

class RecentFiles {
public:
    static constexpr int kMaxEntries = 4;

    RecentFiles();
    const QStringList& entries() const { return entries_; }
    // Puts `path` first, under its canonical absolute path (removing an older entry of the
    // same file), and saves the list.
    void add(const QString& path);
    void remove(const QString& path);

private:
    void save() const;
    QStringList entries_;
};

// The menu text of entry `number` (1 … 4): "&1 /data/A.DPA", with any "&" of the path doubled
// so that it is shown and not taken for a shortcut mark.
QString recentEntryText(int number, const QString& path);

// Fills the recent files' place in `menu`: the disabled `placeholder` ("最近的文件") while the
// list is empty, otherwise one entry per file in its place, each with the prompt "打开此文档".
// `entries` holds the entry actions made last time; they are replaced. Choosing an entry
// calls `open` with its path.
void fillRecentFiles(QMenu& menu, QAction& placeholder, QList<QAction*>& entries,
                     const RecentFiles& files, const std::function<void(const QString&)>& open);

} // namespace crackdepth::app
