// The "测量检查" list of the information panel: one row per finding of CheckMeasurement, or
// one row "无" when there is none, and what a click on a row selects: the tab of the finding's
// line and its point.
#pragma once

#include "core/document/checks/measurement_checks.h"
#include "core/document/checks/waveform_facts_cache.h"
#include "core/document/model/document_analysis.h"
#include "core/document/model/document_data.h"

#include <cstddef>
#include <string>
#include <vector>

namespace crackdepth {

class Document;

inline constexpr const char* kCheckListTitle = "测量检查";
inline constexpr const char* kNoFindingsText = "无";

struct CheckList {
    std::vector<MeasurementCheck> checks;

    // The findings' messages, or kNoFindingsText alone.
    std::vector<std::string> rows() const;
};

CheckList checkListOf(const DocumentData& data, const DocumentAnalysis& analysis);
// The same with the waveforms' facts kept in `facts` from the last time.
CheckList checkListOf(const DocumentData& data, const DocumentAnalysis& analysis,
                      WaveformFactsCache& facts);

// A click on row `row`: tab k is selected for a finding of crack k and tab 0 for one of the
// non-crossing line, and the finding's point (if it names one) becomes the line's current
// point. False when the row names no finding (the "无" row, a row past the end, a line the
// document no longer holds); nothing changes then.
bool ShowCheck(Document& document, const CheckList& list, std::size_t row);

} // namespace crackdepth
