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

// Single-line text in a band of the page frame (header, footer, page number).
void drawLineText(QPainter& painter, const QRect& rect, const std::string& text,
                  Qt::Alignment alignment) {
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

} // namespace

CellText cellTextLayout(const QFont& font, const QRect& cell, const QString& text) {
    CellText out;
    // An inner margin on every side, so that no text touches its rules.
    const int marginX = std::max(2, static_cast<int>(cell.height() * 0.12));
    const int marginY = std::max(1, static_cast<int>(cell.height() * 0.06));
    out.inner = cell.adjusted(marginX, marginY, -marginX, -marginY);
    out.font = font;
    out.lines = {text};
    const QFontMetricsF metrics(font);
    const double width = std::max(1, out.inner.width());
    const double height = std::max(1, out.inner.height());
    const double natural = metrics.horizontalAdvance(text);
    const double lineHeight = std::max(1.0, metrics.height());
    double oneLine = std::min({1.0, width / std::max(1.0, natural), height / lineHeight});
    if (natural <= width && lineHeight <= height) {
        return out;
    }
    // Two lines, broken where the longer half is shortest: a blank is preferred, any
    // character boundary will do for Chinese.
    double twoLines = 0;
    QStringList halves;
    const qsizetype length = text.size();
    double best = natural;
    for (qsizetype cut = 1; cut < length; ++cut) {
        if (text.at(cut).isLowSurrogate()) {
            continue;
        }
        const QString first = text.left(cut).trimmed();
        const QString second = text.mid(cut).trimmed();
        if (first.isEmpty() || second.isEmpty()) {
            continue;
        }
        const double longer =
            std::max(metrics.horizontalAdvance(first), metrics.horizontalAdvance(second));
        if (longer < best) {
            best = longer;
            halves = {first, second};
        }
    }
    if (!halves.isEmpty()) {
        twoLines = std::min({1.0, width / best, height / (2 * lineHeight)});
    }
    const bool wrap = twoLines > oneLine;
    const double factor = wrap ? twoLines : oneLine;
    if (wrap) {
        out.lines = halves;
    }
    if (factor < 1.0) {
        out.font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * factor)));
    }
    return out;
}

namespace {

// A cell's text inside its margin, on one line or two, shrunk as far as it must be: never cut.
void drawCellText(QPainter& painter, const QRect& rect, const std::string& text,
                  Qt::Alignment alignment = Qt::AlignCenter) {
    const QFont original = painter.font();
    const CellText layout = cellTextLayout(original, rect, qs(text));
    painter.setFont(layout.font);
    painter.drawText(layout.inner, static_cast<int>(alignment), layout.lines.join(QChar('\n')));
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
              bool label = true, Qt::Alignment alignment = Qt::AlignCenter) const {
        painter_.setPen(Qt::black);
        painter_.setFont(label ? labelFont_ : valueFont_);
        const QRect rect(QPoint(page_.x(c0), page_.y(r0)), QPoint(page_.x(c1), page_.y(r1)));
        drawCellText(painter_, rect.adjusted(0, 0, -1, -1), text, alignment);
    }
    // One row of cells from column 0, each `widths[i]` columns wide.
    template <typename Widths>
    void rowCells(double row, const Widths& widths, const std::vector<std::string>& texts,
                  bool label = true) const {
        double column = 0;
        std::size_t i = 0;
        for (const auto width : widths) {
            if (i >= texts.size()) {
                break;
            }
            cell(column, column + width, row, row + 1, texts[i++], label);
            column += width;
        }
    }
    // The rules between the cells of one row.
    template <typename Widths> void rowRules(double row, const Widths& widths) const {
        double column = 0;
        for (const auto width : widths) {
            column += width;
            if (column < kBodyColumns) {
                down(column, row, row + 1);
            }
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

// The plot's picture for `target`: on a bitmap page the target's own pixels, so that the
// labels are drawn at their size instead of being resampled; elsewhere `width` units wide in
// the target's proportions, so that the labels are scaled alike in both directions instead of
// squashed. The two top rows that placePicture leaves out are added.
QSize plotPictureSize(const QRect& target, int width, PictureMode mode) {
    constexpr int kCutRows = 2;
    if (target.width() <= 0 || target.height() <= 0) {
        return {};
    }
    if (mode == PictureMode::Bitmap) {
        return {target.width(), target.height() + kCutRows};
    }
    const double height = double(width) * target.height() / target.width();
    return {width, static_cast<int>(std::lround(height)) + kCutRows};
}

const draw::DisplayStyle kPictureStyle{
    .monochrome = true, .scale = 1.0, .panelColor = draw::kPanelColor};

// Printed and PDF traces are about 0.2 mm wide: one device unit, 0.04 mm at 600 dpi, prints
// grey and faint. The bitmap page keeps its one-pixel traces.
constexpr double kPrintedTraceMillimetres = 0.2;

draw::DisplayStyle waveTrainStyle(PictureMode mode, double dpi) {
    draw::DisplayStyle style = kPictureStyle;
    if (mode == PictureMode::Vector && std::isfinite(dpi) && dpi > 0) {
        style.tracePenWidth = std::max(1.0, kPrintedTraceMillimetres * dpi / 25.4);
    }
    return style;
}

} // namespace

ReportRenderer::ReportRenderer(const ReportContent& content, const PrintSettings& settings,
                               ReportStyle style)
    : content_(content), settings_(settings), style_(style) {
    if (style_ != ReportStyle::Simple && style_ != ReportStyle::WaveTrain) {
        style_ = ReportStyle::Standard;
    }
    layout_ =
        PaginateReport(style_, content_.counts(style_, listsChecks()), settings_.tableHead != 0);
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
        drawLineText(painter, rectOf(geometry.headerBox), settings_.headerText,
                     horizontalOf(settings_.headerPosition) | Qt::AlignVCenter);
    }
    if (geometry.footer && settings_.footerOn != 0) {
        painter.setFont(frameFont(settings_.footerFont, geometry.dpiY));
        fontChosen = true;
        drawLineText(painter, rectOf(geometry.footerBox), settings_.footerText,
                     horizontalOf(settings_.footerPosition) | Qt::AlignVCenter);
    }
    if (geometry.footer && settings_.pageNumberOn != 0) {
        if (!fontChosen) {
            painter.setFont(frameFont(0, geometry.dpiY));
        }
        // Below the footer text, in the font last chosen: 110 pixels of a 600 dpi printer
        // (4.7 mm), the same distance on paper at any resolution.
        const auto below = static_cast<int>(std::lround(110 * geometry.dpiY / 600));
        drawLineText(painter, rectOf(geometry.footerBox).translated(0, below),
                     pageNumberText(settings_, page),
                     horizontalOf(settings_.pageNumberPosition) | Qt::AlignVCenter);
    }
}

namespace {

// What a row of a crack's table shows, and where its cells are divided.
struct RowCells {
    std::vector<std::int32_t> widths;
    std::vector<std::string> texts;
    bool label = true;
    Qt::Alignment alignment = Qt::AlignCenter;
};

const std::vector<std::int32_t> kWholeRow{kBodyColumns};

// The rows of a crack's table that every style shares: its name on a continued page, the column
// headings, a point and the "测量检查" block.
RowCells crackRow(const CrackReport& crack, const PointTable& table,
                  std::vector<std::string> (*cells)(const CrackReport&, const ReportRow&),
                  const PlannedRow& row, const RowCells& name) {
    switch (row.kind) {
    case RowKind::Name:
        return name;
    case RowKind::ColumnHeads:
        return {table.widths, table.heads, true};
    case RowKind::Point: {
        const auto k = static_cast<std::size_t>(row.index);
        if (k >= crack.rows.size()) {
            return {table.widths, {}, false};
        }
        return {table.widths, cells(crack, crack.rows[k]), false};
    }
    case RowKind::ChecksTitle:
        return {kWholeRow, {kChecksTitle}, true};
    case RowKind::Check: {
        const std::vector<std::string> checks = checkRowsOf(crack);
        const auto i = static_cast<std::size_t>(row.index);
        return {kWholeRow,
                {i < checks.size() ? checks[i] : std::string()},
                false,
                Qt::AlignLeft | Qt::AlignVCenter};
    }
    case RowKind::Head:
        break;
    }
    return {kWholeRow, {}, true};
}

void drawRow(const Grid& grid, double row, const RowCells& cells) {
    grid.rowRules(row, cells.widths);
    double column = 0;
    for (std::size_t i = 0; i < cells.widths.size() && i < cells.texts.size(); ++i) {
        grid.cell(column, column + cells.widths[i], row, row + 1, cells.texts[i], cells.label,
                  cells.alignment);
        column += cells.widths[i];
    }
}

} // namespace

bool ReportRenderer::listsChecks() const {
    return settings_.listChecks != 0;
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
    const PointTable table = standardTable(crack);
    const Grid grid(painter, geometry, settings_);
    const RowCells name{
        {4, 4, 4, 6}, {"跨缝测线", crack.crossingName, "裂缝深度(mm)", crack.crackDepth}, true};
    const BlockPart* part = layout_.partOn(crackIndex, page);
    const auto drawPart = [&]() {
        if (part == nullptr) {
            return;
        }
        for (std::size_t r = 0; r < part->rows.size(); ++r) {
            const double row = part->firstRow + static_cast<double>(r);
            if (r > 0) {
                grid.across(row);
            }
            drawRow(grid, row, crackRow(crack, table, standardCells, part->rows[r], name));
        }
    };

    painter.setPen(Qt::black);
    painter.setFont(fontOf(kBodyFace, geometry.titleBox.height() * 0.6));
    drawCellText(painter, rectOf(geometry.titleBox), kReportTitle);

    const std::int32_t first = layout_.startPage[crackIndex];
    if (page > first) {
        // A continued table: the crack's name, the column headings while points go on, then
        // its rows, ruled as far as they go.
        if (part != nullptr) {
            grid.border(part->firstRow, part->firstRow + static_cast<double>(part->rows.size()));
        }
        drawPart();
        return;
    }

    const bool tableHead = settings_.tableHead != 0;
    const int headRow = standardHeadingRow(tableHead);
    const std::array<std::string, ProjectInfo::kTextCount>& text = content_.project;
    grid.border(0, kBodyRows);
    if (tableHead) {
        for (int row = 1; row <= 7; ++row) {
            grid.across(row);
        }
        grid.across(9);
        for (const int row : {11, 13, 15, 17}) {
            grid.across(row, 0, 8);
        }
        grid.down(4, 0, headRow);
        grid.down(8, 9, headRow);
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
        grid.down(4, 0, headRow);
        grid.down(8, 0, headRow);
    }
    // The point table's rows, ruled across to the foot of the form.
    for (int row = headRow; row < kBodyRows; ++row) {
        grid.across(row);
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
        const QRect target(x1 + 20, y1 + 20, x2 - x1 - 40, y2 - y1 - 40);
        const QSize size = plotPictureSize(target, tableHead ? 370 : 375, pictures);
        const draw::PlotInput& plot = *content_.plot;
        placePicture(painter, target, size, pictures, [&](QPainter& p, const QRect& rect) {
            draw::drawDistanceTimePlot(p, QRectF(rect), plot, kPictureStyle);
        });
    }

    drawRow(grid, headRow, {table.widths, table.heads, true});
    drawPart();
}

void ReportRenderer::drawSimplePage(QPainter& painter, const PageGeometry& geometry,
                                    std::int32_t page) const {
    const Grid grid(painter, geometry, settings_);
    const std::array<std::string, ProjectInfo::kTextCount>& text = content_.project;
    for (std::size_t i = 0; i < content_.cracks.size(); ++i) {
        const BlockPart* part = layout_.partOn(i, page);
        if (part == nullptr || part->rows.empty()) {
            continue;
        }
        const CrackReport& crack = content_.cracks[i];
        const PointTable table = simpleTable(crack);
        const std::vector<std::int32_t> six{2, 3, 4, 2, 3, 4};
        const RowCells name{six,
                            {"构件名称", text[kComponentName], "裂缝名称", crack.crossingName,
                             "推定缝深", crack.crackDepth},
                            true};
        const double first = part->firstRow;
        grid.border(first, first + static_cast<double>(part->rows.size()));
        for (std::size_t r = 0; r < part->rows.size(); ++r) {
            const double row = first + static_cast<double>(r);
            if (r > 0) {
                grid.across(row);
            }
            const PlannedRow& planned = part->rows[r];
            if (planned.kind != RowKind::Head) {
                drawRow(grid, row, crackRow(crack, table, simpleCells, planned, name));
                continue;
            }
            switch (planned.index) {
            case 1:
                drawRow(grid, row, {{2, 7, 3, 6}, {"工程名称", text[0], "检测单位", text[1]}});
                break;
            case 2:
                drawRow(grid, row, name);
                break;
            case 3:
                drawRow(grid, row,
                        {six,
                         {"系数A", content_.intercept, "系数B", content_.velocity, "检测依据",
                          "CECS21:2000"}});
                break;
            case 4:
                drawRow(grid, row,
                        {six,
                         {"设计强度", text[kDesignStrength], "浇注日期", text[kCastingDate],
                          "检测日期", text[kTestDate]}});
                break;
            default:
                drawRow(grid, row, {table.widths, table.heads, true});
                break;
            }
        }
    }
}

void ReportRenderer::drawWaveTrainPage(QPainter& painter, const PageGeometry& geometry,
                                       std::int32_t page, PictureMode pictures) const {
    const Grid grid(painter, geometry, settings_);
    const draw::WaveTrainPictureLayout& pictureLayout =
        pictures == PictureMode::Bitmap ? draw::kBitmapPageLayout : draw::kPrinterPageLayout;
    const draw::DisplayStyle traceStyle = waveTrainStyle(pictures, geometry.dpiY);
    for (std::size_t b = 0; b < layout_.blocks.size(); ++b) {
        const BlockPart* part = layout_.partOn(b, page);
        const BlockRef ref = layout_.blocks[b];
        if (part == nullptr || part->rows.empty() || ref.line >= content_.lines.size()) {
            continue;
        }
        const ReportLine& line = content_.lines[ref.line];
        const auto rowCount = static_cast<std::int32_t>(part->rows.size());
        const std::int32_t first = part->firstRow + 1; // below the title row
        const std::int32_t last = part->firstRow + rowCount;
        grid.border(part->firstRow, last);
        grid.across(first);
        if (ref.checks) {
            const CrackReport& crack = content_.cracks[ref.line - 1];
            for (std::size_t r = 0; r < part->rows.size(); ++r) {
                const double row = part->firstRow + static_cast<double>(r);
                if (r > 0) {
                    grid.across(row);
                }
                const PlannedRow& planned = part->rows[r];
                drawRow(grid, row,
                        planned.kind == RowKind::Check
                            ? crackRow(crack, {}, standardCells, planned, {})
                            : RowCells{kWholeRow, {kChecksTitle}, true});
            }
            continue;
        }
        grid.cell(0, kBodyColumns, part->firstRow, first, line.name);
        if (rowCount < 2) {
            continue;
        }
        // The points of this page, one row each below the title.
        const std::int64_t firstPoint = part->rows[1].index;
        const std::int64_t lastPoint = part->rows.back().index;
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
                             static_cast<std::int32_t>(lastPoint), pictureLayout, traceStyle);
                     });
    }
}

} // namespace crackdepth::report
