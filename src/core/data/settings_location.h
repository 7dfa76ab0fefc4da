// Where the settings file lives: beside the program when that folder is writable, otherwise
// in the user's configuration folder. The desktop program and the command-line tool look in
// the same places.
#pragma once

#include <filesystem>
#include <optional>

namespace crackdepth {

// The folder of the running executable; empty when it cannot be found.
std::filesystem::path executableFolder();

// $XDG_CONFIG_HOME/crackdepth/tessvel.ini, or ~/.config/crackdepth/tessvel.ini.
std::filesystem::path userSettingsFile();

// The file the desktop program writes: beside the executable when that folder is writable,
// otherwise the user's file.
std::filesystem::path settingsFileFor(const std::filesystem::path& executableDir);

// The settings file to read: beside the executable if one is there, else the user's file
// if one is there, else none.
std::optional<std::filesystem::path>
existingSettingsFile(const std::filesystem::path& executableDir);

} // namespace crackdepth
