#include "cli/saved_settings.h"

#include "core/data/settings_location.h"

namespace crackdepth::cli {

Settings savedSettings() {
    Settings settings;
    if (const auto path = existingSettingsFile(executableFolder())) {
        LoadSettings(*path, settings);
    }
    return settings;
}

} // namespace crackdepth::cli
