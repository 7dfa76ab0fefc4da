#include "core/data/settings_location.h"

#include "core/data/settings_file.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace crackdepth {
namespace {

bool isFile(const std::filesystem::path& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

} // namespace

bool folderWritable(const std::filesystem::path& folder) {
    std::error_code error;
    if (folder.empty() || !std::filesystem::is_directory(folder, error)) {
        return false;
    }
    const auto probe = folder / ".crackdepth-write-probe";
    bool writable = false;
    {
        std::ofstream out(probe);
        writable = static_cast<bool>(out);
    }
    std::filesystem::remove(probe, error);
    return writable;
}

std::filesystem::path executableFolder() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path{} : self.parent_path();
}

std::filesystem::path userSettingsFile() {
    std::filesystem::path base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config != 0) {
        base = config;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != 0) {
        base = std::filesystem::path(home) / ".config";
    } else {
        base = std::filesystem::temp_directory_path();
    }
    return base / "crackdepth" / kSettingsFileName;
}

SettingsPaths chooseSettingsPaths(const std::filesystem::path& executableDir,
                                  bool executableDirWritable,
                                  const std::filesystem::path& userFile) {
    const std::filesystem::path beside =
        executableDir.empty() ? std::filesystem::path{} : executableDir / kSettingsFileName;
    SettingsPaths paths;
    paths.write = executableDirWritable && !beside.empty() ? beside : userFile;
    for (const auto& candidate : {paths.write, beside, userFile}) {
        if (isFile(candidate)) {
            paths.read = candidate;
            return paths;
        }
    }
    paths.read = paths.write;
    return paths;
}

SettingsPaths settingsPathsFor(const std::filesystem::path& executableDir) {
    return chooseSettingsPaths(executableDir, folderWritable(executableDir), userSettingsFile());
}

std::optional<std::filesystem::path>
existingSettingsFile(const std::filesystem::path& executableDir) {
    const SettingsPaths paths = settingsPathsFor(executableDir);
    return isFile(paths.read) ? std::optional(paths.read) : std::nullopt;
}

} // namespace crackdepth
