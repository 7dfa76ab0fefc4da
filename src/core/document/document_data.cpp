#include "core/document/document_data.h"

namespace crackdepth {

float DocumentData::lineCorrection() const {
    if (currentTab == 0) {
        return correctionNonCrossing;
    }
    const auto entry = static_cast<std::size_t>(currentTab - 1);
    return currentTab > 0 && entry < crossingCorrections.size() ? crossingCorrections[entry] : 0.0f;
}

void DocumentData::clearLines() {
    nonCrossingList.reset();
    crossingLists.clear();
    crossingParameters.clear();
    crossingCorrections.clear();
    rawCrossingList.reset();
    currentCrossingList = nullptr;
    currentCrossingParameters = {};
    shownList = nullptr;
    showingNonCrossing = true;
}

std::string fileNameOf(const std::string& path) {
    const auto separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

} // namespace crackdepth
