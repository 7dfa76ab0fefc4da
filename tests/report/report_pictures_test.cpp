// The pictures of the report pages as a client reads them: the distance–time plot fills its
// cell for lines of any length with legible, unsquashed labels and the top row's distance, and
// the wave-train traces print as visible lines while the bitmap page keeps one pixel.
#include "../draw/recording_device.h"
#include "core/data/print_settings.h"
#include "draw/fonts.h"
#include "report/page_geometry.h"
#include "report/report_content.h"
#include "report/report_renderer.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace crackdepth::report {
namespace {

using draw::testing::Recording;
using draw::testing::RecordingDevice;

// One crack beside a non-crossing line of `points` points every 50 mm from 50 mm.
ReportContent contentWithPlot(int points) {
    ReportContent content;
    content.intercept = "-10.00";
    content.velocity = "4.19";
    CrackReport& crack = content.cracks.emplace_back();
    crack.crossingName = "C1";
    crack.nonCrossingName = "NC";
    crack.crackDepth = "100.00";
    draw::PlotInput plot;
    plot.axis = {50, 50, 50.0f * static_cast<float>(points)};
    for (int i = 0; i < points; ++i) {
        const float distance = 50.0f * static_cast<float>(i + 1);
        plot.points.push_back({(distance + 10.0f) / 4.19f, distance});
        const std::string at = std::to_string(50 * (i + 1));
        crack.rows.push_back(
            {std::to_string(i + 1), at, at, at, "1", "1", "否", "自动保留", "1.00"});
    }
    plot.fit = LineFit{-10, 4.19f};
    plot.fitRowHeight = true;
    content.plot = plot;
    return content;
}

// Where the renderer places the plot on the first page of a crack with the table head.
QRect plotTarget(const PageGeometry& page) {
    const double colW = page.columnWidth();
    const double rowH = page.rowHeight();
    const auto x1 = static_cast<int>(page.body.left + 8 * colW + 3);
    const auto x2 = static_cast<int>(x1 + 10 * colW - 3);
    const auto y1 = static_cast<int>(page.body.top + 9 * rowH + 3);
    const auto y2 = static_cast<int>(y1 + 10 * rowH - 3);
    return {x1 + 20, y1 + 20, x2 - x1 - 40, y2 - y1 - 40};
}

TEST(ReportPictures, ThePlotFillsItsCellAtAnyLength) {
    const PageGeometry page = BitmapPageGeometry();
    const QRect target = plotTarget(page);
    for (const int points : {3, 7, 120, 1000}) {
        SCOPED_TRACE(points);
        QImage image(kBitmapPageWidth, kBitmapPageHeight, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        ReportRenderer(contentWithPlot(points), PrintSettings{}, ReportStyle::Standard)
            .drawPage(painter, page, 1, PictureMode::Bitmap);
        painter.end();
        // The lowest ink of the picture: the time labels, just above its foot.
        int lowest = -1;
        for (int y = target.top(); y <= target.bottom(); ++y) {
            for (int x = target.left(); x <= target.right(); ++x) {
                if (qGray(image.pixel(x, y)) < 128) {
                    lowest = y;
                    break;
                }
            }
        }
        EXPECT_GE(lowest, target.bottom() - 25) << "the plot stops short of its cell's foot";
    }
}

TEST(ReportPictures, PlotLabelsStayLegibleAndInProportion) {
    const PageGeometry page = BitmapPageGeometry();
    const QRect target = plotTarget(page);
    const QFont font = draw::fontOf(draw::kTimes, 13);
    const QRectF natural = QFontMetricsF(font).tightBoundingRect(QStringLiteral("L(mm)"));
    for (const int points : {7, 120, 1000}) {
        SCOPED_TRACE(points);
        RecordingDevice device({kBitmapPageWidth, kBitmapPageHeight});
        QPainter painter(&device);
        ReportRenderer(contentWithPlot(points), PrintSettings{}, ReportStyle::Standard)
            .drawPage(painter, page, 1, PictureMode::Vector);
        painter.end();
        bool topRow = false;
        bool title = false;
        for (const auto& text : device.recording.texts) {
            if (!QRectF(target).adjusted(-2, -2, 2, 2).contains(text.ink.center())) {
                continue;
            }
            EXPECT_GE(text.ink.height(), 8) << text.text.toStdString() << " is too small to read";
            topRow = topRow || text.text == QString::number(50 * points);
            if (text.text == QStringLiteral("L(mm)")) {
                title = true;
                // Scaled alike in both directions: the title keeps its proportions.
                const double ratio =
                    (text.ink.width() / text.ink.height()) / (natural.width() / natural.height());
                EXPECT_NEAR(ratio, 1.0, 0.08) << "the labels are squashed";
            }
        }
        EXPECT_TRUE(topRow) << "the top row's distance is missing";
        EXPECT_TRUE(title);
    }
}

TEST(ReportPictures, PrintedTracesAreVisibleLinesAndBitmapTracesOnePixel) {
    ReportContent content = contentWithPlot(7);
    draw::WaveTrainInput train;
    static const std::vector<Sample> samples = [] {
        std::vector<Sample> s(256, kZeroLine);
        for (std::size_t i = 60; i < s.size(); ++i) {
            s[i] = static_cast<Sample>(kZeroLine + ((i / 4) % 2 == 0 ? 400 : -400));
        }
        return s;
    }();
    for (int i = 0; i < 7; ++i) {
        train.traces.push_back({samples, 50.0f * static_cast<float>(i + 1), 70, 0});
    }
    train.sampleCount = 256;
    content.nonCrossingPoints = 7;
    content.lines.push_back({"NC", "NC.DP0", train});
    train.crossingLine = true;
    content.lines.push_back({"C1", "C1.DP1", train});
    for (const PictureMode mode : {PictureMode::Vector, PictureMode::Bitmap}) {
        PageGeometry page = BitmapPageGeometry();
        if (mode == PictureMode::Vector) {
            page.dpiY = 600; // a printer's page: 0.2 mm is 4.7 device units
        }
        RecordingDevice device({kBitmapPageWidth, kBitmapPageHeight});
        QPainter painter(&device);
        ReportRenderer(content, PrintSettings{}, ReportStyle::WaveTrain)
            .drawPage(painter, page, 1, mode);
        painter.end();
        if (mode == PictureMode::Bitmap) {
            EXPECT_EQ(device.recording.polylineWidths.size(), 0u) << "drawn into an image";
            continue;
        }
        ASSERT_GE(device.recording.polylineWidths.size(), 7u);
        for (const double width : device.recording.polylineWidths) {
            EXPECT_GE(width, 0.15 * 600 / 25.4) << "a trace prints thinner than 0.15 mm";
            EXPECT_LE(width, 0.3 * 600 / 25.4);
        }
    }
}

} // namespace
} // namespace crackdepth::report
