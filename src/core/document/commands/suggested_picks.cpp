#include "core/document/commands/suggested_picks.h"

#include "core/document/model/document.h"
#include "core/document/model/points_edit.h"

#include <algorithm>

namespace crackdepth {
namespace {

// The suggestion of a point when it differs from the point's pick.
std::optional<OnsetSuggestion> differingSuggestion(const MeasuringPoint& point) {
    const auto suggestion = suggestionFor(point);
    if (!suggestion || suggestion->index == point.arrivalIndex) {
        return std::nullopt;
    }
    return suggestion;
}

std::optional<std::size_t> currentIndexOf(const PointList& line) {
    if (line.empty()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(
        std::clamp(line.currentIndex, 0, static_cast<std::int32_t>(line.size()) - 1));
}

// Every point of `line`, or only point `only`, takes its suggestion where it differs.
void adoptIn(PointList& line, const std::optional<std::size_t>& only) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (only && i != *only) {
            continue;
        }
        if (const auto suggestion = differingSuggestion(line[i])) {
            takeSuggestion(line[i], *suggestion);
        }
    }
}

void adopt(Document& document, const char* name, bool wholeLine) {
    const DocumentData& data = document.data();
    const auto id = data.shownId();
    const PointList* line = data.shownList();
    if (!id || line == nullptr) {
        return;
    }
    const auto current = currentIndexOf(*line);
    if (!current) {
        return;
    }
    const std::optional<std::size_t> only =
        wholeLine ? std::nullopt : std::optional<std::size_t>(*current);
    document.perform(std::make_unique<PointsEdit>(
        name, DocumentChange{0, *id, static_cast<std::int32_t>(*current)},
        std::vector<PointRef>{{*id, only}},
        [id = *id, only](DocumentData& held) { adoptIn(*held.line(id), only); }));
}

} // namespace

std::optional<OnsetSuggestion> suggestionFor(const MeasuringPoint& point) {
    return SuggestOnset(point.samples);
}

void setPick(MeasuringPoint& point, std::int32_t sampleIndex) {
    point.arrivalIndex = sampleIndex;
    point.amplitudeIndex = sampleIndex;
}

bool canAdoptSuggestion(const DocumentData& data) {
    const PointList* line = data.shownList();
    const auto current = line != nullptr ? currentIndexOf(*line) : std::nullopt;
    return current && differingSuggestion((*line)[*current]).has_value();
}

bool canAdoptLineSuggestions(const DocumentData& data) {
    const PointList* line = data.shownList();
    if (line == nullptr) {
        return false;
    }
    for (std::size_t i = 0; i < line->size(); ++i) {
        if (differingSuggestion((*line)[i])) {
            return true;
        }
    }
    return false;
}

void AdoptSuggestion(Document& document) {
    adopt(document, kAdoptSuggestionName, false);
}

void AdoptLineSuggestions(Document& document) {
    adopt(document, kAdoptLineSuggestionsName, true);
}

void takeSuggestion(MeasuringPoint& point, const OnsetSuggestion& suggestion) {
    setPick(point, suggestion.index);
}

} // namespace crackdepth
