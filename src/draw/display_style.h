// How a display is drawn, apart from what it shows: the same drawing functions serve the
// screen (colour), the printer and the 1-bit bitmaps (monochrome), at any scale.
#pragma once

#include <QColor>
#include <QPen>

namespace crackdepth::draw {

// The colours the displays use on screen.
inline const QColor kInkColor{0, 0, 0};
inline const QColor kPaperColor{255, 255, 255};
inline const QColor kCrossingColor{255, 128, 0}; // traces of a crossing line
inline const QColor kCursorColor{255, 0, 0};     // first-arrival and spectrum cursors
inline const QColor kHoverColor{0, 170, 0};      // the line that follows the pointer
inline const QColor kSuggestionColor{0, 128, 0}; // the suggested first arrival, dashed
inline const QColor kPanelColor{240, 240, 240};  // title bars, unless the style says otherwise

struct DisplayStyle {
    // Everything in black on white: a 1-bit bitmap or a black-and-white printer must still
    // tell the cursor from the trace, so cursors are dashed instead of coloured.
    bool monochrome = false;
    // Device pixels per pixel of the screen drawing. Everything a display sizes itself (fonts,
    // insets, margins, pen widths, tick lengths) and the pixel grid it snaps to grow with it,
    // so that a printer page or a bitmap page gets the screen drawing in proportion. The
    // displays' inputs and geometry are in these screen pixels too.
    double scale = 1.0;
    // The title bar's fill: the widget passes its palette's button colour.
    QColor panelColor = kPanelColor;
    // The pen width of waveform traces and their arrival marks, in screen pixels like every
    // size of the style. One pixel on a screen or a bitmap; a printed page, whose pixels are a
    // few hundredths of a millimetre, asks for a line that can be seen.
    double tracePenWidth = 1.0;
    // Whether the traces on an image painted at a whole number of device pixels per unit are
    // filled as the runs of pixels their pens cover instead of being stroked: the same picture
    // to within a device pixel at a fraction of the cost, for pictures drawn by the hundred
    // (the word processor's wave trains). The screen fills runs only for its thin rows.
    bool traceRuns = false;
};

// The colour to draw with: black in monochrome, otherwise the colour itself.
inline QColor inkOf(const DisplayStyle& style, const QColor& color) {
    return style.monochrome ? kInkColor : color;
}

inline QColor panelOf(const DisplayStyle& style) {
    return style.monochrome ? kPaperColor : style.panelColor;
}

// A solid pen of `width` screen pixels in `color` (black in monochrome); the display's
// painter scales it to the device.
inline QPen penOf(const DisplayStyle& style, const QColor& color, double width = 1.0) {
    return QPen(inkOf(style, color), width);
}

// The pen of a marker line (cursor, hover line): dashed in monochrome so that it stays
// distinguishable from the black trace.
inline QPen markerPenOf(const DisplayStyle& style, const QColor& color) {
    QPen pen = penOf(style, color);
    if (style.monochrome) {
        pen.setStyle(Qt::DashLine);
    }
    return pen;
}

// The pen of the suggested first arrival: dashed in colour, dotted in monochrome (where the
// cursor is the dashed one).
inline QPen suggestionPenOf(const DisplayStyle& style) {
    QPen pen = penOf(style, kSuggestionColor);
    pen.setStyle(style.monochrome ? Qt::DotLine : Qt::DashLine);
    return pen;
}

} // namespace crackdepth::draw
