// The line table as the operator reads it: a selected row keeps its orange or red text on a
// light highlight, and a cell too narrow for its text shows the whole text when hovered.
#include "../draw/image_support.h"
#include "app/views/line_tab_bar.h"
#include "app/views/line_view.h"
#include "core/document/commands/picking.h"
#include "core/document/commands/point_editing.h"
#include "core/document/model/line_table.h"
#include "window_fixture.h"

#include <QHelpEvent>
#include <QTableWidget>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

namespace crackdepth::app {
namespace {

class LineTableTest : public testing::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        ASSERT_TRUE(window.openFile(path("SITE.DPA")));
        window.lineTabBar()->setCurrentIndex(1);
        QApplication::processEvents();
    }
    QTableWidget& table() { return *window.lineView()->table(); }
    // The rectangle of table row `row` (0 is the first point) in the viewport.
    QRect rowRect(int row) {
        return table()
            .visualRect(table().model()->index(row, 0))
            .united(table().visualRect(table().model()->index(row, table().columnCount() - 1)));
    }
};

bool near(QRgb pixel, QColor colour) {
    return std::abs(qRed(pixel) - colour.red()) < 40 &&
           std::abs(qGreen(pixel) - colour.green()) < 40 &&
           std::abs(qBlue(pixel) - colour.blue()) < 40;
}

// The most frequent colour of a region: the background the text stands on.
QRgb dominant(const QImage& image, const QRect& region) {
    std::map<QRgb, int> counts;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    return std::max_element(counts.begin(), counts.end(),
                            [](auto& a, auto& b) { return a.second < b.second; })
        ->first;
}

TEST_F(LineTableTest, ASelectedRowKeepsItsTextColoursOnALightHighlight) {
    const struct {
        const char* row;
        bool reversal;
        QColor text;
    } cases[] = {
        {"crossing data", false, QColor(255, 128, 0)},
        {"reversal point", true, QColor(255, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        ClickTableRow(document, 3);
        if (c.reversal) {
            ASSERT_TRUE(SetReversalPoint(document));
        }
        QApplication::processEvents();
        ASSERT_TRUE(table().item(2, 1)->isSelected());
        ASSERT_EQ(table().item(2, 1)->foreground().color(), c.text);
        const QImage image = table().viewport()->grab().toImage();
        const QRect selected = rowRect(2).adjusted(1, 1, -1, -1);
        const int coloured =
            draw::testing::countIn(image, selected, [&](QRgb p) { return near(p, c.text); });
        EXPECT_GT(coloured, 20) << "text pixels in the row's own colour";
        EXPECT_GT(qGray(dominant(image, selected)), 200) << "a light highlight";
        EXPECT_NE(dominant(image, selected), dominant(image, rowRect(4))) << "still visible";
    }
}

// Hovering a cell: the whole text in a tip when the cell shows it shortened, no tip when
// it fits.
TEST_F(LineTableTest, TruncatedCellsShowTheirWholeTextOnHover) {
    QFont large = table().font();
    large.setPixelSize(40);
    table().setFont(large);
    QApplication::processEvents();
    const struct {
        int column;
        bool tip;
    } cases[] = {{0, false}, {3, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        QToolTip::hideText();
        QApplication::processEvents();
        const QTableWidgetItem* item = table().item(1, c.column);
        const QPoint centre = table().visualItemRect(item).center();
        QHelpEvent hover(QEvent::ToolTip, centre, table().viewport()->mapToGlobal(centre));
        QApplication::sendEvent(table().viewport(), &hover);
        // A tip being hidden stays visible for a moment; what counts is what it says.
        EXPECT_EQ(QToolTip::isVisible() && QToolTip::text() == item->text(), c.tip)
            << item->text().toStdString();
    }
    QToolTip::hideText();
}

} // namespace
} // namespace crackdepth::app
