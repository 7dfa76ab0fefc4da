// The desktop program's saved settings (print settings, project information), or the
// defaults when it has saved none: the command-line tool works as the program would.
#pragma once

#include "core/data/settings_file.h"

namespace crackdepth::cli {

Settings savedSettings();

} // namespace crackdepth::cli
