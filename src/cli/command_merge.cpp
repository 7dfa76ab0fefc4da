#include "commands.h"
#include "output.h"

namespace crackdepth::cli {

int runMerge(const Words&, std::ostream&, std::ostream& err) {
    return refuse(err, "", "not built yet");
}

} // namespace crackdepth::cli
