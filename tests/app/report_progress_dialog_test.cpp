// The progress of a long report: shown once the writing lasts, and "取消" stops it.
#include "app/frame/report_progress_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace crackdepth::app {
namespace {

TEST(ReportProgressDialog, ShowsOnlyAfterItsDelayAndCancelStopsTheReport) {
    QWidget window;
    window.show();
    {
        ReportProgressDialog quick(&window, 60'000);
        const report::ReportProgress progress = quick.progress();
        EXPECT_TRUE(progress(1, 3));
        EXPECT_TRUE(progress(2, 3));
        EXPECT_FALSE(quick.dialog().isVisible()) << "a short report shows no dialog";
    }

    ReportProgressDialog slow(&window, 0);
    const report::ReportProgress progress = slow.progress();
    QTest::qWait(20);
    EXPECT_TRUE(progress(1, 40));
    EXPECT_TRUE(slow.dialog().isVisible());
    EXPECT_EQ(slow.dialog().maximum(), 40);
    EXPECT_EQ(slow.dialog().value(), 1);
    EXPECT_EQ(slow.dialog().labelText(), QStringLiteral("正在生成报告…"));
    QAbstractButton* cancel = slow.dialog().findChild<QAbstractButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("取消"));
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_FALSE(progress(2, 40)) << "取消 stops the writing at its next step";
}

} // namespace
} // namespace crackdepth::app
