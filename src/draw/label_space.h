// The room the texts of one display share: a label is drawn only where its ink keeps clear of
// the texts placed before it and of the lines the display reserved, so that crowded labels are
// thinned out instead of printed over one another, over an axis title or over an axis.
#pragma once

#include <QFont>
#include <QLineF>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

namespace crackdepth::draw {

class LabelSpace {
public:
    // Screen pixels kept free between a label's ink and anything else.
    static constexpr double kGap = 1;

    // Something drawn whatever the labels do: an axis title, a frame, an axis or a tick.
    void reserve(const QRectF& box);
    // A line one pixel wide: it covers the pixels right of and below its coordinates.
    void reserveLine(const QLineF& line);

    // Whether `box` keeps kGap clear of everything reserved or taken so far.
    bool isFree(const QRectF& box) const;
    // Takes `box` if it is free; returns whether it did.
    bool take(const QRectF& box);

private:
    std::vector<QRectF> used_;
};

// Draws a line of the axes (an axis, a tick, an arrowhead), which the labels keep clear of.
void drawAxisLine(QPainter& painter, LabelSpace& space, const QLineF& line);

// `font`, made smaller (down to minimumPixelSize) until `text` is no wider than `width`.
QFont fittedFont(const QFont& font, const QString& text, double width, int minimumPixelSize = 7);

// The labels of an axis in one font: `font` made smaller (down to minimumPixelSize) until the
// widest of `texts` fits `width`.
QFont fittedFontForAll(const QFont& font, const QStringList& texts, double width,
                       int minimumPixelSize = 7);

// `text` as it fits `width` in `font`: whole, or cut short with an ellipsis.
QString fittedText(const QFont& font, const QString& text, double width);

// The ink of `text` drawn in `font` into `box` with the alignment `flags` (single line).
QRectF inkBoxOf(const QFont& font, const QRectF& box, int flags, const QString& text);

// Draws the text if its ink is free, taking its room; returns whether it was drawn.
bool drawLabelIn(QPainter& painter, LabelSpace& space, const QFont& font, const QRectF& box,
                 int flags, const QString& text);

// Draws the text whatever is there (a title) and reserves its ink.
void drawTitleIn(QPainter& painter, LabelSpace& space, const QFont& font, const QRectF& box,
                 int flags, const QString& text);

} // namespace crackdepth::draw
