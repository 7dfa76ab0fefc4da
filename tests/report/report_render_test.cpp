// The report pages as they come out: what a page shows where, checked by rendering it twice
// with one thing changed and finding every differing pixel inside the place that thing
// belongs; and the report's numbers against the analysis the screen shows.
#include "../draw/image_support.h"
#include "core/data/measurement_file.h"
#include "core/document/document_analysis.h"
#include "core/document/line_loading.h"
#include "report/page_sink.h"
#include "report/report_content.h"
#include "report/report_renderer.h"
#include "report_documents.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

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
    crack.longerName = "C1";
    crack.crackDepth = "123.45";
    for (std::size_t k = 0; k < points; ++k) {
        const std::string n = std::to_string(k + 1);
        crack.rows.push_back({n, n + "0", n, n, "否", "自动保留", n + ".00"});
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
    // The eleventh point opens page 2, in its row 0.
    ReportContent changed = base;
    changed.cracks[0].rows[10].distance = "999";
    expectDifferenceOnlyIn(bitmapPage(base, settings, ReportStyle::Standard, 2),
                           bitmapPage(changed, settings, ReportStyle::Standard, 2),
                           cellRect(page, 4, 8, 0, 1));
}

TEST(ReportRender, PicturesFillTheirCells) {
    DocumentData data = demoDocument();
    const ReportContent content = BuildReportContent(data, AnalyseDocument(data));
    ReportContent withoutPictures = content;
    withoutPictures.plot.reset();
    withoutPictures.lines[0].train.traces.clear();
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
    // Cracks of 10 and 8 points beside a non-crossing line of 10: the second block's
    // "裂缝名称" row is page row 17.
    ReportContent content = syntheticContent(10);
    content.cracks.push_back(syntheticContent(10).cracks[0]);
    content.nonCrossingPoints = 10;
    ReportContent changed = content;
    changed.cracks[1].longerName = "C2";
    const PageGeometry page = BitmapPageGeometry();
    expectDifferenceOnlyIn(bitmapPage(content, {}, ReportStyle::Simple, 1),
                           bitmapPage(changed, {}, ReportStyle::Simple, 1),
                           cellRect(page, 9, 11, 17, 18));
    // Its last point runs on into row 0 of page 2.
    changed = content;
    changed.cracks[1].rows[9].depth = "--.--";
    expectDifferenceOnlyIn(bitmapPage(content, {}, ReportStyle::Simple, 2),
                           bitmapPage(changed, {}, ReportStyle::Simple, 2),
                           cellRect(page, 14, 18, 0, 1));
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
    // 65,535 points: the first and the last of 2,186 pages.
    const ReportContent huge = syntheticContent(65535);
    const ReportRenderer renderer(huge, {}, ReportStyle::Standard);
    ASSERT_EQ(renderer.pageCount(), 2186);
    ReportContent changed = huge;
    changed.cracks[0].rows[65534].number = "last";
    const PageGeometry page = BitmapPageGeometry();
    // 65,535 − 10 − 2,184 × 30 = 5 rows on the last page.
    expectDifferenceOnlyIn(bitmapPage(huge, {}, ReportStyle::Standard, 2186),
                           bitmapPage(changed, {}, ReportStyle::Standard, 2186),
                           cellRect(page, 0, 4, 4, 5));
}

} // namespace
} // namespace crackdepth::report
