// The measurement data a document holds: the non-crossing line, the crossing lines with
// their headers and time corrections, which line is shown, the project information and the
// names of the files they came from.
#pragma once

#include "core/analysis/fit.h"
#include "core/data/point_list.h"
#include "core/data/project_info.h"
#include "core/data/test_parameters.h"

#include <cstdint>
#include <memory>
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
};

struct DocumentData {
    std::unique_ptr<PointList> nonCrossingList;
    TestParameters nonCrossingParameters;

    // The crossing lines of a result file, one per crack, in file order; the three
    // sequences always have the same length.
    std::vector<std::unique_ptr<PointList>> crossingLists;
    std::vector<TestParameters> crossingParameters;
    std::vector<float> crossingCorrections; // us

    // A crossing raw file's line, owned here; none while a result file is open.
    std::unique_ptr<PointList> rawCrossingList;
    // The crossing line being worked on: rawCrossingList or an entry of crossingLists.
    PointList* currentCrossingList = nullptr;
    TestParameters currentCrossingParameters;

    // The line whose points the views show (the non-crossing or the current crossing line).
    PointList* shownList = nullptr;
    bool showingNonCrossing = true; // whose header the shown line has

    std::int32_t currentTab = 0;     // 0 the non-crossing line, k the k-th crossing line
    float correctionAll = 0;         // us, all lines
    float correctionNonCrossing = 0; // us
    std::int32_t lastShift = 0;

    ProjectInfo projectInfo;
    ProjectBlock projectBlock;
    PathFields paths;
    bool viewsDirty = true;

    const TestParameters& shownParameters() const {
        return showingNonCrossing ? nonCrossingParameters : currentCrossingParameters;
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
