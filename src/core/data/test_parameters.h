// The header of one measuring line, the same record in every measurement file: texts from
// the instrument, the two counts, the 17 slots of line geometry and settings, and the note.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace crackdepth {

inline constexpr const char* kFileId = "UlkWinID";
inline constexpr const char* kInstrumentId = "UlkPt5-1";
inline constexpr const char* kNonCrossingSignature = "Ulk_CrackZero";
inline constexpr const char* kCrossingSignature = "Ulk_CrackDepth";

// Slots 15 and 16: a date as three 16-bit values and two bytes kept as read.
struct LineDate {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t day = 0;
    std::array<std::uint8_t, 2> spare{};

    bool operator==(const LineDate&) const = default;
};

struct TestParameters {
    // Texts (UTF-8 here; their file widths in UTF-16 code units are in the comments).
    std::string fileId;       // 8
    std::string instrumentId; // 8, written as "UlkPt5-1", not read back
    std::string signature;    // 16
    std::string projectName;  // 24
    std::string organisation; // 24
    std::string operatorName; // 16
    std::string testDate;     // 16
    std::string spareText;    // 16, written, not read back

    std::int32_t pointCount = 0;
    std::int32_t sampleCount = 0;
    std::array<std::uint32_t, 2> reservedIntegers{};

    // The 17 slots.
    float originOffset = 0;          // 0, mm
    float firstSpacing = 0;          // 1, mm
    float stepPartA = 0;             // 2, mm
    float stepPartB = 0;             // 3, mm
    float referenceDistance = 0;     // 4, mm
    std::int32_t referencePoint = 0; // 5, 1-based
    std::uint32_t reservedSlot6 = 0;
    float zeroCalibration = 0; // 7, us
    std::uint32_t reservedSlot8 = 0;
    std::uint32_t reservedSlot9 = 0;
    std::int32_t countCopy = 0; // 10
    float step = 0;             // 11, mm
    // 12: the analysis method (0 regression, 1 two-point) of a non-crossing line, or whether
    // a phase-reversal point is set (1) on a crossing line.
    std::int32_t lineFlag = 0;
    std::int32_t reversalIndex = 0; // 13, 0-based
    std::int32_t lineCount = 0;     // 14, in a result file's first header: number of lines
    LineDate lineDate;              // 15, 16

    std::string note; // 40

    std::int32_t analysisMethod() const { return lineFlag; }
    std::int32_t reversalSet() const { return lineFlag; }
};

} // namespace crackdepth
