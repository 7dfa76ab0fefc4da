// The project and test information that panels, dialogs and reports show, and its form in
// the result file.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace crackdepth {

// Indices of the texts of ProjectInfo that have a role.
enum ProjectText : std::size_t {
    kProjectName = 0,
    kTestingOrganisation = 1,
    kConstructionOrganisation = 2,
    kClient = 3,
    kTestAge = 4,
    kDesignStrength = 5,
    kTestStandard = 6,
    kTestDate = 8,
    kReportDate = 9,
    kTester = 10,
    kCommissionNumber = 11,
    kInstrumentNumber = 12,
    kCastingDate = 13,
    kTestNumber = 14,
    kComponentName = 15,
    kInstrumentModel = 22,
};

struct ProjectInfo {
    static constexpr std::size_t kTextCount = 24;
    std::array<std::string, kTextCount> texts;
    std::int32_t locked = 0;

    bool operator==(const ProjectInfo&) const = default;
};

// The result file's project block: 116 texts, of which the first 16 map onto ProjectInfo
// and the other 100 are kept and written back unchanged.
struct ProjectBlock {
    static constexpr std::size_t kTextCount = 116;
    static constexpr std::size_t kMappedCount = 16;
    static constexpr std::size_t kByteSize = 5392;

    struct MappedField {
        std::size_t width;        // UTF-16 code units
        std::size_t projectIndex; // index into ProjectInfo::texts
    };
    static constexpr std::array<MappedField, kMappedCount> kMapped{{
        {24, kConstructionOrganisation},
        {24, kClient},
        {24, kCommissionNumber},
        {8, kDesignStrength},
        {16, kCastingDate},
        {16, kTestDate},
        {16, kComponentName},
        {8, kTestAge},
        {24, kProjectName},
        {24, kTestingOrganisation},
        {16, kTester},
        {16, kTestStandard},
        {16, kInstrumentModel},
        {24, kInstrumentNumber},
        {24, kTestNumber},
        {16, kReportDate},
    }};
    static constexpr std::size_t kFurtherWidth = 24;

    static constexpr std::size_t widthOf(std::size_t field) {
        return field < kMappedCount ? kMapped[field].width : kFurtherWidth;
    }

    std::array<std::string, kTextCount> texts;

    void copyInto(ProjectInfo& info) const;
    void copyFrom(const ProjectInfo& info);

    bool operator==(const ProjectBlock&) const = default;
};

} // namespace crackdepth
