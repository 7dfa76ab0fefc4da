// The measurement data a document holds: the non-crossing line, the crossing lines with
// their headers and time corrections, which line is selected and shown, the project
// information and the names of the files they came from. Each line has exactly one header;
// which crossing line is current and which line is shown are indices, never copies.
#pragma once

#include "core/analysis/fit.h"
#include "core/data/point_list.h"
#include "core/data/project_info.h"
#include "core/data/test_parameters.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace crackdepth {

struct PathFields {
    std::string nonCrossingName; // file name of the non-crossing data
    std::string nonCrossingPath;
    std::string crossingName; // file name of the crossing data; tells ".DP1" from ".DPA"
    std::string crossingPath;
    std::string currentFileName;
    std::string currentBaseName; // currentFileName without its last four characters

    bool operator==(const PathFields&) const = default;
};

// Which line of the document something belongs to.
enum class LineKind : std::uint8_t { NonCrossing, Crossing, RawCrossing };

struct LineId {
    LineKind kind = LineKind::NonCrossing;
    std::size_t entry = 0; // the index into crossingLists for LineKind::Crossing

    bool operator==(const LineId&) const = default;
};

inline constexpr LineId kNonCrossingLine{LineKind::NonCrossing, 0};

// The line the views show: none, the non-crossing line, or the current crossing line.
enum class ShownLine : std::uint8_t { None, NonCrossing, Crossing };

struct DocumentData {
    std::unique_ptr<PointList> nonCrossingList;
    TestParameters nonCrossingParameters;

    // The crossing lines of a result file, one per crack, in file order; the three
    // sequences always have the same length.
    std::vector<std::unique_ptr<PointList>> crossingLists;
    std::vector<TestParameters> crossingParameters;
    std::vector<float> crossingCorrections; // us

    // A crossing raw file's line and its header; none while a result file's lines are open
    // (the two never coexist).
    std::unique_ptr<PointList> rawCrossingList;
    TestParameters rawCrossingParameters;

    // The crossing line being worked on: entry currentCrossingEntry of crossingLists, or
    // the raw crossing line when there are no result lines.
    std::size_t currentCrossingEntry = 0;
    ShownLine shown = ShownLine::None;

    std::int32_t currentTab = 0;     // 0 the non-crossing line, k the k-th crossing line
    float correctionAll = 0;         // us, all lines
    float correctionNonCrossing = 0; // us

    ProjectInfo projectInfo;
    ProjectBlock projectBlock;
    PathFields paths;

    // A line and its header by identity; none when the document holds no such line.
    PointList* line(LineId id);
    const PointList* line(LineId id) const;
    TestParameters* header(LineId id);
    const TestParameters* header(LineId id) const;

    // The current crossing line, its identity and its header (an empty header without one).
    std::optional<LineId> currentCrossingId() const;
    PointList* currentCrossingList();
    const PointList* currentCrossingList() const;
    const TestParameters& currentCrossingParameters() const;

    // The shown line and its identity; none when nothing is shown.
    std::optional<LineId> shownId() const;
    PointList* shownList();
    const PointList* shownList() const;
    // True unless a crossing line is shown: whose header the shown line has.
    bool showingNonCrossing() const { return shown != ShownLine::Crossing; }
    const TestParameters& shownParameters() const {
        return showingNonCrossing() ? nonCrossingParameters : currentCrossingParameters();
    }

    // The correction of the selected tab's line; 0 for a crossing line that has no entry
    // (a crossing raw file is not among the result file's lines).
    float lineCorrection() const;
    TimeCorrections tabCorrections() const { return {correctionAll, lineCorrection()}; }
    TimeCorrections nonCrossingCorrections() const {
        return {correctionAll, correctionNonCrossing};
    }
    // Drops every line and crossing sequence (the project information stays).
    void clearLines();
};

// The text after the last path separator ('/' or '\').
std::string fileNameOf(const std::string& path);

} // namespace crackdepth
