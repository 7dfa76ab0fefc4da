// An office document package: the zip of its XML parts and pictures, built in memory so that
// the file on disk is written whole or not at all.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace crackdepth::report {

struct PackagePart {
    std::string name;     // path inside the package, "word/document.xml"
    std::string bytes;    // the part's content
    bool compress = true; // pictures already compressed are stored as they are
};

// The zip file of the parts, in their order; nothing and the reason in `error` on failure.
std::optional<std::string> zipPackage(const std::vector<PackagePart>& parts, std::string& error);

} // namespace crackdepth::report
