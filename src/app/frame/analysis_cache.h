// The document's analysis as the views read it: computed once per change of the document
// and shared by the waveform, plot, table and information panel, so that every view shows
// the numbers of the same data, whichever of them paints first. The measurement checks are
// kept the same way, computed when first asked for after a change of the data.
#pragma once

#include "core/document/checks/check_list.h"
#include "core/document/model/document.h"
#include "core/document/model/document_analysis.h"

#include <cstdint>
#include <limits>
#include <optional>

namespace crackdepth::app {

class AnalysisCache {
public:
    explicit AnalysisCache(const Document& document) : document_(document) {}

    // A change of the selection alone makes again only what follows the selection (the
    // selected crack and the tables), unless it moved the two-point method's partner.
    const DocumentAnalysis& current() {
        if (revision_ != document_.revision()) {
            const DocumentData& data = document_.data();
            const MeasuredKey key{document_.dataRevision(), wantedSecondPoint(data)};
            if (measuredKey_ == key) {
                SelectInAnalysis(analysis_, data);
            } else {
                analysis_ = AnalyseDocument(data);
                measuredKey_ = key;
            }
            revision_ = document_.revision();
        }
        return analysis_;
    }

    // The findings of the measurement checks for the same data. A change of the selection
    // alone leaves them as they were unless it moved the two-point method's partner; the
    // onset suggestions are found again only for the waveforms that changed.
    const CheckList& checks() {
        const DocumentAnalysis& analysis = current();
        const ChecksKey key{document_.dataRevision(), analysis.method, analysis.secondPoint};
        if (!checksKey_ || *checksKey_ != key) {
            checks_ = checkListOf(document_.data(), analysis, facts_);
            checksKey_ = key;
        }
        return checks_;
    }

private:
    const Document& document_;
    std::uint64_t revision_ = std::numeric_limits<std::uint64_t>::max();
    DocumentAnalysis analysis_;
    // What the measurement's analysis was last made for.
    struct MeasuredKey {
        std::uint64_t dataRevision = 0;
        std::int32_t wantedSecondPoint = 0;

        bool operator==(const MeasuredKey&) const = default;
    };
    std::optional<MeasuredKey> measuredKey_;
    // What the checks were last found for.
    struct ChecksKey {
        std::uint64_t dataRevision = 0;
        RegressionMethod method = RegressionMethod::Regression;
        std::int32_t secondPoint = 0;

        bool operator==(const ChecksKey&) const = default;
    };
    std::optional<ChecksKey> checksKey_;
    CheckList checks_;
    WaveformFactsCache facts_;
};

} // namespace crackdepth::app
