// The report pages as they come out: what a page shows where, checked by rendering it twice
// with one thing changed and finding every differing pixel inside the place that thing
// belongs; and the report's numbers against the analysis the screen shows.
#include "../draw/image_support.h"
#include "core/data/measurement_file.h"
#include "core/document/checks/measurement_checks.h"
#include "core/document/model/document_analysis.h"
#include "core/document/model/line_loading.h"
#include "report/page_sink.h"
#include "report/report_content.h"
#include "report/report_renderer.h"
#include "report_documents.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <numeric>
#include <set>

namespace crackdepth::report {
namespace {

using draw::testing::differingPixels;

DocumentData demoDocument() {
    DocumentData data =
        testing::loadResultDocument(std::string(CRACKDEPTH_EXAMPLES_DIR) + "/DEMO.DPA");
    EXPECT_TRUE(data.nonCrossingList != nullptr);
    return data;
}

// A content of one crack of `points` rows whose texts say where they come from.
ReportContent syntheticContent(std::size_t points) {
    ReportContent content;
    content.intercept = "-11.47";
    content.velocity = "4.19";
    CrackReport& crack = content.cracks.emplace_back();
    crack.crossingName = "C1";
    crack.nonCrossingName = "NC";
    crack.crackDepth = "123.45";
    for (std::size_t k = 0; k < points; ++k) {
        const std::string n = std::to_string(k + 1);
        crack.rows.push_back({n, n + "0", n + "0", n + "0", n, n, "否", "自动保留", n + ".00"});
    }
    return content;
}

// Page `page` on the bitmap report's canvas.
QImage bitmapPage(const ReportContent& content, const PrintSettings& settings, ReportStyle style,
                  std::int32_t page, PictureMode pictures = PictureMode::Bitmap) {
    QImage image(kBitmapPageWidth, kBitmapPageHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ReportRenderer(content, settings, style)
        .drawPage(painter, BitmapPageGeometry(), page, pictures);
    return image;
}

// The rectangle of grid columns c0 … c1 and rows r0 … r1 of a page, a little inside its rules.
QRect cellRect(const PageGeometry& page, double c0, double c1, double r0, double r1) {
    return QRect(QPoint(page.x(c0), page.y(r0)), QPoint(page.x(c1), page.y(r1)))
        .adjusted(3, 3, -3, -3);
}

// The two renderings differ, and only inside `where`.
void expectDifferenceOnlyIn(const QImage& a, const QImage& b, const QRect& where) {
    ASSERT_EQ(a.size(), b.size());
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                (where.contains(x, y) ? inside : outside) += 1;
            }
        }
    }
    EXPECT_GT(inside, 20) << "nothing drawn where it belongs";
    EXPECT_EQ(outside, 0) << "drawn outside " << where.x() << "," << where.y() << " "
                          << where.width() << "x" << where.height();
}

TEST(ReportRender, EachTextOfTheStandardPageIsInItsCell) {
    const PrintSettings settings;
    const PageGeometry page = BitmapPageGeometry();
    const ReportContent base = syntheticContent(12);
    const QImage control = bitmapPage(base, settings, ReportStyle::Standard, 1);

    const struct {
        const char* what;
        std::function<void(ReportContent&)> change;
        QRect where;
    } cases[] = {
        {"project name", [](ReportContent& c) { c.project[0] = "工程"; },
         cellRect(page, 4, 18, 0, 1)},
        {"commission number", [](ReportContent& c) { c.project[11] = "WT-1"; },
         cellRect(page, 13, 18, 3, 4)},
        {"instrument", [](ReportContent& c) { c.project[22] = "仪器"; },
         cellRect(page, 4, 18, 7, 9)},
        {"crack depth", [](ReportContent& c) { c.cracks[0].crackDepth = "--.--"; },
         cellRect(page, 4, 8, 13, 15)},
        {"velocity", [](ReportContent& c) { c.velocity = "--.--"; }, cellRect(page, 4, 8, 17, 19)},
        {"tenth point", [](ReportContent& c) { c.cracks[0].rows[9].crossingTime = "--.--"; },
         cellRect(page, 8, 12, 29, 30)},
        {"reversal", [](ReportContent& c) { c.cracks[0].rows[0].reversal = "是"; },
         cellRect(page, 16, 18, 20, 21)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ReportContent changed = base;
        c.change(changed);
        expectDifferenceOnlyIn(control, bitmapPage(changed, settings, ReportStyle::Standard, 1),
                               c.where);
    }
    // The eleventh point opens page 2, in its row 2 below the crack's name and the column
    // headings.
    ReportContent changed = base;
    changed.cracks[0].rows[10].distance = "999";
    expectDifferenceOnlyIn(bitmapPage(base, settings, ReportStyle::Standard, 2),
                           bitmapPage(changed, settings, ReportStyle::Standard, 2),
                           cellRect(page, 4, 8, 2, 3));
}

TEST(ReportRender, PicturesFillTheirCells) {
    DocumentData data = demoDocument();
    const ReportContent content = BuildReportContent(data, AnalyseDocument(data));
    ReportContent withoutPictures = content;
    withoutPictures.plot.reset();
    // The non-crossing line's waveforms flat: its rows stay, their traces go.
    std::vector<std::vector<Sample>> flat;
    for (draw::WaveTrace& trace : withoutPictures.lines[0].train.traces) {
        flat.emplace_back(trace.samples.size(), Sample{2048});
        trace.samples = flat.back();
    }
    const PrintSettings settings;
    const PageGeometry page = BitmapPageGeometry();
    for (const PictureMode mode : {PictureMode::Bitmap, PictureMode::Vector}) {
        SCOPED_TRACE(mode == PictureMode::Bitmap ? "bitmap" : "vector");
        // The plot beside the result block: columns 8 … 18, rows 9 … 19.
        expectDifferenceOnlyIn(
            bitmapPage(withoutPictures, settings, ReportStyle::Standard, 1, mode),
            bitmapPage(content, settings, ReportStyle::Standard, 1, mode),
            cellRect(page, 8, 18, 9, 19));
        // The non-crossing line's waveforms below its title row (rows 1 … 1 + its points).
        const auto rows = static_cast<double>(content.lines[0].train.traces.size());
        expectDifferenceOnlyIn(
            bitmapPage(withoutPictures, settings, ReportStyle::WaveTrain, 1, mode),
            bitmapPage(content, settings, ReportStyle::WaveTrain, 1, mode),
            QRect(QPoint(page.x(0), page.y(1)), QPoint(page.x(18), page.y(1 + rows))));
    }
}

TEST(ReportRender, SimpleBlocksFollowOneAnother) {
    // Cracks of 10 and 8 points beside a non-crossing line of 10, no checks listed: the second
    // block's "裂缝名称" row is page row 17.
    ReportContent content = syntheticContent(10);
    content.cracks.push_back(syntheticContent(10).cracks[0]);
    content.nonCrossingPoints = 10;
    PrintSettings settings;
    settings.listChecks = 0;
    ReportContent changed = content;
    changed.cracks[1].crossingName = "C2";
    const PageGeometry page = BitmapPageGeometry();
    expectDifferenceOnlyIn(bitmapPage(content, settings, ReportStyle::Simple, 1),
                           bitmapPage(changed, settings, ReportStyle::Simple, 1),
                           cellRect(page, 9, 11, 17, 18));
    // Page 2 names the crack again in row 0; its last point runs on into row 2, below the
    // column headings.
    expectDifferenceOnlyIn(bitmapPage(content, settings, ReportStyle::Simple, 2),
                           bitmapPage(changed, settings, ReportStyle::Simple, 2),
                           cellRect(page, 9, 11, 0, 1));
    changed = content;
    changed.cracks[1].rows[9].depth = "--.--";
    expectDifferenceOnlyIn(bitmapPage(content, settings, ReportStyle::Simple, 2),
                           bitmapPage(changed, settings, ReportStyle::Simple, 2),
                           cellRect(page, 14, 18, 2, 3));
}

TEST(ReportRender, HeaderFooterAndPageNumberInTheirBands) {
    // An A4 page at 100 dpi with a printable area 20 pixels in.
    const DeviceMetrics device{100, 100, 20, 20, 787, 1129};
    PrintSettings plain;
    const auto printed = [&](const PrintSettings& settings, std::int32_t pageNumber) {
        QImage image(827, 1169, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.translate(20, 20);
        ReportRenderer(syntheticContent(50), settings, ReportStyle::Standard)
            .drawPage(painter, PrintedPageGeometry(device, settings), pageNumber,
                      PictureMode::Vector);
        return image;
    };
    PrintSettings header = plain;
    header.headerOn = 1;
    header.headerText = "页眉 Header";
    PrintSettings headerOnly = header;
    headerOnly.headerText.clear();
    const PageGeometry withHeader = PrintedPageGeometry(device, header);
    const PageBox& box = withHeader.headerBox;
    expectDifferenceOnlyIn(printed(headerOnly, 1), printed(header, 1),
                           QRect(box.left + 20, box.top + 20, box.width(), box.height()));

    PrintSettings numbered = plain;
    numbered.pageNumberOn = 1;
    numbered.pageNumberPosition = 2;
    numbered.pageNumberFormat = 1;
    const PageBox footer = PrintedPageGeometry(device, numbered).footerBox;
    // Page 2 numbered "II" and "VI": the number lies below the footer band, 110 pixels of a
    // 600 dpi printer.
    const QImage second = printed(numbered, 2);
    const QImage secondAgain = [&] {
        PrintSettings other = numbered;
        other.startPageNumber = 5; // "VI"
        return printed(other, 2);
    }();
    expectDifferenceOnlyIn(
        second, secondAgain,
        QRect(footer.left + 20, footer.top + 20 + 18, footer.width(), footer.height()));
}

TEST(ReportRender, TheReportShowsThePanelsNumbers) {
    DocumentData data = demoDocument();
    const DocumentAnalysis analysis = AnalyseDocument(data);
    const ReportContent content = BuildReportContent(data, analysis);
    ASSERT_EQ(content.cracks.size(), analysis.cracks.size());
    for (std::size_t i = 0; i < content.cracks.size(); ++i) {
        // The panel shows the selected crack's "%.2f(mm)".
        data.currentTab = static_cast<std::int32_t>(i + 1);
        data.currentCrossingEntry = i;
        const std::string panel = AnalyseDocument(data).crackDepthText();
        EXPECT_EQ(content.cracks[i].crackDepth + "(mm)", panel);
    }
    EXPECT_EQ(content.intercept + "(mm)", analysis.interceptText);
    EXPECT_EQ(content.velocity + "(km/s)", analysis.velocityText);
    // Transit times without corrections, whole microseconds; "--.--" past the shorter line.
    const CrackReport& first = content.cracks[0];
    const MeasuringPoint& point = (*data.crossingLists[0])[0];
    EXPECT_EQ(first.rows[0].crossingTime,
              std::to_string(static_cast<int>(static_cast<float>(point.arrivalIndex) *
                                                  point.record.samplingInterval() +
                                              point.delay)));
    ASSERT_GT(first.rows.size(), data.nonCrossingList->size());
    EXPECT_EQ(first.rows.back().nonCrossingTime, "--.--");
}

TEST(ReportRender, MissingValuesAndHugeLinesDrawWithoutFault) {
    // Non-crossing lines of one point and of none: no fit, so no depth anywhere, and the
    // cells say so as the screen does.
    for (const std::size_t kept : {std::size_t{1}, std::size_t{0}}) {
        SCOPED_TRACE(kept);
        DocumentData data = demoDocument();
        while (data.nonCrossingList->size() > kept) {
            data.nonCrossingList->TakeAt(data.nonCrossingList->size() - 1);
        }
        const ReportContent content = BuildReportContent(data, AnalyseDocument(data));
        EXPECT_EQ(content.intercept, "--.--");
        EXPECT_EQ(content.cracks[0].crackDepth, "--.--");
        EXPECT_EQ(content.cracks[0].rows[0].depth, "--.--");
        EXPECT_EQ(content.cracks[0].rows.back().nonCrossingTime, "--.--");
        for (const ReportStyle style :
             {ReportStyle::Standard, ReportStyle::Simple, ReportStyle::WaveTrain}) {
            const QImage page = bitmapPage(content, {}, style, 1);
            EXPECT_GT(
                draw::testing::countIn(page, page.rect(), [](QRgb p) { return qGray(p) < 128; }),
                1000);
        }
    }
    // No crossing line: no page in the standard and simple styles, the non-crossing line's
    // block in the wave-train style.
    const DocumentData lone = testing::withoutCrossingLines(demoDocument());
    const ReportContent none = BuildReportContent(lone, AnalyseDocument(lone));
    EXPECT_EQ(ReportRenderer(none, {}, ReportStyle::Standard).pageCount(), 0);
    EXPECT_EQ(ReportRenderer(none, {}, ReportStyle::Simple).pageCount(), 0);
    EXPECT_EQ(ReportRenderer(none, {}, ReportStyle::WaveTrain).pageCount(), 1);
    // 65,535 points without checks: the first and the last of 2,342 pages.
    PrintSettings noChecks;
    noChecks.listChecks = 0;
    const ReportContent huge = syntheticContent(65535);
    const ReportRenderer renderer(huge, noChecks, ReportStyle::Standard);
    ASSERT_EQ(renderer.pageCount(), 2342);
    ReportContent changed = huge;
    changed.cracks[0].rows[65534].number = "last";
    const PageGeometry page = BitmapPageGeometry();
    // 65,535 − 10 − 2,340 × 28 = 5 points on the last page, below its name and headings.
    expectDifferenceOnlyIn(bitmapPage(huge, noChecks, ReportStyle::Standard, 2342),
                           bitmapPage(changed, noChecks, ReportStyle::Standard, 2342),
                           cellRect(page, 0, 4, 6, 7));
}

// A document of the demo whose one crossing line has `points` points 50 mm apart.
ReportContent demoWithCrossingLine(DocumentData& data, std::size_t points) {
    data = testing::withManyCracks(demoDocument(), 1, points);
    return BuildReportContent(data, AnalyseDocument(data));
}

TEST(ReportRender, WaveTrainPagesDrawEveryPointOfEveryLine) {
    const PageGeometry page = BitmapPageGeometry();
    DocumentData probe = demoDocument();
    const std::size_t nonCrossing = probe.nonCrossingList->size();
    ASSERT_GT(nonCrossing, 4u);
    // Crossing lines shorter, as long as and longer than the non-crossing line, the longer
    // one running onto a second page.
    for (const std::size_t crossing : {nonCrossing - 3, nonCrossing, nonCrossing + 30}) {
        SCOPED_TRACE(::testing::Message() << "crossing line of " << crossing << " points");
        DocumentData data;
        const ReportContent content = demoWithCrossingLine(data, crossing);
        ASSERT_EQ(content.lines.size(), 2u);
        ASSERT_EQ(content.lines[1].train.traces.size(), crossing);
        const ReportRenderer renderer(content, {}, ReportStyle::WaveTrain);
        const ReportLayout& layout = renderer.layout();
        for (std::size_t b = 0; b < layout.blocks.size(); ++b) {
            if (layout.blocks[b].checks) {
                continue;
            }
            const std::size_t j = layout.blocks[b].line;
            // The same pages with this line's waveforms flat: every point's row must change.
            ReportContent flat = content;
            std::vector<std::vector<Sample>> flatSamples;
            for (draw::WaveTrace& trace : flat.lines[j].train.traces) {
                flatSamples.emplace_back(trace.samples.size(), Sample{2048});
            }
            for (std::size_t k = 0; k < flatSamples.size(); ++k) {
                flat.lines[j].train.traces[k].samples = flatSamples[k];
            }
            std::set<std::int64_t> drawn;
            for (const BlockPart& part : layout.parts[b]) {
                const QImage original = bitmapPage(content, {}, ReportStyle::WaveTrain, part.page);
                const QImage flattened = bitmapPage(flat, {}, ReportStyle::WaveTrain, part.page);
                for (std::size_t r = 0; r < part.rows.size(); ++r) {
                    if (part.rows[r].kind != RowKind::Point) {
                        continue;
                    }
                    const double row = part.firstRow + static_cast<double>(r);
                    const QRect band = cellRect(page, 0, 18, row, row + 1);
                    int differing = 0;
                    for (int y = band.top(); y <= band.bottom(); ++y) {
                        for (int x = band.left(); x <= band.right(); ++x) {
                            differing += original.pixel(x, y) != flattened.pixel(x, y) ? 1 : 0;
                        }
                    }
                    EXPECT_GT(differing, 20) << "line " << j << " point " << part.rows[r].index
                                             << " is not drawn on page " << part.page;
                    drawn.insert(part.rows[r].index);
                }
            }
            EXPECT_EQ(drawn.size(), content.lines[j].train.traces.size()) << "line " << j;
        }
    }
}

TEST(ReportRender, ContinuationPagesNameTheirCrackAndRepeatTheHeadings) {
    const PageGeometry page = BitmapPageGeometry();
    const ReportContent base = syntheticContent(60);
    ReportContent renamed = base;
    renamed.cracks[0].crossingName = "C9";
    ReportContent deeper = base;
    deeper.cracks[0].crackDepth = "99.99";
    for (const std::int32_t continued : {2, 3}) {
        SCOPED_TRACE(continued);
        const QImage control = bitmapPage(base, {}, ReportStyle::Standard, continued);
        // Row 0: "跨缝测线", the crack's name, "裂缝深度(mm)", its depth.
        expectDifferenceOnlyIn(control, bitmapPage(renamed, {}, ReportStyle::Standard, continued),
                               cellRect(page, 4, 8, 0, 1));
        expectDifferenceOnlyIn(control, bitmapPage(deeper, {}, ReportStyle::Standard, continued),
                               cellRect(page, 12, 18, 0, 1));
        // Row 1: the column headings, each in its cell.
        for (const double column : {0.0, 4.0, 8.0, 12.0, 16.0}) {
            const double right = column == 16.0 ? 18.0 : column + 4;
            EXPECT_GT(draw::testing::countIn(control, cellRect(page, column, right, 1, 2),
                                             [](QRgb p) { return qGray(p) < 128; }),
                      20)
                << "no heading in column " << column;
        }
    }
}

TEST(ReportRender, LongProjectTextsWrapInsideTheirCellsAndAreNeverCut) {
    const PageGeometry page = BitmapPageGeometry();
    const QString client = QString::fromUtf8("某某市第一建筑工程有限公司第三分公司项目部");
    QFont font;
    font.setPixelSize(static_cast<int>(page.rowHeight() * 0.65));
    const QRect cell(QPoint(page.x(4), page.y(3)), QPoint(page.x(9), page.y(4)));
    const CellText layout = cellTextLayout(font, cell, client);
    ASSERT_EQ(layout.lines.size(), 2) << "a long text takes two lines";
    EXPECT_EQ(layout.lines.join(QString()), client) << "nothing is cut off";
    const QFontMetricsF metrics(layout.font);
    for (const QString& line : layout.lines) {
        EXPECT_LE(metrics.horizontalAdvance(line), layout.inner.width() + 0.5)
            << line.toStdString();
    }
    EXPECT_LE(2 * metrics.height(), layout.inner.height() + 0.5);
    EXPECT_GE(layout.inner.left() - cell.left(), 2) << "an inner margin";
    EXPECT_GE(cell.right() - layout.inner.right(), 2);
    // Two lines give a larger text than one line shrunk to the width.
    const double oneLine =
        font.pixelSize() * layout.inner.width() / QFontMetricsF(font).horizontalAdvance(client);
    EXPECT_GT(layout.font.pixelSize(), oneLine);
    // A short text stays on one line at its size.
    const CellText label = cellTextLayout(font, cell, QString::fromUtf8("委托单位"));
    EXPECT_EQ(label.lines.size(), 1);
    EXPECT_EQ(label.font.pixelSize(), font.pixelSize());

    // On the page: "委托单位" and "构件名称" texts stay inside their cells, off the rules.
    const ReportContent base = syntheticContent(3);
    for (const std::size_t text : {std::size_t{3}, std::size_t{15}}) {
        ReportContent changed = base;
        changed.project[text] = client.toStdString();
        const double row = text == 3 ? 3 : 5;
        expectDifferenceOnlyIn(bitmapPage(base, {}, ReportStyle::Standard, 1),
                               bitmapPage(changed, {}, ReportStyle::Standard, 1),
                               cellRect(page, 4, 9, row, row + 1).adjusted(2, -1, -2, 1));
    }
}

TEST(ReportRender, EveryStyleEndsACrackWithItsChecks) {
    const PageGeometry page = BitmapPageGeometry();
    ReportContent base = syntheticContent(5);
    base.nonCrossingPoints = 5;
    ReportContent found = base;
    found.cracks[0].checks = {"跨缝1：参与平均的裂深估计少于两个，裂深不可靠"};
    PrintSettings off;
    off.listChecks = 0;
    // Standard: below the last point (rows 20 … 24), the title in row 25, the finding in 26.
    expectDifferenceOnlyIn(bitmapPage(base, {}, ReportStyle::Standard, 1),
                           bitmapPage(found, {}, ReportStyle::Standard, 1),
                           cellRect(page, 0, 18, 26, 27));
    expectDifferenceOnlyIn(bitmapPage(base, off, ReportStyle::Standard, 1),
                           bitmapPage(base, {}, ReportStyle::Standard, 1),
                           cellRect(page, 0, 18, 25, 27));
    // Simple: heading rows 0 … 4, points 5 … 9, the title in row 10, the finding in 11.
    expectDifferenceOnlyIn(bitmapPage(base, {}, ReportStyle::Simple, 1),
                           bitmapPage(found, {}, ReportStyle::Simple, 1),
                           cellRect(page, 0, 18, 11, 12));
    EXPECT_EQ(ReportRenderer(base, {}, ReportStyle::Simple).layout().endRow[0], 12);
    EXPECT_EQ(ReportRenderer(base, off, ReportStyle::Simple).layout().endRow[0], 10);
    // Wave train: a block of its own after the crossing line's.
    base.lines.resize(2);
    const ReportLayout train = ReportRenderer(base, {}, ReportStyle::WaveTrain).layout();
    ASSERT_EQ(train.blocks.size(), 3u);
    EXPECT_TRUE(train.blocks[2].checks);
    EXPECT_EQ(train.blocks[2].line, 1u);
    EXPECT_EQ(ReportRenderer(base, off, ReportStyle::WaveTrain).layout().blocks.size(), 2u);
}

TEST(ReportRender, ACracksChecksAreItsOwnAndTheNonCrossingLines) {
    DocumentData data = demoDocument();
    const DocumentAnalysis analysis = AnalyseDocument(data);
    const std::vector<MeasurementCheck> checks = CheckMeasurement(data, analysis);
    const ReportContent content = BuildReportContent(data, analysis);
    for (std::size_t i = 0; i < content.cracks.size(); ++i) {
        std::vector<std::string> expected;
        for (const MeasurementCheck& check : checks) {
            if (check.line == 0 || check.line == static_cast<std::int32_t>(i + 1)) {
                expected.push_back(check.message);
            }
        }
        EXPECT_EQ(content.cracks[i].checks, expected) << "crack " << i + 1;
        EXPECT_EQ(checkRowsOf(content.cracks[i]),
                  expected.empty() ? std::vector<std::string>{"无"} : expected);
    }
}

TEST(ReportRender, RowsPairPointsOnlyWhereTheirDistancesAgree) {
    // The demo's crossing line at 50, 100, … mm beside a non-crossing line at other distances.
    DocumentData data;
    ReportContent content = demoWithCrossingLine(data, 4);
    const PointList& nonCrossing = *data.nonCrossingList;
    ASSERT_NE(static_cast<int>(nonCrossing[0].distance), 50);
    const CrackReport& crack = content.cracks[0];
    EXPECT_FALSE(crack.sharedDistances);
    EXPECT_EQ(crack.crossingName, content.lines[1].name);
    ASSERT_EQ(crack.rows.size(), std::max<std::size_t>(4, nonCrossing.size()));
    for (std::size_t k = 0; k < crack.rows.size(); ++k) {
        const ReportRow& row = crack.rows[k];
        EXPECT_EQ(row.crossingDistance, k < 4 ? std::to_string(50 * (k + 1)) : "--.--");
        EXPECT_EQ(row.nonCrossingDistance,
                  k < nonCrossing.size() ? std::to_string(static_cast<int>(nonCrossing[k].distance))
                                         : "--.--");
        // Each line's distance stands beside its own transit time.
        const std::vector<std::string> standard = standardCells(crack, row);
        EXPECT_EQ(standard[1], row.crossingDistance);
        EXPECT_EQ(standard[2], row.crossingTime);
        EXPECT_EQ(standard[3], row.nonCrossingDistance);
        EXPECT_EQ(standard[4], row.nonCrossingTime);
        const std::vector<std::string> simple = simpleCells(crack, row);
        EXPECT_EQ(simple[1], row.nonCrossingDistance);
        EXPECT_EQ(simple[2], row.nonCrossingTime);
        EXPECT_EQ(simple[3], row.crossingDistance);
        EXPECT_EQ(simple[4], row.crossingTime);
    }
    for (const PointTable& table : {standardTable(crack), simpleTable(crack)}) {
        EXPECT_EQ(std::accumulate(table.widths.begin(), table.widths.end(), 0), 18);
        EXPECT_EQ(table.widths.size(), table.heads.size());
    }
    // Where both lines have their points at the same distances: the described five columns.
    DocumentData agreeing = testing::withManyCracks(demoDocument(), 1, 9);
    for (std::size_t k = 0; k < agreeing.nonCrossingList->size(); ++k) {
        (*agreeing.crossingLists[0])[k].distance = (*agreeing.nonCrossingList)[k].distance;
    }
    const ReportContent same = BuildReportContent(agreeing, AnalyseDocument(agreeing));
    EXPECT_TRUE(same.cracks[0].sharedDistances);
    EXPECT_EQ(standardTable(same.cracks[0]).heads,
              (std::vector<std::string>{"测点", "测距(mm)", "跨缝T(us)", "不跨缝T(us)", "反相点"}));
    EXPECT_EQ(simpleTable(same.cracks[0]).widths, (std::vector<std::int32_t>{2, 3, 4, 2, 3, 4}));
}

} // namespace
} // namespace crackdepth::report
