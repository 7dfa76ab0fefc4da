// What report pages carry besides the body, how the body is ruled, the margins and the
// report style. Field order is the order of the settings file, up to `footerText`; the
// fields after it are not in that file (its layout has no room for them).
#pragma once

#include <cstdint>
#include <string>

namespace crackdepth {

enum class ReportStyle : std::int32_t { Standard = 0, Simple = 1, WaveTrain = 2 };

struct PrintSettings {
    std::int32_t headerOn = 0;
    std::int32_t footerOn = 0;
    std::int32_t pageNumberOn = 0;
    std::int32_t printReport = 1;
    std::int32_t printWaveforms = 0;
    std::int32_t tableHead = 1;
    std::int32_t borderWidth = 4;        // device units
    std::int32_t gridWidth = 2;          // device units
    std::int32_t topMargin = 20;         // mm
    std::int32_t leftMargin = 15;        // mm
    std::int32_t bottomMargin = 15;      // mm
    std::int32_t rightMargin = 15;       // mm
    std::int32_t pageNumberPosition = 0; // 0 bottom left, 1 bottom centre, 2 bottom right
    std::int32_t startPageNumber = 1;
    std::int32_t pageNumberFormat = 0; // 0 decimal, 1 Roman
    std::int32_t headerHeight = 5;     // mm
    std::int32_t headerPosition = 0;   // 0 left, 1 centre, 2 right
    std::int32_t headerFont = 0;       // index into the five face names
    std::string headerText;
    std::int32_t footerHeight = 5; // mm
    std::int32_t footerPosition = 0;
    std::int32_t footerFont = 0;
    // A ReportStyle value as stored; anything outside 0 … 2 is reset to 0 before use.
    std::int32_t reportStyle = 0;
    std::string footerText;
    // "报告中列出测量检查": every crack's report ends with its measurement checks. Kept in the
    // program's own settings store, not in the settings file.
    std::int32_t listChecks = 1;

    bool operator==(const PrintSettings&) const = default;
};

} // namespace crackdepth
