#include "draw/label_space.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QHash>
#include <algorithm>
#include <cmath>

namespace crackdepth::draw {
namespace {

constexpr int kTextFlags = Qt::TextSingleLine | Qt::TextDontClip;

// What a single line of text measures in a font: its advance, its line's height and ascent,
// and its ink around the baseline's origin.
struct TextMeasure {
    double advance = 0;
    double height = 0;
    double ascent = 0;
    QRectF ink;
};

// The cache keys below hold the font itself, not its key(): building that string on every
// lookup cost more allocations than the rest of a label's drawing.
struct FontText {
    QFont font;
    QString text;
    bool operator==(const FontText&) const = default;
};

size_t qHash(const FontText& key, size_t seed = 0) noexcept {
    return qHashMulti(seed, key.font, key.text);
}

// A text fitted to a width in a font (fittedFont).
struct FitKey {
    FontText fontText;
    double width = 0;
    int minimumPixelSize = 0;
    bool operator==(const FitKey&) const = default;
};

size_t qHash(const FitKey& key, size_t seed = 0) noexcept {
    return qHashMulti(seed, key.fontText, key.width, key.minimumPixelSize);
}

// A long session's labels; then a cache starts again.
constexpr qsizetype kMostKept = 4096;

// Kept by font and text: a view draws the same labels at every repaint (the hover line
// repaints at every pointer move), and the outlines behind the ink cost more than drawing
// the text.
TextMeasure measureOf(const QFont& font, const QString& text) {
    thread_local QHash<FontText, TextMeasure> kept;
    FontText key{font, text};
    if (const auto found = kept.constFind(key); found != kept.constEnd()) {
        return *found;
    }
    if (kept.size() >= kMostKept) {
        kept.clear();
    }
    const QFontMetricsF metrics(font);
    const TextMeasure measure{metrics.horizontalAdvance(text), metrics.height(), metrics.ascent(),
                              metrics.tightBoundingRect(text)};
    kept.insert(std::move(key), measure);
    return measure;
}

int pixelSizeOf(const QFont& font) {
    return font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
}

} // namespace

void drawAxisLine(QPainter& painter, LabelSpace& space, const QLineF& line) {
    painter.drawLine(line);
    space.reserveLine(line);
}

QFont fittedFont(const QFont& font, const QString& text, double width, int minimumPixelSize) {
    // Kept like the measures: each size tried measures the text in a font of its own, and
    // the readouts and labels are fitted again at every repaint.
    thread_local QHash<FitKey, int> kept;
    FitKey key{{font, text}, width, minimumPixelSize};
    QFont fitted = font;
    if (const auto found = kept.constFind(key); found != kept.constEnd()) {
        fitted.setPixelSize(*found);
        return fitted;
    }
    int size = pixelSizeOf(font);
    fitted.setPixelSize(std::max(size, 1));
    while (size > minimumPixelSize && QFontMetricsF(fitted).horizontalAdvance(text) > width) {
        --size;
        fitted.setPixelSize(size);
    }
    if (kept.size() >= kMostKept) {
        kept.clear();
    }
    kept.insert(std::move(key), fitted.pixelSize());
    return fitted;
}

QFont fittedFontForAll(const QFont& font, const QStringList& texts, double width,
                       int minimumPixelSize) {
    const QFontMetricsF metrics(font);
    QString widest;
    double widestAdvance = -1;
    for (const QString& text : texts) {
        const double advance = metrics.horizontalAdvance(text);
        if (advance > widestAdvance) {
            widest = text;
            widestAdvance = advance;
        }
    }
    return fittedFont(font, widest, width, minimumPixelSize);
}

QString fittedText(const QFont& font, const QString& text, double width) {
    return measureOf(font, text).advance <= width
               ? text
               : QFontMetricsF(font).elidedText(text, Qt::ElideRight, std::max(width, 0.0));
}

void LabelSpace::reserve(const QRectF& box) {
    used_.push_back(box);
}

void LabelSpace::reserveLine(const QLineF& line) {
    const double left = std::min(line.x1(), line.x2());
    const double top = std::min(line.y1(), line.y2());
    used_.emplace_back(left, top, std::abs(line.dx()) + 1, std::abs(line.dy()) + 1);
}

bool LabelSpace::isFree(const QRectF& box) const {
    // Just under the gap, so that boxes exactly kGap apart stay free of each other.
    const double margin = kGap - 0.01;
    const QRectF around = box.adjusted(-margin, -margin, margin, margin);
    return std::none_of(used_.begin(), used_.end(),
                        [&](const QRectF& used) { return around.intersects(used); });
}

bool LabelSpace::take(const QRectF& box) {
    if (!isFree(box)) {
        return false;
    }
    used_.push_back(box);
    return true;
}

QRectF inkBoxOf(const QFont& font, const QRectF& box, int flags, const QString& text) {
    // Where drawText puts a single line in the box, by the alignment.
    const TextMeasure measure = measureOf(font, text);
    double left = box.left();
    if ((flags & Qt::AlignRight) != 0) {
        left = box.right() - measure.advance;
    } else if ((flags & Qt::AlignHCenter) != 0) {
        left = box.center().x() - measure.advance / 2;
    }
    double top = box.top();
    if ((flags & Qt::AlignBottom) != 0) {
        top = box.bottom() - measure.height;
    } else if ((flags & Qt::AlignVCenter) != 0) {
        top = box.center().y() - measure.height / 2;
    }
    return measure.ink.translated(left, top + measure.ascent);
}

bool drawLabelIn(QPainter& painter, LabelSpace& space, const QFont& font, const QRectF& box,
                 int flags, const QString& text) {
    if (!space.take(inkBoxOf(font, box, flags, text))) {
        return false;
    }
    painter.setFont(font);
    painter.drawText(box, flags | kTextFlags, text);
    return true;
}

void drawTitleIn(QPainter& painter, LabelSpace& space, const QFont& font, const QRectF& box,
                 int flags, const QString& text) {
    space.reserve(inkBoxOf(font, box, flags, text));
    painter.setFont(font);
    painter.drawText(box, flags | kTextFlags, text);
}

} // namespace crackdepth::draw
