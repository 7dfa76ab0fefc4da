// The recent-file list of the "文件(&F)" menu: four entries kept in the platform's settings
// store, newest first.
#pragma once

#include <QStringList>

namespace crackdepth::app {

class RecentFiles {
public:
    static constexpr int kMaxEntries = 4;

    RecentFiles();
    const QStringList& entries() const { return entries_; }
    // Puts `path` first (removing an older entry of it) and saves the list.
    void add(const QString& path);
    void remove(const QString& path);

private:
    void save() const;
    QStringList entries_;
};

} // namespace crackdepth::app
