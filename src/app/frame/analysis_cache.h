// The document's analysis as the views read it: computed once per change of the document
// and shared by the waveform, plot, table and information panel, so that every view shows
// the numbers of the same data, whichever of them paints first. The measurement checks are
// kept the same way, computed when first asked for.
#pragma once

#include "core/document/check_list.h"
#include "core/document/document.h"
#include "core/document/document_analysis.h"

#include <cstdint>
#include <limits>

namespace crackdepth::app {

class AnalysisCache {
public:
    explicit AnalysisCache(const Document& document) : document_(document) {}

    const DocumentAnalysis& current() {
        if (revision_ != document_.revision()) {
            analysis_ = AnalyseDocument(document_.data());
            revision_ = document_.revision();
        }
        return analysis_;
    }

    // The findings of the measurement checks for the same data.
    const CheckList& checks() {
        const DocumentAnalysis& analysis = current();
        if (checksRevision_ != revision_) {
            checks_ = checkListOf(document_.data(), analysis);
            checksRevision_ = revision_;
        }
        return checks_;
    }

private:
    const Document& document_;
    std::uint64_t revision_ = std::numeric_limits<std::uint64_t>::max();
    DocumentAnalysis analysis_;
    std::uint64_t checksRevision_ = std::numeric_limits<std::uint64_t>::max();
    CheckList checks_;
};

} // namespace crackdepth::app
