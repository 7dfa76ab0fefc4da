#include "core/document/filter_dialog_state.h"

#include "core/common/conversions.h"
#include "core/common/numbers.h"
#include "core/common/utf.h"
#include "core/document/waveform_commands.h"

#include <charconv>

namespace crackdepth {
namespace {

// A value above this is not a cut-off at all but a slip of the keyboard: the text is cut.
constexpr double kCutTextAbove = 9999;
constexpr double kHighPassLowest = 0.0099995; // accepts a typed 0.01 in single precision
constexpr double kHighPassHighest = 20;
constexpr double kLowPassLowest = 2;
constexpr double kLowPassHighest = 500;
constexpr std::size_t kCutLength = 4; // characters kept of a text that was cut

// The first `count` characters of a text, not bytes: a cut never splits a character.
std::string firstCharacters(const std::string& text, std::size_t count) {
    const std::u16string units = utf8ToUtf16(text);
    return utf16ToUtf8(std::u16string_view(units).substr(0, count));
}

// Also true for NaN, which no comparison would otherwise stop from reaching the filter.
bool outside(float value, double lowest, double highest) {
    const auto v = static_cast<double>(value);
    return !(v >= lowest && v <= highest);
}

} // namespace

std::optional<FilterDialogState> FilterDialogState::start(Document& doc) {
    if (doc.data().shownList() == nullptr) {
        doc.prompts().message(kFilterNoFileMessage);
        return std::nullopt;
    }
    return FilterDialogState(doc);
}

FilterDialogState::FilterDialogState(Document& doc) : doc_(doc) {
    static std::uint64_t sessions = 0;
    mergeKey_ = std::string(kFilterName) + "#" + std::to_string(++sessions);
    bool highOn = false;
    bool lowOn = false;
    float highCut = doc.filterHighCut;
    float lowCut = doc.filterLowCut;
    // A filtered point reopens with the filter it carries, so that OK without a change keeps
    // its waveform as it is.
    if (const MeasuringPoint* point = currentPoint(doc.data())) {
        const float highFlag = point->record.highPassOn();
        const float lowFlag = point->record.lowPassOn();
        if (truncToInt32(highFlag) != 0 || truncToInt32(lowFlag) != 0) {
            highOn = highFlag != 0;
            lowOn = lowFlag != 0;
            highCut = point->record.highPassCut();
            lowCut = point->record.lowPassCut();
        }
    }
    doc.filterHighOn = startHighOn_ = highOn;
    doc.filterLowOn = startLowOn_ = lowOn;
    doc.filterHighCut = startHighCut_ = highCut;
    doc.filterLowCut = startLowCut_ = lowCut;

    view_.title = kFilterDialogTitle;
    view_.highPassText = formatFixed(highCut, 2);
    view_.lowPassText = formatFixed(lowCut, 0);
    view_.highPassOn = highOn;
    view_.lowPassOn = lowOn;
}

const FilterDialogView& FilterDialogState::onHighPassTextChanged(const std::string& text) {
    highPassChanged(text, true);
    return view_;
}

const FilterDialogView& FilterDialogState::onLowPassTextChanged(const std::string& text) {
    lowPassChanged(text, true);
    return view_;
}

// The text is cut at most once per keystroke: a four-character text can still read above
// the limit ("9e99"), and cutting it again would never end.
void FilterDialogState::highPassChanged(const std::string& text, bool mayCut) {
    view_.highPassText = text;
    doc_.filterHighCut = textToFloat(text, doc_.prompts());
    if (mayCut && static_cast<double>(doc_.filterHighCut) > kCutTextAbove) {
        doc_.prompts().message(kHighPassRangeText);
        highPassChanged(firstCharacters(text, kCutLength), false);
        return;
    }
    applyIfValid(true);
}

void FilterDialogState::lowPassChanged(const std::string& text, bool mayCut) {
    view_.lowPassText = text;
    doc_.filterLowCut = textToFloat(text, doc_.prompts());
    if (mayCut && static_cast<double>(doc_.filterLowCut) > kCutTextAbove) {
        doc_.prompts().message(kLowPassRangeMessage);
        lowPassChanged(firstCharacters(text, kCutLength), false);
        return;
    }
    applyIfValid(false);
}

// Only a filter that is on counts: a low-pass of 5 kHz alone is fine whatever the unticked
// high-pass field holds. The cut-offs are compared only once both are within their ranges.
const char* FilterDialogState::problem(bool highPassFirst) const {
    const bool highBad =
        doc_.filterHighOn && outside(doc_.filterHighCut, kHighPassLowest, kHighPassHighest);
    const bool lowBad =
        doc_.filterLowOn && outside(doc_.filterLowCut, kLowPassLowest, kLowPassHighest);
    if (highBad && (highPassFirst || !lowBad)) {
        return kHighPassRangeText;
    }
    if (lowBad) {
        return kLowPassRangeTitle;
    }
    if (doc_.filterHighOn && doc_.filterLowOn && !(doc_.filterHighCut <= doc_.filterLowCut)) {
        return kHighAboveLowTitle;
    }
    return nullptr;
}

void FilterDialogState::applyIfValid(bool highPassFirst) {
    if (const char* title = problem(highPassFirst)) {
        view_.title = title;
        return;
    }
    view_.title = kFilterAppliedTitle;
    RefilterCurrentPoint(doc_, mergeKey_);
}

const FilterDialogView& FilterDialogState::onHighPassSwitched(bool on) {
    view_.highPassOn = on;
    doc_.filterHighOn = on;
    if (on) {
        highPassChanged(view_.highPassText, true);
    } else {
        applyIfValid(false);
    }
    return view_;
}

const FilterDialogView& FilterDialogState::onLowPassSwitched(bool on) {
    view_.lowPassOn = on;
    doc_.filterLowOn = on;
    if (on) {
        lowPassChanged(view_.lowPassText, true);
    } else {
        applyIfValid(true);
    }
    return view_;
}

// The cut-offs already hold what the fields show (each keystroke stores its value), so the
// texts are not read again: a text too long to be a number would repeat its message.
bool FilterDialogState::onOk() {
    const char* title = problem(true);
    if (title == nullptr) {
        return true;
    }
    view_.title = title;
    if (title == kHighPassRangeText) {
        doc_.prompts().message(kHighPassInvalidMessage);
    } else if (title == kLowPassRangeTitle) {
        doc_.prompts().message(kLowPassInvalidMessage);
    } else {
        doc_.prompts().message(kHighAboveLowTitle);
    }
    return false;
}

void FilterDialogState::onCancel() {
    doc_.filterHighOn = startHighOn_;
    doc_.filterLowOn = startLowOn_;
    doc_.filterHighCut = startHighCut_;
    doc_.filterLowCut = startLowCut_;
    RefilterCurrentPoint(doc_, mergeKey_);
}

} // namespace crackdepth
