#include "core/data/settings_location.h"

#include "core/data/settings_file.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace crackdepth {
namespace {

// Whether a file can be created in the folder (permission bits do not tell for root or
// for read-only mounts, so try it).
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

} // namespace

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

std::filesystem::path settingsFileFor(const std::filesystem::path& executableDir) {
    return folderWritable(executableDir) ? executableDir / kSettingsFileName : userSettingsFile();
}

std::optional<std::filesystem::path>
existingSettingsFile(const std::filesystem::path& executableDir) {
    std::error_code error;
    if (!executableDir.empty()) {
        const auto beside = executableDir / kSettingsFileName;
        if (std::filesystem::is_regular_file(beside, error)) {
            return beside;
        }
    }
    const auto user = userSettingsFile();
    if (std::filesystem::is_regular_file(user, error)) {
        return user;
    }
    return std::nullopt;
}

} // namespace crackdepth
