// Which menu commands and toolbar buttons are available, as a function of the document's
// state. Commands keep their menu ids where they have one; the others are numbered apart.
#pragma once

namespace crackdepth {

class Document;
struct ViewState;

enum class Command {
    OpenNonCrossing = 32806,
    OpenResult = 32868,
    Merge = 32805,
    QuickSave = 32884,
    SaveAs = 32797,
    Close = 32860,
    PrintSettings = 40001,
    PrintPreview = 40002,
    Print = 40003,
    Exit = 32841,
    TestParameters = 40004,
    WaveTrain = 32844,
    TimeFrequency = 1070,
    PreviousPoint = 32776,
    NextPoint = 32777,
    WordReport = 40005,
    SpreadsheetReport = 40006,
    BitmapReport = 40007,
    PdfReport = 40011,
    Filter = 32781,
    Invert = 1071,
    TimeCorrection = 32881,
    Contents = 40008,
    ContactUs = 40009,
    About = 40010,
    Undo = 57643,
    Redo = 57644,
};

bool isAvailable(Command command, const Document& document, const ViewState& view);

} // namespace crackdepth
