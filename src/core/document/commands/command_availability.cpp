#include "core/document/commands/command_availability.h"

#include "core/document/model/document.h"
#include "core/document/model/view_state.h"

namespace crackdepth {

bool isAvailable(Command command, const Document& document, const ViewState& view) {
    const DocumentData& data = document.data();
    const bool nonCrossing = data.nonCrossingList != nullptr;
    const bool crossing = data.currentCrossingList() != nullptr;
    const PointList* shown = data.shownList();
    const bool bothLines = nonCrossing && crossing;
    const bool reportable = bothLines && view.waveTrainMode == 0;

    switch (command) {
    case Command::OpenNonCrossing:
        return !crossing;
    case Command::OpenResult:
        return !endsWith(data.paths.crossingName, ".DP1");
    case Command::QuickSave:
    case Command::SaveAs:
        return crossing;
    case Command::Close:
    case Command::WaveTrain:
        return nonCrossing || crossing;
    case Command::PrintPreview:
    case Command::Print:
    case Command::WordReport:
    case Command::SpreadsheetReport:
    case Command::BitmapReport:
    case Command::PdfReport:
        return reportable;
    case Command::TestParameters:
    case Command::TimeFrequency:
    case Command::Filter:
    case Command::TimeCorrection:
        return shown != nullptr;
    case Command::PreviousPoint:
        return shown != nullptr && shown->currentIndex != 0;
    case Command::NextPoint:
        return shown != nullptr &&
               shown->currentIndex != static_cast<std::int32_t>(shown->pointCount()) - 1;
    case Command::Invert:
        return shown != nullptr && view.timeDomain;
    case Command::Undo:
        return document.undoable() != nullptr;
    case Command::Redo:
        return document.redoable() != nullptr;
    case Command::Contents:
    case Command::ContactUs:
        return false;
    case Command::Merge:
    case Command::PrintSettings:
    case Command::Exit:
    case Command::About:
        return true;
    }
    return false;
}

} // namespace crackdepth
