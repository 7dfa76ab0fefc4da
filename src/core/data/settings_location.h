// Where the settings file lives. It is written beside the program when that folder is
// writable, otherwise in the user's configuration folder; it is read from wherever the
// newest one is, so a file placed beside a program in a read-only folder still counts. The
// desktop program and the command-line tool look in the same places.
#pragma once

#include <filesystem>
#include <optional>

namespace crackdepth {

// The folder of the running executable; empty when it cannot be found.
std::filesystem::path executableFolder();

// $XDG_CONFIG_HOME/crackdepth/tessvel.ini, or ~/.config/crackdepth/tessvel.ini.
std::filesystem::path userSettingsFile();

// Whether a file can be created in `folder` (tried, since permission bits do not tell for
// root or for read-only mounts).
bool folderWritable(const std::filesystem::path& folder);

struct SettingsPaths {
    SettingsPaths() = default;
    // One file, read and saved; implicit, so that a plain path still names the settings.
    SettingsPaths(std::filesystem::path file) : read(file), write(std::move(file)) {}
    SettingsPaths(std::filesystem::path readFrom, std::filesystem::path writeTo)
        : read(std::move(readFrom)), write(std::move(writeTo)) {}

    std::filesystem::path read;  // the file to load; may not exist (first run)
    std::filesystem::path write; // the file to save at the end of the run
};

// The rule, given whether the executable's folder is writable. Written: beside the
// executable when its folder is writable, else the user's file. Read: the written file when
// it exists (what the last run saved), else the one beside the executable, else the user's
// file, else the written one (missing: the first run).
SettingsPaths chooseSettingsPaths(const std::filesystem::path& executableDir,
                                  bool executableDirWritable,
                                  const std::filesystem::path& userFile);

// The same rule for this machine.
SettingsPaths settingsPathsFor(const std::filesystem::path& executableDir);

// The settings file the command-line tool reads: the desktop program's read path, when
// such a file exists.
std::optional<std::filesystem::path>
existingSettingsFile(const std::filesystem::path& executableDir);

} // namespace crackdepth
