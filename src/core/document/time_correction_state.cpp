#include "core/document/time_correction_state.h"

#include "core/common/numbers.h"

#include <charconv>
#include <cstdint>

namespace crackdepth {
namespace {

constexpr double kCorrectionLimit = 200; // us, either way

// printf's "%.<decimals>f", whatever the desktop's locale.
float currentInterval(PointList* line) {
    const MeasuringPoint* point = line != nullptr ? line->PointAt(line->currentIndex) : nullptr;
    return point != nullptr ? point->record.samplingInterval() : 0.0f;
}

// Tab k > 0 shows entry k − 1 of the crossing sequences; other tabs give an index past any.
std::size_t crossingEntry(std::int32_t tab) {
    return tab > 0 ? static_cast<std::size_t>(tab) - 1 : SIZE_MAX;
}

// Also true for NaN, which would otherwise pass as a correction.
bool outsideLimit(float value) {
    const auto v = static_cast<double>(value);
    return !(v >= -kCorrectionLimit && v <= kCorrectionLimit);
}

} // namespace

std::optional<TimeCorrectionState>
TimeCorrectionState::start(Document& doc, std::optional<std::int32_t> selectedTab) {
    if (doc.data().shownList == nullptr) {
        doc.prompts().message(kTimeCorrectionNoFileMessage);
        doc.data().viewsDirty = true;
        return std::nullopt;
    }
    if (selectedTab) {
        doc.data().currentTab = *selectedTab;
    }
    return TimeCorrectionState(doc);
}

TimeCorrectionState::TimeCorrectionState(Document& doc) : doc_(doc) {
    DocumentData& data = doc.data();
    tab_ = data.currentTab;
    const std::size_t entry = crossingEntry(tab_);
    if (tab_ == 0) {
        dt_ = currentInterval(data.nonCrossingList.get());
    } else if (entry < data.crossingLists.size()) {
        dt_ = currentInterval(data.crossingLists[entry].get());
    } else {
        dt_ = currentInterval(data.currentCrossingList);
    }
    const int decimals = dt_ < 1 ? 1 : 0;
    startAll_ = data.correctionAll;
    view_.title = kTimeCorrectionTitle;
    view_.allText = formatFixed(startAll_, decimals);
    if (const float* line = lineTarget()) {
        startLine_ = *line;
        view_.lineText = formatFixed(startLine_, decimals);
    } else {
        view_.lineText = zeroText();
        view_.lineEditable = false;
    }
}

// The same correction the transit-time rule takes for the tab (DocumentData::lineCorrection).
// A tab beyond the result's crossing lines shows a crossing raw file's line, which has no
// correction of its own (the rule adds 0), so a field for it would change nothing that is
// shown; it is disabled instead, while the correction of all lines and the per-point
// corrections still apply to that line.
float* TimeCorrectionState::lineTarget() {
    DocumentData& data = doc_.data();
    if (tab_ == 0) {
        return &data.correctionNonCrossing;
    }
    const std::size_t entry = crossingEntry(tab_);
    if (entry < data.crossingCorrections.size()) {
        return &data.crossingCorrections[entry];
    }
    return nullptr;
}

std::string TimeCorrectionState::zeroText() const {
    return dt_ < 1 ? "0.0" : "0";
}

std::string& TimeCorrectionState::textOf(Field field) {
    return field == Field::Line ? view_.lineText : view_.allText;
}

const TimeCorrectionView& TimeCorrectionState::onLineTextChanged(const std::string& text) {
    if (view_.lineEditable) {
        fieldChanged(Field::Line, text);
    }
    return view_;
}

const TimeCorrectionView& TimeCorrectionState::onAllTextChanged(const std::string& text) {
    fieldChanged(Field::All, text);
    return view_;
}

void TimeCorrectionState::fieldChanged(Field field, const std::string& text) {
    textOf(field) = text;
    const float value = textToFloat(text, doc_.prompts());
    float* target = field == Field::Line ? lineTarget() : &doc_.data().correctionAll;
    if (target != nullptr) {
        *target = value;
    }
    if (outsideLimit(value)) {
        fieldChanged(field, zeroText());
        // The reset itself is a valid change, but the title keeps telling why the entry
        // was dropped until the next keystroke; otherwise the rule could never be seen.
        view_.title = kTimeCorrectionRangeTitle;
        return;
    }
    view_.title = kTimeCorrectionTitle;
    if (!text.empty()) {
        doc_.RepaintContentViews();
        doc_.data().viewsDirty = true;
    }
}

const TimeCorrectionView& TimeCorrectionState::onUndoCorrections() {
    DocumentData& data = doc_.data();
    for (float& correction : data.crossingCorrections) {
        correction = 0;
    }
    data.correctionNonCrossing = 0;
    PointList& shown = *data.shownList;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        shown[i].timeShift = 0;
    }
    if (view_.lineEditable) {
        fieldChanged(Field::Line, zeroText());
        startLine_ = 0; // Cancel must not bring back what the button dropped
    }
    doc_.RepaintContentViews();
    data.viewsDirty = true;
    return view_;
}

void TimeCorrectionState::onOk() {
    if (float* line = lineTarget()) {
        *line = textToFloat(view_.lineText, doc_.prompts());
    }
    doc_.data().correctionAll = textToFloat(view_.allText, doc_.prompts());
    doc_.data().viewsDirty = true;
}

void TimeCorrectionState::onCancel() {
    if (float* line = lineTarget()) {
        *line = startLine_;
    }
    doc_.data().correctionAll = startAll_;
    doc_.RepaintContentViews();
    doc_.data().viewsDirty = true;
}

} // namespace crackdepth
