#include "core/document/panel_refresh.h"

#include "core/common/utf.h"
#include "core/document/document.h"
#include "core/document/line_tabs.h"

namespace crackdepth {
namespace {

// The shown line's header, wherever the document keeps it.
TestParameters& shownHeader(DocumentData& data) {
    if (data.showingNonCrossing) {
        return data.nonCrossingParameters;
    }
    TestParameters* stored = selectedCrossingHeader(data);
    return stored != nullptr ? *stored : data.currentCrossingParameters;
}

} // namespace

PanelState RefreshPanel(Document& document, const CalendarDate& today) {
    DocumentData& data = document.data();
    PanelState state;
    if (data.shownList == nullptr) {
        return state;
    }
    state.enabled = true;
    const std::string& name = data.paths.nonCrossingName;
    data.paths.currentBaseName = utf16Length(name) >= 5 ? withoutLastUnits(name, 4) : std::string();
    state.methodIndex = data.nonCrossingParameters.analysisMethod() != 0 ? 1 : 0;

    // The shown header is changed where it is stored (and in the working copy of a crossing
    // header), so the change is saved with the line.
    const auto normalise = [&](TestParameters& header) {
        LineDate& date = header.lineDate;
        date.year = date.year == 0 ? static_cast<std::uint16_t>(today.year) : date.year;
        date.month = date.month == 0 ? static_cast<std::uint16_t>(today.month) : date.month;
        date.day = date.day == 0 ? static_cast<std::uint16_t>(today.day) : date.day;
        // A text too short to hold a date is left as it is rather than replaced by today.
        if (utf16Length(header.testDate) >= 5) {
            header.testDate = FormatDateText(
                ReadDateField(header.testDate, TwoDigitYear::In2000s, today, document.prompts()));
        }
    };
    TestParameters& shown = shownHeader(data);
    normalise(shown);
    if (!data.showingNonCrossing && &shown != &data.currentCrossingParameters) {
        normalise(data.currentCrossingParameters);
    }
    return state;
}

void ChooseAnalysisMethod(Document& document, std::int32_t index) {
    DocumentData& data = document.data();
    if (data.shownList == nullptr) {
        return;
    }
    data.nonCrossingParameters.lineFlag = index == 1 ? 1 : 0;
    document.RefreshAllViews();
}

} // namespace crackdepth
