#include "report/report_renderer.h"

#include "draw/display_style.h"
#include "draw/distance_time_plot.h"
#include "draw/wave_train.h"
#include "report/mono_bmp.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <array>
#include <cmath>

namespace crackdepth::report {
namespace {

constexpr const char* kBodyFace = "Arial";

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// Chinese text takes its glyphs from a face whose glyphs map back to their own characters, so
// that a PDF reader extracts and finds the text (some CJK faces share a glyph between a
// character and its radical, and the text comes out as radicals). An installed face comes
// first; Arial, where it is missing, becomes its metric twin.
constexpr const char* kChineseFallback = "WenQuanYi Zen Hei";

QStringList familiesFor(const char* face) {
    const QString chosen = QString::fromUtf8(face);
    const QString fallback = QString::fromUtf8(kChineseFallback);
    if (QFontDatabase::hasFamily(chosen)) {
        return {chosen, fallback};
    }
    if (chosen == QString::fromUtf8(kBodyFace)) {
        return {QStringLiteral("Liberation Sans"), fallback, chosen};
    }
    return {fallback, chosen};
}

// A face whose lines are `cellHeight` pixels high (ascent plus descent), the way a report font
// is sized by its row, trunc'd to whole pixels.
QFont fontOf(const char* face, double cellHeight) {
    QFont font;
    font.setFamilies(familiesFor(face));
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    const int wanted = std::max(1, static_cast<int>(cellHeight));
    font.setPixelSize(wanted);
    const double height = QFontMetricsF(font).height();
    if (height > 0) {
        font.setPixelSize(std::max(1, static_cast<int>(wanted * wanted / height)));
    }
    return font;
}

QFont frameFont(std::int32_t index, double dpiY) {
    return fontOf(frameFaceOf(index), static_cast<std::int32_t>(dpiY * 14) / 96);
}

Qt::Alignment horizontalOf(std::int32_t position) {
    switch (position) {
    case 1:
        return Qt::AlignHCenter;
    case 2:
        return Qt::AlignRight;
    default:
        return Qt::AlignLeft;
    }
}

QRect rectOf(const PageBox& box) {
    return QRect(box.left, box.top, box.width(), box.height());
}

// Single-line text in a rectangle. A text too wide for its cell is set smaller, down to two
// thirds of the size, before it is cut with an ellipsis: a label such as "工程名称" must stay
// whole in a narrow column.
void drawCellText(QPainter& painter, const QRect& rect, const std::string& text,
                  Qt::Alignment alignment = Qt::AlignCenter) {
    const QString full = qs(text);
    const int width = std::max(rect.width(), 0);
    const QFont original = painter.font();
    const double natural = painter.fontMetrics().horizontalAdvance(full);
    if (natural > width && width > 0) {
        QFont smaller = original;
        const double factor = std::max(double(width) / natural, 2.0 / 3.0);
        smaller.setPixelSize(std::max(1, static_cast<int>(original.pixelSize() * factor)));
        painter.setFont(smaller);
    }
    const QString elided = painter.fontMetrics().elidedText(full, Qt::ElideRight, width);
    painter.drawText(rect, static_cast<int>(alignment | Qt::TextSingleLine), elided);
    painter.setFont(original);
}

// The body's grid: rules and cells by grid columns (0 … 18) and rows (0 … 30).
class Grid {
public:
    Grid(QPainter& painter, const PageGeometry& page, const PrintSettings& settings)
        : painter_(painter), page_(page), settings_(settings) {
        const double rowHeight = page.rowHeight();
        labelFont_ = fontOf(kBodyFace, rowHeight * 0.7);
        valueFont_ = fontOf(kBodyFace, rowHeight * 0.65);
        painter_.setBackgroundMode(Qt::TransparentMode);
    }

    void border(double firstRow, double lastRow) const {
        painter_.setPen(pen(settings_.borderWidth));
        painter_.setBrush(Qt::NoBrush);
        painter_.drawRect(QRect(QPoint(page_.x(0), page_.y(firstRow)),
                                QPoint(page_.x(kBodyColumns), page_.y(lastRow)))
                              .adjusted(0, 0, -1, -1));
    }
    void across(double row, double fromColumn = 0, double toColumn = kBodyColumns) const {
        painter_.setPen(pen(settings_.gridWidth));
        painter_.drawLine(page_.x(fromColumn), page_.y(row), page_.x(toColumn), page_.y(row));
    }
    void down(double column, double fromRow, double toRow) const {
        painter_.setPen(pen(settings_.gridWidth));
        painter_.drawLine(page_.x(column), page_.y(fromRow), page_.x(column), page_.y(toRow));
    }
    // One text in the cell of columns c0 … c1 and rows r0 … r1.
    void cell(double c0, double c1, double r0, double r1, const std::string& text,
              bool label = true) const {
        painter_.setPen(Qt::black);
        painter_.setFont(label ? labelFont_ : valueFont_);
        const QRect rect(QPoint(page_.x(c0), page_.y(r0)), QPoint(page_.x(c1), page_.y(r1)));
        drawCellText(painter_, rect.adjusted(0, 0, -1, -1), text);
    }
    // One row of cells from column 0, each `widths[i]` columns wide.
    void rowCells(double row, const std::vector<int>& widths, const std::vector<std::string>& texts,
                  bool label = true) const {
        double column = 0;
        for (std::size_t i = 0; i < widths.size() && i < texts.size(); ++i) {
            cell(column, column + widths[i], row, row + 1, texts[i], label);
            column += widths[i];
        }
    }

    QPainter& painter() const { return painter_; }
    const PageGeometry& page() const { return page_; }

private:
    static QPen pen(std::int32_t width) {
        QPen pen(Qt::black, std::max(width, 0));
        pen.setCapStyle(Qt::SquareCap);
        return pen;
    }

    QPainter& painter_;
    const PageGeometry& page_;
    const PrintSettings& settings_;
    QFont labelFont_;
    QFont valueFont_;
};

// Places a picture of `size` screen pixels into `target`, its first two pixel rows cut off as
// the report has always shown them. Vector outputs get the drawing itself, scaled; bitmap
// pages get it rendered at its pixel size in black and white, then stretched.
void placePicture(QPainter& painter, const QRect& target, QSize size, PictureMode mode,
                  const std::function<void(QPainter&, const QRect&)>& draw) {
    constexpr int kCutRows = 2;
    if (size.width() <= 0 || size.height() <= kCutRows || target.width() <= 0 ||
        target.height() <= 0) {
        return;
    }
    const QRect picture(QPoint(0, 0), size);
    painter.save();
    if (mode == PictureMode::Vector) {
        painter.setClipRect(target);
        painter.translate(target.topLeft());
        painter.scale(double(target.width()) / size.width(),
                      double(target.height()) / (size.height() - kCutRows));
        painter.translate(0, -kCutRows);
        draw(painter, picture);
    } else {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter inner(&image);
            draw(inner, picture);
        }
        painter.drawImage(QRectF(target), toMonochrome(image),
                          QRectF(0, kCutRows, size.width(), size.height() - kCutRows));
    }
    painter.restore();
}

const draw::DisplayStyle kPictureStyle{
    .monochrome = true, .scale = 1.0, .panelColor = draw::kPanelColor};

// The block of a style whose pages include `page`.
bool onPage(const ReportLayout& layout, std::size_t block, std::int32_t page) {
    return layout.startPage[block] <= page && page <= layout.endPage[block];
}

} // namespace

ReportRenderer::ReportRenderer(const ReportContent& content, const PrintSettings& settings,
                               ReportStyle style)
    : content_(content), settings_(settings), style_(style) {
    if (style_ != ReportStyle::Simple && style_ != ReportStyle::WaveTrain) {
        style_ = ReportStyle::Standard;
    }
    layout_ = PaginateReport(style_, content_.counts(), settings_.tableHead != 0);
}

void ReportRenderer::drawPage(QPainter& painter, const PageGeometry& geometry, std::int32_t page,
                              PictureMode pictures) const {
    painter.save();
    drawFrame(painter, geometry, page);
    switch (style_) {
    case ReportStyle::Simple:
        drawSimplePage(painter, geometry, page);
        break;
    case ReportStyle::WaveTrain:
        drawWaveTrainPage(painter, geometry, page, pictures);
        break;
    case ReportStyle::Standard:
        drawStandardPage(painter, geometry, page, pictures);
        break;
    }
    painter.restore();
}

void ReportRenderer::drawFrame(QPainter& painter, const PageGeometry& geometry,
                               std::int32_t page) const {
    painter.setPen(Qt::black);
    bool fontChosen = false;
    if (geometry.header && settings_.headerOn != 0) {
        painter.setFont(frameFont(settings_.headerFont, geometry.dpiY));
        fontChosen = true;
        drawCellText(painter, rectOf(geometry.headerBox), settings_.headerText,
                     horizontalOf(settings_.headerPosition) | Qt::AlignVCenter);
    }
    if (geometry.footer && settings_.footerOn != 0) {
        painter.setFont(frameFont(settings_.footerFont, geometry.dpiY));
        fontChosen = true;
        drawCellText(painter, rectOf(geometry.footerBox), settings_.footerText,
                     horizontalOf(settings_.footerPosition) | Qt::AlignVCenter);
    }
    if (geometry.footer && settings_.pageNumberOn != 0) {
        if (!fontChosen) {
            painter.setFont(frameFont(0, geometry.dpiY));
        }
        // Below the footer text, in the font last chosen: 110 pixels of a 600 dpi printer
        // (4.7 mm), the same distance on paper at any resolution.
        const auto below = static_cast<int>(std::lround(110 * geometry.dpiY / 600));
        drawCellText(painter, rectOf(geometry.footerBox).translated(0, below),
                     pageNumberText(settings_, page),
                     horizontalOf(settings_.pageNumberPosition) | Qt::AlignVCenter);
    }
}

void ReportRenderer::drawStandardPage(QPainter& painter, const PageGeometry& geometry,
                                      std::int32_t page, PictureMode pictures) const {
    if (content_.cracks.empty()) {
        return;
    }
    // The crack whose pages include this one.
    std::size_t crackIndex = content_.cracks.size() - 1;
    for (std::size_t i = 0; i + 1 < content_.cracks.size(); ++i) {
        if (layout_.startPage[i] <= page && page < layout_.startPage[i + 1]) {
            crackIndex = i;
            break;
        }
    }
    const CrackReport& crack = content_.cracks[crackIndex];
    const Grid grid(painter, geometry, settings_);
    const std::int32_t firstRows = standardFirstPageRows(settings_.tableHead != 0);
    const auto pointRow = [&](std::size_t k, double row) {
        const ReportRow& r = crack.rows[k];
        grid.cell(0, 4, row, row + 1, r.number, false);
        grid.cell(4, 8, row, row + 1, r.distance, false);
        grid.cell(8, 12, row, row + 1, r.crossingTime, false);
        grid.cell(12, 16, row, row + 1, r.nonCrossingTime, false);
        grid.cell(16, 18, row, row + 1, r.reversal, false);
    };

    const std::int32_t first = layout_.startPage[crackIndex];
    if (page > first) {
        // A continuation page: the point table only, 30 rows from the top.
        grid.border(0, kBodyRows);
        for (int row = 1; row < kBodyRows; ++row) {
            grid.across(row);
        }
        for (const int column : {4, 8, 12, 16}) {
            grid.down(column, 0, kBodyRows);
        }
        const std::int64_t j = page - first;
        const std::int64_t from = firstRows + std::int64_t{kBodyRows} * (j - 1);
        const std::int64_t to =
            std::min<std::int64_t>(static_cast<std::int64_t>(crack.rows.size()), from + kBodyRows);
        for (std::int64_t k = from; k < to; ++k) {
            pointRow(static_cast<std::size_t>(k), static_cast<double>(k - from));
        }
        return;
    }

    painter.setPen(Qt::black);
    painter.setFont(fontOf(kBodyFace, geometry.titleBox.height() * 0.6));
    drawCellText(painter, rectOf(geometry.titleBox), kReportTitle);

    const bool tableHead = settings_.tableHead != 0;
    const std::array<std::string, ProjectInfo::kTextCount>& text = content_.project;
    grid.border(0, kBodyRows);
    if (tableHead) {
        for (int row = 1; row <= 7; ++row) {
            grid.across(row);
        }
        grid.across(9);
        for (int row = 19; row <= 29; ++row) {
            grid.across(row);
        }
        for (const int row : {11, 13, 15, 17}) {
            grid.across(row, 0, 8);
        }
        grid.down(4, 0, kBodyRows);
        grid.down(8, 9, kBodyRows);
        grid.down(12, 19, kBodyRows);
        grid.down(16, 19, kBodyRows);
        grid.down(9, 3, 7);
        grid.down(13, 3, 7);

        const char* labels[] = {"工程名称", "检测单位", "施工单位", "委托单位", "施工日期",
                                "构件名称", "检测依据", "仪器型号", "与编号"};
        for (int row = 0; row < 9; ++row) {
            grid.cell(0, 4, row, row + 1, labels[row]);
        }
        const char* rightLabels[] = {"委托编号", "检测日期", "设计强度", "检测编号"};
        for (int i = 0; i < 4; ++i) {
            grid.cell(9, 13, 3 + i, 4 + i, rightLabels[i]);
        }
        for (int row = 0; row < 3; ++row) {
            grid.cell(4, 18, row, row + 1, text[static_cast<std::size_t>(row)]);
        }
        const std::size_t pairs[4][2] = {{3, 11}, {13, 8}, {15, 5}, {6, 14}};
        for (int i = 0; i < 4; ++i) {
            grid.cell(4, 9, 3 + i, 4 + i, text[pairs[i][0]]);
            grid.cell(13, 18, 3 + i, 4 + i, text[pairs[i][1]]);
        }
        grid.cell(4, 18, 7, 9, text[kInstrumentModel] + "        " + text[kInstrumentNumber]);
    } else {
        for (const int row : {2, 4, 6, 8}) {
            grid.across(row, 0, 8);
        }
        for (int row = 10; row <= 29; ++row) {
            grid.across(row);
        }
        grid.down(4, 0, kBodyRows);
        grid.down(8, 0, kBodyRows);
        grid.down(12, 10, kBodyRows);
        grid.down(16, 10, kBodyRows);
    }

    // The result block and the plot beside it.
    const int r0 = tableHead ? 9 : 0;
    const char* resultLabels[] = {"跨缝测线", "非跨缝测线", "裂缝深度(mm)", "回归系数A(mm)",
                                  "回归系数B(km/s)"};
    const std::string values[] = {crack.crossingName, crack.nonCrossingName, crack.crackDepth,
                                  content_.intercept, content_.velocity};
    for (int i = 0; i < 5; ++i) {
        grid.cell(0, 4, r0 + 2 * i, r0 + 2 * i + 2, resultLabels[i]);
        grid.cell(4, 8, r0 + 2 * i, r0 + 2 * i + 2, values[i], false);
    }
    if (content_.plot) {
        const double colW = geometry.columnWidth();
        const double rowH = geometry.rowHeight();
        const auto x1 = static_cast<std::int32_t>(geometry.body.left + 8 * colW + 3);
        const auto x2 = static_cast<std::int32_t>(x1 + 10 * colW - 3);
        const auto y1 = static_cast<std::int32_t>(geometry.body.top + r0 * rowH + 3);
        const auto y2 = static_cast<std::int32_t>(y1 + 10 * rowH - 3);
        const QSize size = tableHead ? QSize(370, 230) : QSize(375, 315);
        const draw::PlotInput& plot = *content_.plot;
        placePicture(painter, QRect(x1 + 20, y1 + 20, x2 - x1 - 40, y2 - y1 - 40), size, pictures,
                     [&](QPainter& p, const QRect& rect) {
                         draw::drawDistanceTimePlot(p, QRectF(rect), plot, kPictureStyle);
                     });
    }

    // The point table.
    const int headRow = tableHead ? 19 : 10;
    const std::vector<int> widths = {4, 4, 4, 4, 2};
    grid.rowCells(headRow, widths, {"测点", "测距(mm)", "跨缝T(us)", "不跨缝T(us)", "反相点"});
    const std::size_t shown = std::min(crack.rows.size(), static_cast<std::size_t>(firstRows));
    for (std::size_t k = 0; k < shown; ++k) {
        pointRow(k, headRow + 1 + static_cast<double>(k));
    }
}

void ReportRenderer::drawSimplePage(QPainter& painter, const PageGeometry& geometry,
                                    std::int32_t page) const {
    const Grid grid(painter, geometry, settings_);
    const std::array<std::string, ProjectInfo::kTextCount>& text = content_.project;
    for (std::size_t i = 0; i < content_.cracks.size(); ++i) {
        if (!onPage(layout_, i, page)) {
            continue;
        }
        const CrackReport& crack = content_.cracks[i];
        const bool startPage = page == layout_.startPage[i];
        const auto [first, offset, last] = blockRowsOn(layout_, i, page, kBodyRows);

        grid.border(first - 1, last);
        for (int row = first; row < last; ++row) {
            grid.across(row);
        }
        // Block row 1 is divided at columns 2, 9 and 12, the rows below it at 2, 5, 9, 11
        // and 14: each rule runs only where its cells are.
        const double belowRowOne = startPage ? first : first - 1;
        for (const int column : {2, 9}) {
            grid.down(column, first - 1, last);
        }
        if (startPage) {
            grid.down(12, first - 1, first);
        }
        for (const int column : {5, 11, 14}) {
            grid.down(column, belowRowOne, last);
        }

        for (std::int32_t row = first - 1; row < last; ++row) {
            const std::int64_t b = offset + row - (first - 1);
            switch (b) {
            case 1:
                grid.rowCells(row, {2, 7, 3, 6}, {"工程名称", text[0], "检测单位", text[1]});
                break;
            case 2:
                grid.rowCells(row, {2, 3, 4, 2, 3, 4},
                              {"构件名称", text[kComponentName], "裂缝名称", crack.longerName,
                               "推定缝深", crack.crackDepth});
                break;
            case 3:
                grid.rowCells(row, {2, 3, 4, 2, 3, 4},
                              {"系数A", content_.intercept, "系数B", content_.velocity, "检测依据",
                               "CECS21:2000"});
                break;
            case 4:
                grid.rowCells(row, {2, 3, 4, 2, 3, 4},
                              {"设计强度", text[kDesignStrength], "浇注日期", text[kCastingDate],
                               "检测日期", text[kTestDate]});
                break;
            case 5:
                grid.rowCells(row, {2, 3, 4, 2, 3, 4},
                              {"测点序号", "测距(mm)", "不跨缝声时(us)", "跨缝声时(us)", "保留标志",
                               "缝深(mm)"});
                break;
            default: {
                const std::int64_t k = b - 6;
                if (k < 0 || k >= static_cast<std::int64_t>(crack.rows.size())) {
                    break;
                }
                const ReportRow& r = crack.rows[static_cast<std::size_t>(k)];
                grid.rowCells(
                    row, {2, 3, 4, 2, 3, 4},
                    {r.number, r.distance, r.nonCrossingTime, r.crossingTime, r.status, r.depth});
            }
            }
        }
    }
}

void ReportRenderer::drawWaveTrainPage(QPainter& painter, const PageGeometry& geometry,
                                       std::int32_t page, PictureMode pictures) const {
    const Grid grid(painter, geometry, settings_);
    const draw::WaveTrainPictureLayout& pictureLayout =
        pictures == PictureMode::Bitmap ? draw::kBitmapPageLayout : draw::kPrinterPageLayout;
    for (std::size_t j = 0; j < content_.lines.size() && j < layout_.startPage.size(); ++j) {
        if (!onPage(layout_, j, page)) {
            continue;
        }
        const ReportLine& line = content_.lines[j];
        // A continued block repeats its title row: 29 rows of points a page.
        const auto [first, offset, last] = blockRowsOn(layout_, j, page, kBodyRows - 1);

        grid.border(first - 1, last);
        grid.across(first);
        grid.cell(0, kBodyColumns, first - 1, first, line.name);

        const std::int64_t firstPoint = offset - 1;
        const std::int64_t lastPoint = last + offset - first - 2;
        const auto count = static_cast<std::int64_t>(line.train.traces.size());
        if (lastPoint < firstPoint || firstPoint < 0 || lastPoint >= count) {
            continue;
        }
        const PageBox& body = geometry.body;
        const auto top = static_cast<std::int32_t>(body.top + first * geometry.rowHeight() + 10);
        const auto bottom = static_cast<std::int32_t>(body.top + last * geometry.rowHeight() - 5);
        const auto right =
            static_cast<std::int32_t>(body.left + kBodyColumns * geometry.columnWidth() - 5);
        const QSize size(right - body.left - 5, bottom - top);
        placePicture(painter, QRect(body.left + 15, top, right - body.left - 25, bottom - top),
                     size, pictures, [&](QPainter& p, const QRect& rect) {
                         draw::WaveTrainPicture(
                             p, rect, line.train, static_cast<std::int32_t>(firstPoint),
                             static_cast<std::int32_t>(lastPoint), pictureLayout, kPictureStyle);
                     });
    }
}

} // namespace crackdepth::report
