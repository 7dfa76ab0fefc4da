#include "core/document/panel_state/time_correction_state.h"

#include "core/common/numbers.h"
#include "core/document/model/points_edit.h"

#include <algorithm>
#include <cstdint>

namespace crackdepth {
namespace {

constexpr double kCorrectionLimit = 200; // us, either way

float currentInterval(const PointList* line) {
    if (line == nullptr || line->empty()) {
        return 0.0f;
    }
    const auto last = static_cast<std::int32_t>(line->size()) - 1;
    const auto index = static_cast<std::size_t>(std::clamp(line->currentIndex, 0, last));
    return (*line)[index].record.samplingInterval();
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

std::optional<TimeCorrectionState> TimeCorrectionState::start(Document& doc) {
    if (doc.data().shownList() == nullptr) {
        doc.prompts().message(kTimeCorrectionNoFileMessage);
        return std::nullopt;
    }
    return TimeCorrectionState(doc);
}

TimeCorrectionState::TimeCorrectionState(Document& doc) : doc_(doc), preview_(doc) {
    const DocumentData& data = doc.data();
    tab_ = data.currentTab;
    dt_ = currentInterval(tab_ == 0 ? data.nonCrossingList.get() : data.currentCrossingList());
    const int decimals = dt_ < 1 ? 1 : 0;
    startAll_ = data.correctionAll;
    view_.title = kTimeCorrectionTitle;
    view_.allText = formatFixed(startAll_, decimals);
    allEntry_ = {startAll_, nullptr};
    if (const auto line = lineCorrection()) {
        startLine_ = *line;
        view_.lineText = formatFixed(startLine_, decimals);
    } else {
        view_.lineText = zeroText();
        view_.lineEditable = false;
    }
    lineEntry_ = {startLine_, nullptr};
}

// The same correction the transit-time rule takes for the tab (DocumentData::lineCorrection).
// A tab beyond the result's crossing lines shows a crossing raw file's line, which has no
// correction of its own (the rule adds 0), so a field for it would change nothing that is
// shown; it is disabled instead, while the correction of all lines and the per-point
// corrections still apply to that line.
std::optional<float> TimeCorrectionState::lineCorrection() const {
    const DocumentData& data = doc_.data();
    if (tab_ == 0) {
        return data.correctionNonCrossing;
    }
    const std::size_t entry = crossingEntry(tab_);
    if (entry < data.crossingCorrections.size()) {
        return data.crossingCorrections[entry];
    }
    return std::nullopt;
}

Corrections TimeCorrectionState::withValues(std::optional<float> line,
                                            std::optional<float> all) const {
    Corrections corrections = correctionsOf(doc_.data());
    if (line && lineCorrection()) {
        if (tab_ == 0) {
            corrections.nonCrossing = *line;
        } else {
            corrections.crossing[crossingEntry(tab_)] = *line;
        }
    }
    if (all) {
        corrections.all = *all;
    }
    return corrections;
}

std::string TimeCorrectionState::zeroText() const {
    return dt_ < 1 ? "0.0" : "0";
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
    if (field == Field::Line) {
        view_.lineText = text;
        lineEntry_ = readNumberEntry(text);
    } else {
        view_.allText = text;
        allEntry_ = readNumberEntry(text);
    }
    preview();
}

std::optional<std::pair<const char*, std::string>> TimeCorrectionState::problem() const {
    const std::pair<const char*, const NumberEntry*> fields[] = {
        {kLineCorrectionCaption, &lineEntry_}, {kAllCorrectionCaption, &allEntry_}};
    for (const auto& [caption, entry] : fields) {
        if (caption == kLineCorrectionCaption && !view_.lineEditable) {
            continue;
        }
        if (!entry->value) {
            return std::pair{caption, std::string(entry->problem)};
        }
        if (outsideLimit(*entry->value)) {
            return std::pair{caption, std::string(kTimeCorrectionRangeTitle)};
        }
    }
    return std::nullopt;
}

// The views show the entries only while both pass; otherwise the corrections as they were.
void TimeCorrectionState::preview() {
    if (const auto found = problem()) {
        view_.title = found->second == kTimeCorrectionRangeTitle
                          ? found->second
                          : entryMessage(found->first, found->second);
        preview_.clear();
        return;
    }
    view_.title = kTimeCorrectionTitle;
    preview_.clear();
    const Corrections shown = withValues(*lineEntry_.value, *allEntry_.value);
    if (!(shown == correctionsOf(doc_.data()))) {
        preview_.show(makeCorrectionsEdit(kTimeCorrectionTitle, shown));
    }
}

// The button's drop is done at once and stays, whatever ends the dialog: it is an edit of
// its own, made on the corrections as they were, and the fields' preview follows it.
const TimeCorrectionView& TimeCorrectionState::onUndoCorrections() {
    preview_.clear();
    const DocumentData& data = doc_.data();
    Corrections corrections = correctionsOf(data);
    corrections.nonCrossing = 0;
    std::fill(corrections.crossing.begin(), corrections.crossing.end(), 0.0f);
    std::vector<std::unique_ptr<Edit>> parts;
    parts.push_back(makeCorrectionsEdit(kUndoCorrectionsCaption, corrections));
    if (const auto shown = data.shownId()) {
        parts.push_back(std::make_unique<PointsEdit>(
            kUndoCorrectionsCaption, DocumentChange{},
            std::vector<PointRef>{{*shown, std::nullopt}}, [id = *shown](DocumentData& held) {
                PointList& line = *held.line(id);
                for (std::size_t i = 0; i < line.size(); ++i) {
                    line[i].timeShift = 0;
                }
            }));
    }
    doc_.perform(std::make_unique<CompositeEdit>(kUndoCorrectionsCaption, DocumentChange{},
                                                 std::move(parts)));
    if (view_.lineEditable) {
        view_.lineText = zeroText();
        lineEntry_ = {0.0f, nullptr};
        startLine_ = 0; // Cancel must not bring back what the button dropped
    }
    preview();
    return view_;
}

bool TimeCorrectionState::onOk() {
    if (const auto found = problem()) {
        view_.title = found->second == kTimeCorrectionRangeTitle
                          ? found->second
                          : entryMessage(found->first, found->second);
        doc_.prompts().message(entryMessage(found->first, found->second));
        return false;
    }
    preview_.clear();
    const Corrections chosen = withValues(*lineEntry_.value, *allEntry_.value);
    preview_.commit(makeCorrectionsEdit(kTimeCorrectionTitle, chosen));
    return true;
}

void TimeCorrectionState::onCancel() {
    preview_.clear();
}

} // namespace crackdepth
