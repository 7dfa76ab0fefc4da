#include "core/document/filter_dialog_state.h"

#include "core/common/conversions.h"
#include "core/common/numbers.h"
#include "core/document/waveform_commands.h"
#include "core/signal/filter_delay.h"

namespace crackdepth {
namespace {

constexpr double kHighPassLowest = 0.0099995; // accepts a typed 0.01 in single precision
constexpr double kHighPassHighest = 20;
constexpr double kLowPassLowest = 2;
constexpr double kLowPassHighest = 500;

// Also true for NaN, which no comparison would otherwise stop from reaching the filter.
bool outside(float value, double lowest, double highest) {
    const auto v = static_cast<double>(value);
    return !(v >= lowest && v <= highest);
}

} // namespace

// A range or order problem is told by its own text (the titles the dialog always had); a
// field without a number names the field.
std::string FilterDialogState::titleOf(const Problem& problem) {
    const bool noNumber =
        problem.reason == kNotANumberMessage || problem.reason == kNumberTooLongMessage;
    return noNumber ? entryMessage(problem.field, problem.reason) : problem.reason;
}

std::optional<FilterDialogState> FilterDialogState::start(Document& doc) {
    if (doc.data().shownList() == nullptr) {
        doc.prompts().message(kFilterNoFileMessage);
        return std::nullopt;
    }
    return FilterDialogState(doc);
}

FilterDialogState::FilterDialogState(Document& doc) : doc_(doc), preview_(doc) {
    bool highOn = false;
    bool lowOn = false;
    bool zeroPhase = doc.filterZeroPhase;
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
            zeroPhase = (!highOn || highFlag == kZeroPhaseFilterFlag) &&
                        (!lowOn || lowFlag == kZeroPhaseFilterFlag);
            highCut = point->record.highPassCut();
            lowCut = point->record.lowPassCut();
        }
    }
    doc.filterHighOn = startHighOn_ = highOn;
    doc.filterLowOn = startLowOn_ = lowOn;
    doc.filterZeroPhase = startZeroPhase_ = zeroPhase;
    doc.filterHighCut = startHighCut_ = highCut;
    doc.filterLowCut = startLowCut_ = lowCut;

    view_.title = kFilterDialogTitle;
    view_.highPassText = formatFixed(highCut, 2);
    view_.lowPassText = formatFixed(lowCut, 0);
    view_.highPassOn = highOn;
    view_.lowPassOn = lowOn;
    view_.zeroPhase = zeroPhase;
    highEntry_ = {highCut, nullptr};
    lowEntry_ = {lowCut, nullptr};
    view_.delayText = delayText();
}

const FilterDialogView& FilterDialogState::onHighPassTextChanged(const std::string& text) {
    highPassChanged(text);
    return view_;
}

const FilterDialogView& FilterDialogState::onLowPassTextChanged(const std::string& text) {
    lowPassChanged(text);
    return view_;
}

void FilterDialogState::highPassChanged(const std::string& text) {
    view_.highPassText = text;
    highEntry_ = readNumberEntry(text);
    if (highEntry_.value) {
        doc_.filterHighCut = *highEntry_.value;
    }
    applyIfValid(true);
}

void FilterDialogState::lowPassChanged(const std::string& text) {
    view_.lowPassText = text;
    lowEntry_ = readNumberEntry(text);
    if (lowEntry_.value) {
        doc_.filterLowCut = *lowEntry_.value;
    }
    applyIfValid(false);
}

// Only a filter that is on counts: a low-pass of 5 kHz alone is fine whatever the unticked
// high-pass field holds. The cut-offs are compared only once both are within their ranges.
std::optional<FilterDialogState::Problem> FilterDialogState::problem(bool highPassFirst) const {
    const auto fieldProblem = [](const NumberEntry& entry, double lowest, double highest,
                                 const char* rangeText) -> std::optional<std::string> {
        if (!entry.value) {
            return std::string(entry.problem);
        }
        if (outside(*entry.value, lowest, highest)) {
            return std::string(rangeText);
        }
        return std::nullopt;
    };
    const auto high = doc_.filterHighOn ? fieldProblem(highEntry_, kHighPassLowest,
                                                       kHighPassHighest, kHighPassRangeText)
                                        : std::nullopt;
    const auto low = doc_.filterLowOn ? fieldProblem(lowEntry_, kLowPassLowest, kLowPassHighest,
                                                     kLowPassRangeTitle)
                                      : std::nullopt;
    if (high && (highPassFirst || !low)) {
        return Problem{kHighPassCaption, *high};
    }
    if (low) {
        return Problem{kLowPassCaption, *low};
    }
    if (doc_.filterHighOn && doc_.filterLowOn && !(doc_.filterHighCut <= doc_.filterLowCut)) {
        return Problem{highPassFirst ? kHighPassCaption : kLowPassCaption, kHighAboveLowTitle};
    }
    return std::nullopt;
}

// Only settings that pass are previewed: with a problem the point shows what it had when the
// dialog opened, never the waveform of an earlier entry beside a field that says otherwise.
void FilterDialogState::applyIfValid(bool highPassFirst) {
    if (const auto found = problem(highPassFirst)) {
        view_.title = titleOf(*found);
        view_.delayText.clear();
        preview_.clear();
        return;
    }
    view_.title = kFilterAppliedTitle;
    view_.delayText = delayText();
    if (changedFromStart()) {
        preview_.show(makeRefilterEdit(doc_));
    } else {
        preview_.clear();
    }
}

const FilterDialogView& FilterDialogState::onHighPassSwitched(bool on) {
    view_.highPassOn = on;
    doc_.filterHighOn = on;
    applyIfValid(on);
    return view_;
}

const FilterDialogView& FilterDialogState::onLowPassSwitched(bool on) {
    view_.lowPassOn = on;
    doc_.filterLowOn = on;
    applyIfValid(!on);
    return view_;
}

const FilterDialogView& FilterDialogState::onZeroPhaseSwitched(bool on) {
    view_.zeroPhase = on;
    doc_.filterZeroPhase = on;
    applyIfValid(true);
    return view_;
}

// A switch, a cut-off of a filter that is on, or the direction of a filter that is on.
bool FilterDialogState::changedFromStart() const {
    const bool anyOn = doc_.filterHighOn || doc_.filterLowOn;
    return doc_.filterHighOn != startHighOn_ || doc_.filterLowOn != startLowOn_ ||
           (doc_.filterHighOn && doc_.filterHighCut != startHighCut_) ||
           (doc_.filterLowOn && doc_.filterLowCut != startLowCut_) ||
           (anyOn && doc_.filterZeroPhase != startZeroPhase_);
}

std::string FilterDialogState::delayText() const {
    if (!doc_.filterHighOn && !doc_.filterLowOn) {
        return {};
    }
    if (doc_.filterZeroPhase) {
        return kZeroPhaseDelayText;
    }
    const MeasuringPoint* point = currentPoint(doc_.data());
    const std::string label = std::string(kFilterDelayLabel) + " ";
    if (point == nullptr) {
        return label + "--.--us";
    }
    const float dt = point->record.samplingInterval();
    const auto frequency =
        mainFrequencyHz(point->originalSamples, doc_.data().shownParameters().sampleCount, dt);
    const auto delay =
        frequency ? filterPhaseDelayUs(dt, doc_.filterHighOn, doc_.filterHighCut * 1000.0f,
                                       doc_.filterLowOn, doc_.filterLowCut * 1000.0f, *frequency)
                  : std::nullopt;
    if (!delay) {
        return label + "--.--us";
    }
    return label + formatFixed(*delay, 2) + "us（主频 " +
           formatFixed(static_cast<float>(*frequency / 1000.0), 1) + "kHz）";
}

bool FilterDialogState::onOk() {
    if (const auto found = problem(true)) {
        view_.title = titleOf(*found);
        doc_.prompts().message(entryMessage(found->field, found->reason));
        return false;
    }
    if (changedFromStart()) {
        preview_.commit(makeRefilterEdit(doc_));
    } else {
        preview_.clear();
    }
    return true;
}

void FilterDialogState::onCancel() {
    doc_.filterHighOn = startHighOn_;
    doc_.filterLowOn = startLowOn_;
    doc_.filterZeroPhase = startZeroPhase_;
    doc_.filterHighCut = startHighCut_;
    doc_.filterLowCut = startLowCut_;
    preview_.clear();
}

} // namespace crackdepth
