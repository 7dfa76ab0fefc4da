// The settings file: print settings, project information with its lock, the widths of the
// three docking panes and a group of legacy values, remembered from one run to the next.
// Binary, with length-prefixed UTF-16 texts.
#pragma once

#include "core/common/atomic_file.h"
#include "core/data/print_settings.h"
#include "core/data/project_info.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace crackdepth {

inline constexpr const char* kSettingsFileName = "tessvel.ini";
inline constexpr const char* kDefaultDateText = "2012-10-20";
inline constexpr const char* kSettingsSaveFailedMessage = "设置文件保存失败！";
inline constexpr const char* kSettingsResetMessage = "设置文件已损坏，损坏的设置已恢复为默认值。";

// What the user is told when the settings cannot be saved at the end of a run: the message,
// the file it concerns and the system's reason (systemReasonOf).
std::string settingsSaveFailedMessage(const std::filesystem::path& path, const std::string& reason);
// What the user is told once when values of the settings file were damaged and reset.
std::string settingsResetMessage(const std::filesystem::path& path);

// Values without a role in this program; read so that the later groups line up, written
// back as held.
struct LegacySettings {
    std::array<std::string, 7> texts;      // in file order
    std::array<std::int32_t, 6> numbers{}; // in file order

    bool operator==(const LegacySettings&) const = default;
};

struct Settings {
    LegacySettings legacy;
    PrintSettings print;
    ProjectInfo project;
    std::array<std::int32_t, 3> panelWidths{220, 220, 220};

    bool operator==(const Settings&) const = default;
};

// Reads as far as the bytes go: every value read replaces the one in `settings`, unless it
// is out of its range or kind (a width beyond any screen, a flag other than 0 or 1, a text
// with control characters or broken UTF-16); the rest keep what they had. Returns false
// when a value was refused that way (damage, not a short file).
bool parseSettings(std::span<const std::uint8_t> bytes, Settings& settings);
std::vector<std::uint8_t> serializeSettings(const Settings& settings);

// Loading from a path into `settings` as they are (the defaults, at start-up): a missing or
// unreadable file leaves them and sets the test date and casting date to kDefaultDateText;
// an empty file changes nothing. False when damaged values were left at their defaults.
bool LoadSettings(const std::filesystem::path& path, Settings& settings);
WriteOutcome SaveSettings(const std::filesystem::path& path, const Settings& settings);

} // namespace crackdepth
