// The suggested first arrivals in the window, on the demo measurement with picks disturbed as
// an operator's slip would: the dashed line and read-out in the waveform, the menu entries
// and the key that adopt it (undoable), the "测量检查" list whose rows show their points, and
// the tool tip of the crack depth.
#include "app/frame/info_panel.h"
#include "app/views/line_tab_bar.h"
#include "app/views/line_view.h"
#include "app/views/waveform_view.h"
#include "core/analysis/transit_time.h"
#include "core/document/checks/check_list.h"
#include "core/document/commands/picking.h"
#include "core/document/commands/point_editing.h"
#include "core/document/commands/suggested_picks.h"
#include "core/document/commands/waveform_commands.h"
#include "core/document/panel_state/panel_refresh.h"
#include "core/document/panel_state/suggestion_menu.h"
#include "draw/display_style.h"
#include "draw/waveform_display.h"
#include "window_fixture.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTableWidget>
#include <QTest>
#include <array>
#include <set>

namespace crackdepth::app {
namespace {

const std::filesystem::path kExamples = CRACKDEPTH_EXAMPLES_DIR;
constexpr std::int32_t kOff = 25; // samples a disturbed pick lies after its suggestion

QAction* entry(QMenu& menu, const char* text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == QString::fromUtf8(text)) {
            return action;
        }
    }
    ADD_FAILURE() << "no entry " << text;
    return nullptr;
}

class SuggestedPicks : public testing::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        for (const char* file :
             {"DEMO.DP0", "DEMO_C1.DP1", "DEMO_C2.DP1", "DEMO_C3.DP1", "DEMO.DPA"}) {
            crackdepth::testing::writeBytes(dir.path() / file,
                                            crackdepth::testing::readBytes(kExamples / file));
        }
        ASSERT_TRUE(window.openFile(path("DEMO.DPA")));
        settle();
    }
    void settle() {
        for (int turn = 0; turn < 3; ++turn) {
            QApplication::processEvents();
        }
    }
    const MeasuringPoint& current() const { return *currentPoint(document.data()); }
    std::int32_t suggested() const { return suggestionFor(current()).value().index; }

    // Shows point `index` of tab `tab` with its pick moved kOff samples past its suggestion,
    // by the operator's click on the trace.
    void disturb(std::int32_t tab, std::int32_t index) {
        document.SelectTab(tab);
        document.SelectPoint(*document.data().shownId(), index);
        const DocumentData& data = document.data();
        const std::int32_t shift =
            transitTime(current(), data.lineCorrection(), data.correctionAll).shift;
        PickArrival(document, suggested() + kOff + shift);
        settle();
        ASSERT_EQ(current().arrivalIndex, suggested() + kOff);
    }

    // The columns of the waveform view that hold the suggestion's green, and the column the
    // suggestion belongs in.
    std::set<int> greenColumns() {
        const QImage image = window.waveformView()->grab().toImage();
        std::set<int> columns;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (QColor(image.pixel(x, y)) == draw::kSuggestionColor) {
                    columns.insert(x);
                }
            }
        }
        return columns;
    }
    int suggestionColumn() const {
        const DocumentData& data = document.data();
        draw::TraceInput input;
        input.samples = current().samples;
        input.sampleCount = data.shownParameters().sampleCount;
        input.dt = current().record.samplingInterval();
        input.shift = transitTime(current(), data.lineCorrection(), data.correctionAll).shift;
        const auto geometry = draw::traceGeometry(window.waveformView()->displayRect(), input);
        return static_cast<int>(draw::traceMarkerX(geometry, input, suggested()).value());
    }
};

TEST_F(SuggestedPicks, TheWaveformDrawsADisturbedPicksSuggestionAndItsMenuAdoptsIt) {
    disturb(1, 2);
    EXPECT_EQ(greenColumns(), std::set<int>{suggestionColumn()});
    const std::int32_t suggestion = suggested();

    const auto menu = window.waveformView()->contextMenu();
    QAction* adopt = entry(*menu, "采用建议初至");
    ASSERT_NE(adopt, nullptr);
    EXPECT_TRUE(adopt->isEnabled());
    EXPECT_TRUE(entry(*menu, "本测线全部采用建议初至")->isEnabled());
    adopt->trigger();
    settle();
    EXPECT_EQ(current().arrivalIndex, suggestion);
    EXPECT_EQ(current().amplitudeIndex, suggestion) << "the amplitude is read at the new pick";
    EXPECT_EQ(window.action(Command::Undo)->text(), "撤销 采用建议初至(&U)");
    EXPECT_TRUE(greenColumns().empty()) << "a suggestion the pick agrees with is not drawn";
    EXPECT_FALSE(window.waveformView()->contextMenu()->actions().front()->isEnabled());

    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
    settle();
    EXPECT_EQ(current().arrivalIndex, suggestion + kOff) << "Ctrl+Z gives the old pick back";
    EXPECT_EQ(greenColumns(), std::set<int>{suggestionColumn()});
}

TEST_F(SuggestedPicks, TheTableMenuAdoptsTheWholeLineAsOneEdit) {
    disturb(2, 1);
    disturb(2, 4);
    document.SelectPoint(*document.data().shownId(), 1);
    settle();
    const PointList& line = *document.data().shownList();
    std::array<QAction*, 7> actions{};
    const auto menu = window.lineView()->pointMenu(actions);
    EXPECT_TRUE(entry(*menu, "采用建议初至")->isEnabled());
    QAction* all = entry(*menu, "本测线全部采用建议初至");
    ASSERT_TRUE(all->isEnabled());
    all->trigger();
    settle();
    for (const std::size_t i : {1u, 4u}) {
        EXPECT_EQ(line[i].arrivalIndex, suggestionFor(line[i])->index) << i;
    }
    EXPECT_EQ(document.undoable()->name(), "本测线全部采用建议初至");
    document.Undo();
    EXPECT_EQ(line[1].arrivalIndex, suggestionFor(line[1])->index + kOff);
    EXPECT_EQ(line[4].arrivalIndex, suggestionFor(line[4])->index + kOff);
}

TEST_F(SuggestedPicks, TheKeyAAdoptsWhileTheWaveformOrTheTableHasTheFocus) {
    struct Case {
        const char* name;
        QWidget* focus;
        bool adopts;
    };
    const Case cases[] = {
        {"waveform", window.waveformView(), true},
        {"table", window.lineView()->table(), true},
        {"information panel", window.infoPanel()->fileList(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        disturb(1, 3);
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        c.focus->setFocus();
        settle();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
        settle();
        EXPECT_EQ(current().arrivalIndex == suggested(), c.adopts);
    }
}

TEST_F(SuggestedPicks, TheChecksListShowsAFindingAndAClickShowsItsPoint) {
    QListWidget& list = *window.infoPanel()->checkList();
    disturb(2, 3);
    document.SelectTab(0);
    document.SelectPoint(kNonCrossingLine, 0);
    settle();

    const CheckList expected = checkListOf(document.data(), AnalyseDocument(document.data()));
    ASSERT_EQ(list.count(), static_cast<int>(expected.rows().size()));
    int row = -1;
    for (int i = 0; i < list.count(); ++i) {
        EXPECT_EQ(list.item(i)->text().toStdString(), expected.rows()[static_cast<std::size_t>(i)]);
        if (list.item(i)->text().startsWith(QStringLiteral("跨缝2 测点4：初至与建议初至相差"))) {
            row = i;
        }
    }
    ASSERT_GE(row, 0) << "the disturbed pick is a finding";

    list.scrollToItem(list.item(row));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(row)).center());
    settle();
    EXPECT_EQ(window.lineTabBar()->currentIndex(), 2);
    const auto selected = window.lineView()->table()->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.front().row(), 3);
    EXPECT_EQ(document.data().shownList()->currentIndex, 3);
    EXPECT_EQ(list.currentRow(), row) << "the clicked finding stays marked";

    // Adopting the suggestion settles the finding.
    ASSERT_TRUE(RunSuggestionCommand(document, SuggestionCommand::Adopt));
    settle();
    for (int i = 0; i < list.count(); ++i) {
        EXPECT_FALSE(list.item(i)->text().startsWith(QStringLiteral("跨缝2 测点4：初至")));
    }
}

TEST_F(SuggestedPicks, TheChecksListSaysNoneWithoutFindings) {
    QtPrompts otherPrompts;
    ScriptedPrompts otherScripted;
    Document empty{otherScripted, {}};
    MainWindow other(empty, otherPrompts);
    other.show();
    settle();
    QListWidget& list = *other.infoPanel()->checkList();
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.item(0)->text(), QStringLiteral("无"));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(0)).center());
    settle();
    EXPECT_EQ(empty.revision(), 0u) << "the row names nothing to show";
}

TEST_F(SuggestedPicks, TheCrackDepthTipGivesTheSpreadAndTheRule) {
    QLineEdit& field = *window.infoPanel()->crackDepthField();
    EXPECT_TRUE(field.toolTip().isEmpty()) << "no crack depth on the non-crossing tab";
    window.lineTabBar()->setCurrentIndex(1);
    settle();
    const DocumentAnalysis analysis = AnalyseDocument(document.data());
    ASSERT_TRUE(analysis.selected);
    const CrackDepthSpread spread = spreadOf(*analysis.selected);
    ASSERT_GE(spread.kept, 2u);
    const QString tip = field.toolTip();
    EXPECT_EQ(tip.toStdString(), crackDepthTipOf(*analysis.selected));
    EXPECT_TRUE(tip.startsWith(QString::number(spread.kept) + QStringLiteral("个估计值，标准差")))
        << tip.toStdString();
    EXPECT_TRUE(tip.endsWith(QStringLiteral("裂深取保留测点的估计值的平均")));

    document.SelectPoint(*document.data().shownId(), 3);
    ASSERT_TRUE(SetReversalPoint(document));
    settle();
    EXPECT_TRUE(field.toolTip().contains(QStringLiteral("L + |A|"))) << "the reversal rule";
}

} // namespace
} // namespace crackdepth::app
