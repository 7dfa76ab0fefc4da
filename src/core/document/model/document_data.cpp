#include "core/document/model/document_data.h"

#include <algorithm>
#include <utility>

namespace crackdepth {
namespace {

const TestParameters kNoHeader{};

} // namespace

PointList* DocumentData::line(LineId id) {
    return const_cast<PointList*>(std::as_const(*this).line(id));
}

const PointList* DocumentData::line(LineId id) const {
    switch (id.kind) {
    case LineKind::NonCrossing:
        return nonCrossingList.get();
    case LineKind::Crossing:
        return id.entry < crossingLists.size() ? crossingLists[id.entry].get() : nullptr;
    case LineKind::RawCrossing:
        return rawCrossingList.get();
    }
    return nullptr;
}

TestParameters* DocumentData::header(LineId id) {
    return const_cast<TestParameters*>(std::as_const(*this).header(id));
}

const TestParameters* DocumentData::header(LineId id) const {
    if (line(id) == nullptr) {
        return nullptr;
    }
    switch (id.kind) {
    case LineKind::NonCrossing:
        return &nonCrossingParameters;
    case LineKind::Crossing:
        return &crossingParameters[id.entry];
    case LineKind::RawCrossing:
        return &rawCrossingParameters;
    }
    return nullptr;
}

std::optional<LineId> DocumentData::currentCrossingId() const {
    if (!crossingLists.empty()) {
        return LineId{LineKind::Crossing, std::min(currentCrossingEntry, crossingLists.size() - 1)};
    }
    if (rawCrossingList) {
        return LineId{LineKind::RawCrossing, 0};
    }
    return std::nullopt;
}

PointList* DocumentData::currentCrossingList() {
    return const_cast<PointList*>(std::as_const(*this).currentCrossingList());
}

const PointList* DocumentData::currentCrossingList() const {
    const auto id = currentCrossingId();
    return id ? line(*id) : nullptr;
}

const TestParameters& DocumentData::currentCrossingParameters() const {
    const auto id = currentCrossingId();
    return id ? *header(*id) : kNoHeader;
}

std::optional<LineId> DocumentData::shownId() const {
    switch (shown) {
    case ShownLine::None:
        return std::nullopt;
    case ShownLine::NonCrossing:
        return nonCrossingList ? std::optional<LineId>(kNonCrossingLine) : std::nullopt;
    case ShownLine::Crossing:
        return currentCrossingId();
    }
    return std::nullopt;
}

PointList* DocumentData::shownList() {
    return const_cast<PointList*>(std::as_const(*this).shownList());
}

const PointList* DocumentData::shownList() const {
    const auto id = shownId();
    return id ? line(*id) : nullptr;
}

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
    rawCrossingParameters = {};
    currentCrossingEntry = 0;
    shown = ShownLine::None;
}

std::string fileNameOf(const std::string& path) {
    const auto separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

} // namespace crackdepth
