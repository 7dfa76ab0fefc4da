#include "core/document/panel_state/filter_dialog_state.h"

#include "core/common/conversions.h"
#include "core/common/numbers.h"
#include "core/document/commands/waveform_commands.h"
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
    FilterSettings start = doc.filterSettings();
    start.highOn = false;
    start.lowOn = false;
    // A filtered point reopens with the filter it carries, so that OK without a change keeps
    // its waveform as it is.
    if (const MeasuringPoint* point = currentPoint(doc.data())) {
        const float highFlag = point->record.highPassOn();
        const float lowFlag = point->record.lowPassOn();
        if (truncToInt32(highFlag) != 0 || truncToInt32(lowFlag) != 0) {
            start.highOn = highFlag != 0;
            start.lowOn = lowFlag != 0;
            start.zeroPhase = (!start.highOn || highFlag == kZeroPhaseFilterFlag) &&
                              (!start.lowOn || lowFlag == kZeroPhaseFilterFlag);
            start.highCut = point->record.highPassCut();
            start.lowCut = point->record.lowPassCut();
        }
    }
    settings_ = start_ = start;
    doc.rememberFilterSettings(start);

    view_.title = kFilterDialogTitle;
    view_.highPassText = formatFixed(start.highCut, 2);
    view_.lowPassText = formatFixed(start.lowCut, 0);
    view_.highPassOn = start.highOn;
    view_.lowPassOn = start.lowOn;
    view_.zeroPhase = start.zeroPhase;
    highEntry_ = {start.highCut, nullptr};
    lowEntry_ = {start.lowCut, nullptr};
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
        settings_.highCut = *highEntry_.value;
    }
    applyIfValid(true);
}

void FilterDialogState::lowPassChanged(const std::string& text) {
    view_.lowPassText = text;
    lowEntry_ = readNumberEntry(text);
    if (lowEntry_.value) {
        settings_.lowCut = *lowEntry_.value;
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
    const auto high = settings_.highOn ? fieldProblem(highEntry_, kHighPassLowest, kHighPassHighest,
                                                      kHighPassRangeText)
                                       : std::nullopt;
    const auto low = settings_.lowOn ? fieldProblem(lowEntry_, kLowPassLowest, kLowPassHighest,
                                                    kLowPassRangeTitle)
                                     : std::nullopt;
    if (high && (highPassFirst || !low)) {
        return Problem{kHighPassCaption, *high};
    }
    if (low) {
        return Problem{kLowPassCaption, *low};
    }
    if (settings_.highOn && settings_.lowOn && !(settings_.highCut <= settings_.lowCut)) {
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
        preview_.show(makeRefilterEdit(doc_, settings_));
    } else {
        preview_.clear();
    }
}

const FilterDialogView& FilterDialogState::onHighPassSwitched(bool on) {
    view_.highPassOn = on;
    settings_.highOn = on;
    applyIfValid(on);
    return view_;
}

const FilterDialogView& FilterDialogState::onLowPassSwitched(bool on) {
    view_.lowPassOn = on;
    settings_.lowOn = on;
    applyIfValid(!on);
    return view_;
}

const FilterDialogView& FilterDialogState::onZeroPhaseSwitched(bool on) {
    view_.zeroPhase = on;
    settings_.zeroPhase = on;
    applyIfValid(true);
    return view_;
}

// A switch, a cut-off of a filter that is on, or the direction of a filter that is on.
bool FilterDialogState::changedFromStart() const {
    const FilterSettings& now = settings_;
    return now.highOn != start_.highOn || now.lowOn != start_.lowOn ||
           (now.highOn && now.highCut != start_.highCut) ||
           (now.lowOn && now.lowCut != start_.lowCut) ||
           (now.anyOn() && now.zeroPhase != start_.zeroPhase);
}

std::string FilterDialogState::delayText() const {
    if (!settings_.anyOn()) {
        return {};
    }
    if (settings_.zeroPhase) {
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
        frequency ? filterPhaseDelayUs(dt, settings_.highOn, settings_.highCut * 1000.0f,
                                       settings_.lowOn, settings_.lowCut * 1000.0f, *frequency)
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
    doc_.rememberFilterSettings(settings_);
    if (changedFromStart()) {
        preview_.commit(makeRefilterEdit(doc_, settings_));
    } else {
        preview_.clear();
    }
    return true;
}

void FilterDialogState::onCancel() {
    doc_.rememberFilterSettings(start_);
    preview_.clear();
}

} // namespace crackdepth
