// The dialogs of the waveform commands, the merge, the test parameters and the About box,
// driven through their controls over documents opened from the independent fixtures. Every
// message goes to scripted prompts; no dialog is run modally except through a queued close.
#include "../cli/cli_test_support.h"
#include "../core/document_support.h"
#include "../core/test_support.h"
#include "app/dialogs/about_dialog.h"
#include "app/dialogs/filter_dialog.h"
#include "app/dialogs/merge_dialog.h"
#include "app/dialogs/test_parameters_dialog.h"
#include "app/dialogs/time_correction_dialog.h"
#include "core/common/byte_source.h"
#include "core/data/result_file.h"
#include "core/document/commands/waveform_commands.h"
#include "core/document/model/scripted_prompts.h"
#include "core/document/panel_state/panel_refresh.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>

// Readable failure messages for the many texts compared below.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
static void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '[' << texts.join(QStringLiteral(", ")).toStdString() << ']';
}

namespace crackdepth::app {
namespace {

const std::filesystem::path kFixtures = CRACKDEPTH_FIXTURES_DIR;
constexpr double kOpacity = 240 / 255.0;

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* file : {"SITE.DP0", "SITE_C1.DP1", "SITE_C2.DP1", "SITE.DPA"}) {
            testing::writeBytes(dir.path() / file, testing::readBytes(kFixtures / file));
        }
        doc.addListener(&log);
    }
    void TearDown() override { doc.removeListener(&log); }

    std::string at(const std::string& name) const { return (dir.path() / name).string(); }
    // Opens a fixture; `prepare` changes its data first, as if the file had held them.
    void open(const char* name, const std::function<void(DocumentData&)>& prepare = {}) {
        if (prepare) {
            DocumentData data = testing::readDocument(at(name));
            prepare(data);
            doc.Load(std::move(data), at(name));
        } else {
            ASSERT_TRUE(doc.OpenDocument(at(name))) << name;
        }
        prompts.shown.clear();
        log.changes.clear();
    }
    const MeasuringPoint& point() const { return *currentPoint(doc.data()); }
    bool repainted() const { return log.saw(DocumentChange::Data); }

    // Replaces the field's text as the operator would, one keystroke at a time; the log
    // then holds what the last keystroke alone did.
    void type(QLineEdit& edit, const QString& text) {
        edit.selectAll();
        QTest::keyClick(&edit, Qt::Key_Delete);
        QTest::keyClicks(&edit, text.chopped(1));
        log.changes.clear();
        QTest::keyClicks(&edit, text.right(1));
    }

    testing::TempDir dir;
    ScriptedPrompts prompts;
    Document doc{prompts, {}};
    testing::EventLog log;
};

// Runs `inspect` on the dialog of type T once a modal loop shows it, then closes it: the
// commands' run() functions can then be called without hanging the test. The flag tells
// whether it ran; it stays valid should the timer fire only after the test.
template <typename T> std::shared_ptr<bool> inspectWhenShown(std::function<void(T&)> inspect) {
    auto seen = std::make_shared<bool>(false);
    QTimer::singleShot(0, [inspect, seen] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<T*>(widget); dialog && dialog->isVisible()) {
                *seen = true;
                inspect(*dialog);
                dialog->reject();
                return;
            }
        }
    });
    return seen;
}

// ---------------------------------------------------------------------------------------
// "滤波"

class FilterDialogTest : public DialogsTest {
protected:
    FilterDialog& start() {
        auto state = FilterDialogState::start(doc);
        EXPECT_TRUE(state.has_value());
        dialog = std::make_unique<FilterDialog>(std::move(*state));
        return *dialog;
    }
    std::unique_ptr<FilterDialog> dialog;
};

TEST_F(FilterDialogTest, OpensFromTheDocumentSettingsAndSwitchesEnableTheirFields) {
    open("SITE.DP0");
    doc.rememberFilterSettings({.highCut = 1.5f, .lowCut = 120});
    const std::vector<Sample> original = point().originalSamples;
    FilterDialog& d = start();
    EXPECT_EQ(d.windowTitle(), "滤波");
    EXPECT_EQ(d.highPassBox()->text(), "高通(kHz)");
    EXPECT_EQ(d.lowPassBox()->text(), "低通(kHz)");
    EXPECT_EQ(d.highPassEdit()->text(), "1.50");
    EXPECT_EQ(d.lowPassEdit()->text(), "120");
    EXPECT_FALSE(d.highPassBox()->isChecked());
    EXPECT_FALSE(d.highPassEdit()->isEnabled());
    EXPECT_FALSE(d.lowPassEdit()->isEnabled());
    EXPECT_EQ(d.okButton()->text(), "确定");
    EXPECT_EQ(d.cancelButton()->text(), "取消");

    d.highPassBox()->click();
    EXPECT_TRUE(d.highPassEdit()->isEnabled());
    EXPECT_FALSE(d.lowPassEdit()->isEnabled());
    EXPECT_EQ(d.windowTitle(), "数字滤波");
    EXPECT_TRUE(d.highPassBox()->isChecked());
    EXPECT_NE(point().samples, original) << "switching on re-filters the current point";
    EXPECT_TRUE(repainted());

    d.highPassBox()->click();
    EXPECT_FALSE(d.highPassEdit()->isEnabled());
    EXPECT_EQ(point().samples, original) << "both switches off: the original waveform";
}

// Each row types a whole text into a field after switching that field's filter on (the
// other cut-off keeps its start: high 20, low 50). Typing shows no message and keeps the
// text as typed; the point shows the filtered trace only while the entries are accepted,
// otherwise the trace it had at opening. Before, a refused entry left the trace of the last
// accepted one (5 kHz behind "50"), and "12345" raised a message box and was cut to "1234".
TEST_F(FilterDialogTest, TypedCutOffsAreCheckedOnEveryKeystroke) {
    struct Case {
        bool highPass;
        const char* typed;
        const char* fieldAfter;
        const char* title;
        bool refiltered;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {true, "12345", "12345", "高通范围为0.01-20kHz", false, {}},
        {true, "0.01", "0.01", "数字滤波", true, {}},
        {true, "0.0099", "0.0099", "高通范围为0.01-20kHz", false, {}},
        {true, "50", "50", "高通范围为0.01-20kHz", false, {}},
        {true, "15", "15", "数字滤波", true, {}},
        {false, "20", "20", "数字滤波", true, {}}, // equal cut-offs are accepted
        {false, "19", "19", "高通值必须小于低通值", false, {}},
        {false, "99999", "99999", "低通范围为2-500kHz", false, {}},
        {true, "x1", "x1", "高通(kHz)：请输入一个数值", false, {}},
        {false, "1.5", "1.5", "低通范围为2-500kHz", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        open("SITE.DP0");
        doc.rememberFilterSettings({.highCut = 20, .lowCut = 50});
        FilterDialog& d = start();
        QCheckBox* box = c.highPass ? d.highPassBox() : d.lowPassBox();
        QLineEdit* edit = c.highPass ? d.highPassEdit() : d.lowPassEdit();
        if (!c.highPass) {
            d.highPassBox()->click(); // so that a low cut-off can meet the high one
        }
        box->click();
        prompts.shown.clear();
        type(*edit, QString::fromUtf8(c.typed));

        EXPECT_EQ(edit->text().toStdString(), c.fieldAfter);
        EXPECT_EQ(d.windowTitle().toStdString(), c.title);
        EXPECT_EQ(point().samples != point().originalSamples, c.refiltered);
        EXPECT_EQ(prompts.messages(), c.messages);
    }
}

TEST_F(FilterDialogTest, EqualCutOffsFilterWithBoth) {
    open("SITE.DP0");
    doc.rememberFilterSettings({.highCut = 20, .lowCut = 50});
    FilterDialog& d = start();
    d.highPassBox()->click();
    d.lowPassBox()->click();
    type(*d.lowPassEdit(), "20");
    d.okButton()->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FLOAT_EQ(point().record.highPassCut(), 20);
    EXPECT_FLOAT_EQ(point().record.lowPassCut(), 20);
    EXPECT_EQ(point().record.highPassOn(), 1.0f);
    EXPECT_EQ(point().record.lowPassOn(), 1.0f);
    EXPECT_NE(point().samples, point().originalSamples);
    EXPECT_FLOAT_EQ(doc.filterSettings().lowCut, 20);
}

// Every way out that is not OK cancels: the point gets back the waveform it had when the
// dialog opened, and the dialog leaves no edit behind.
TEST_F(FilterDialogTest, EveryWayOfCancellingRestoresTheWaveform) {
    const std::pair<const char*, std::function<void(FilterDialog&)>> ways[] = {
        {"取消", [](FilterDialog& d) { d.cancelButton()->click(); }},
        {"Escape", [](FilterDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"window closed", [](FilterDialog& d) { d.close(); }},
    };
    for (const auto& [way, cancel] : ways) {
        SCOPED_TRACE(way);
        open("SITE.DP0");
        // The point starts filtered, so the dialog opens from its own settings.
        RefilterCurrentPoint(doc, {.highCut = 5, .highOn = true});
        const Edit* filtered = doc.undoable();
        const std::vector<Sample> before = point().samples;

        FilterDialog& d = start();
        EXPECT_TRUE(d.highPassBox()->isChecked());
        EXPECT_EQ(d.highPassEdit()->text(), "5.00");
        d.open();
        type(*d.highPassEdit(), "8");
        d.lowPassBox()->click();
        ASSERT_NE(point().samples, before);

        cancel(d);
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_EQ(point().samples, before);
        EXPECT_FLOAT_EQ(point().record.highPassCut(), 5);
        EXPECT_EQ(doc.undoable(), filtered) << "the cancelled dialog left no edit";
        EXPECT_FLOAT_EQ(doc.filterSettings().highCut, 5);
        EXPECT_FALSE(doc.filterSettings().lowOn);
    }
}

// "确定" closes only when the point carries what the fields show. Before, OK took the texts
// as they stood and closed without a word: a refused "25" became the cut-off while the point
// kept 2.
TEST_F(FilterDialogTest, OkWithAnEntryThatCannotBeAppliedSaysWhyAndStaysOpen) {
    open("SITE.DP0");
    FilterDialog& d = start();
    d.open();
    d.highPassBox()->click();
    type(*d.highPassEdit(), "2");
    ASSERT_NE(point().samples, point().originalSamples);
    type(*d.highPassEdit(), "25"); // refused: the preview goes back to the trace at opening
    prompts.shown.clear();
    d.okButton()->click();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{"高通(kHz)：高通范围为0.01-20kHz"});
    EXPECT_EQ(d.windowTitle(), "高通范围为0.01-20kHz");
    EXPECT_EQ(point().samples, point().originalSamples);

    type(*d.highPassEdit(), "3");
    d.okButton()->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FLOAT_EQ(point().record.highPassCut(), 3);
    EXPECT_FLOAT_EQ(doc.filterSettings().highCut, 3);
}

TEST_F(FilterDialogTest, CommandWithoutAShownLineOnlyShowsTheMessage) {
    FilterDialog::run(doc, nullptr); // would hang here if a dialog were run
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{"请先打开文件再进行滤波!"});
}

// ---------------------------------------------------------------------------------------
// "声时修正"

class TimeCorrectionDialogTest : public DialogsTest {
protected:
    TimeCorrectionDialog& start() {
        auto state = TimeCorrectionState::start(doc);
        EXPECT_TRUE(state.has_value());
        dialog = std::make_unique<TimeCorrectionDialog>(std::move(*state));
        return *dialog;
    }
    std::unique_ptr<TimeCorrectionDialog> dialog;
};

// An entry beyond ±200 us is refused: the title says why, the field keeps what was typed and
// the views keep the correction as it was; the next keystroke is an entry again.
TEST_F(TimeCorrectionDialogTest, EntriesOutsideTheRangeAreRefusedAsTyped) {
    struct Case {
        bool lineField;
        float dt;
        const char* typed;
        const char* zeroText;
    };
    const Case cases[] = {
        {true, 0.8f, "250", "0.0"},
        {false, 0.8f, "250", "0.0"},
        {true, 2.0f, "250", "0"},
        {false, 2.0f, "-201", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.lineField ? "当前缝修正值 " : "所有缝修正值 ") + c.typed +
                     " dt " + std::to_string(c.dt));
        open("SITE.DP0", [&](DocumentData& data) {
            for (std::size_t i = 0; i < data.nonCrossingList->size(); ++i) {
                (*data.nonCrossingList)[i].record.setSamplingInterval(c.dt);
            }
        });
        TimeCorrectionDialog& d = start();
        EXPECT_EQ(d.windowTitle(), "声时修正");
        QLineEdit* edit = c.lineField ? d.lineEdit() : d.allEdit();
        EXPECT_EQ(edit->text().toStdString(), c.zeroText) << "opens with the pending 0";

        type(*edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(d.windowTitle(), "声时修正范围为-200.0-200.0us");
        EXPECT_EQ(edit->text().toStdString(), c.typed);
        EXPECT_EQ(doc.data().correctionNonCrossing, 0.0f);
        EXPECT_EQ(doc.data().correctionAll, 0.0f);

        QTest::keyClick(edit, Qt::Key_Backspace); // the next keystroke is an entry again
        EXPECT_EQ(d.windowTitle(), "声时修正");
    }
}

// "x1" was taken as 0 without a word. OK now keeps the dialog open and names the field.
TEST_F(TimeCorrectionDialogTest, OkRefusesATextThatIsNoNumber) {
    open("SITE.DP0", [](DocumentData& data) { data.correctionNonCrossing = 2; });
    TimeCorrectionDialog& d = start();
    d.open();
    type(*d.lineEdit(), "x1");
    EXPECT_EQ(d.windowTitle(), "当前缝修正值：请输入一个数值");
    EXPECT_FLOAT_EQ(doc.data().correctionNonCrossing, 2) << "only valid entries are shown";
    d.okButton()->click();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{"当前缝修正值：请输入一个数值"});
    EXPECT_FLOAT_EQ(doc.data().correctionNonCrossing, 2);
    EXPECT_FALSE(doc.IsModified());

    type(*d.lineEdit(), "1.5");
    d.okButton()->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_FLOAT_EQ(doc.data().correctionNonCrossing, 1.5f);
}

TEST_F(TimeCorrectionDialogTest, EntriesApplyLiveAndOnlyOkKeepsThem) {
    for (const bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "确定" : "取消");
        open("SITE.DP0", [](DocumentData& data) { data.correctionAll = 1; });
        TimeCorrectionDialog& d = start();
        EXPECT_EQ(d.allEdit()->text(), "1.0");
        type(*d.lineEdit(), "-12.5");
        EXPECT_FLOAT_EQ(doc.data().correctionNonCrossing, -12.5f) << "live, before OK";
        EXPECT_TRUE(repainted()) << "the views show the corrected times at once";
        type(*d.allEdit(), "3");
        EXPECT_FLOAT_EQ(doc.data().correctionAll, 3);

        (ok ? d.okButton() : d.cancelButton())->click();
        EXPECT_FLOAT_EQ(doc.data().correctionNonCrossing, ok ? -12.5f : 0.0f);
        EXPECT_FLOAT_EQ(doc.data().correctionAll, ok ? 3.0f : 1.0f);
        EXPECT_EQ(doc.IsModified(), ok) << "kept corrections are saved or asked for";
    }
}

// The undo button drops the line corrections and the shown line's per-point corrections;
// the correction of all lines and the other lines' points keep theirs, and Cancel does not
// bring back what the button dropped.
TEST_F(TimeCorrectionDialogTest, UndoDropsTheShownLinesCorrections) {
    open("SITE.DPA", [](DocumentData& held) {
        held.correctionAll = 5;
        held.correctionNonCrossing = 7;
        held.crossingCorrections = {3, 4};
        (*held.nonCrossingList)[1].timeShift = 0.8f;
        (*held.crossingLists[0])[1].timeShift = 1.6f;
    });
    const DocumentData& data = doc.data();
    ASSERT_EQ(data.crossingLists.size(), 2u);

    TimeCorrectionDialog& d = start();
    EXPECT_EQ(d.lineEdit()->text(), "7.0");
    EXPECT_EQ(d.allEdit()->text(), "5.0");
    QPushButton& undo = *d.undoButton();
    EXPECT_EQ(undo.toolTip(), "撤销当前文件的声时修正");
    EXPECT_GE(undo.text().count('\n'), 1) << "a caption over several lines";
    EXPECT_EQ(undo.text().remove('\n'), undo.toolTip());
    EXPECT_GT(undo.sizeHint().height(), d.okButton()->sizeHint().height() * 3 / 2) << "tall";

    undo.click();
    EXPECT_EQ(d.lineEdit()->text(), "0.0");
    EXPECT_EQ(d.allEdit()->text(), "5.0");
    EXPECT_EQ(data.correctionNonCrossing, 0.0f);
    EXPECT_EQ(data.crossingCorrections, (std::vector<float>{0, 0}));
    EXPECT_EQ((*data.nonCrossingList)[1].timeShift, 0.0f);
    EXPECT_FLOAT_EQ((*data.crossingLists[0])[1].timeShift, 1.6f);

    d.cancelButton()->click();
    EXPECT_EQ(data.correctionNonCrossing, 0.0f);
    EXPECT_FLOAT_EQ(data.correctionAll, 5);
}

TEST_F(TimeCorrectionDialogTest, CommandWithoutAShownLineOnlyShowsTheMessage) {
    TimeCorrectionDialog::run(doc, nullptr);
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{"请先打开文件再进行延时修正!"});
}

TEST_F(TimeCorrectionDialogTest, CommandEditsTheSelectedCrossingLine) {
    open("SITE.DPA", [](DocumentData& data) { data.crossingCorrections = {3, 4}; });
    doc.SelectTab(2);
    const auto seen = inspectWhenShown<TimeCorrectionDialog>([](TimeCorrectionDialog& d) {
        EXPECT_EQ(d.windowTitle(), "声时修正");
        EXPECT_EQ(d.lineEdit()->text(), "4.0");
    });
    TimeCorrectionDialog::run(doc, nullptr);
    EXPECT_TRUE(*seen);
    EXPECT_EQ(doc.data().currentTab, 2);
}

// ---------------------------------------------------------------------------------------
// "合并"

class MergeDialogTest : public DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        dialog.setFileChooser([this](const std::string& filter) {
            filters.push_back(filter);
            auto next = chosen.front();
            chosen.pop_front();
            return next;
        });
    }
    // The enabling of 添加不跨裂缝文件, 添加跨裂缝文件, 合并 and 清空.
    std::string enabling() const {
        std::string flags;
        for (const QPushButton* button : {dialog.addNonCrossingButton(), dialog.addCrossingButton(),
                                          dialog.mergeButton(), dialog.clearButton()}) {
            flags += button->isEnabled() ? '1' : '0';
        }
        return flags;
    }
    QStringList rowNames() const {
        QStringList names;
        for (int i = 0; i < dialog.crossingList()->count(); ++i) {
            names << dialog.crossingList()->item(i)->text();
        }
        return names;
    }
    void setRowChecked(int row, bool checked) {
        dialog.crossingList()->item(row)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }

    std::deque<std::vector<std::string>> chosen;
    std::vector<std::string> filters;
    MergeDialog dialog{doc};
};

TEST_F(MergeDialogTest, ButtonsFollowTheChoices) {
    EXPECT_EQ(dialog.windowTitle(), "合并");
    EXPECT_TRUE(dialog.pathEdit()->isReadOnly());
    EXPECT_EQ(enabling(), "1000");

    chosen = {{at("SITE.DP0")}, {at("SITE_C1.DP1"), at("SITE_C2.DP1")}};
    dialog.addNonCrossingButton()->click();
    EXPECT_EQ(dialog.pathEdit()->text().toStdString(), at("SITE.DP0"));
    EXPECT_EQ(enabling(), "1100") << "crossing files may be added now";

    dialog.addCrossingButton()->click();
    EXPECT_EQ(rowNames(), (QStringList{"SITE_C1.DP1", "SITE_C2.DP1"}));
    EXPECT_EQ(dialog.crossingList()->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(enabling(), "0111");
    EXPECT_EQ(filters, (std::vector<std::string>{"不跨裂缝原始文件 (*.DP0)|*.DP0||",
                                                 "跨裂缝原始文件 (*.DP1)|*.DP1||"}));

    setRowChecked(0, false);
    EXPECT_EQ(enabling(), "0111") << "one row still checked";
    setRowChecked(1, false);
    EXPECT_EQ(enabling(), "1100") << "no row checked";
    setRowChecked(1, true);
    EXPECT_EQ(enabling(), "0111");

    dialog.clearButton()->click();
    EXPECT_EQ(enabling(), "1000");
    EXPECT_TRUE(dialog.pathEdit()->text().isEmpty());
    EXPECT_EQ(dialog.crossingList()->count(), 0);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(MergeDialogTest, ASecondFileOfTheSameNameIsRefused) {
    chosen = {{at("SITE.DP0")}, {at("SITE_C1.DP1"), at("SITE_C1.DP1"), at("SITE_C2.DP1")}};
    dialog.addNonCrossingButton()->click();
    dialog.addCrossingButton()->click();
    EXPECT_EQ(rowNames(), QStringList{"SITE_C1.DP1"}) << "the rest of the selection is skipped";
    EXPECT_EQ(prompts.messages(),
              std::vector<std::string>{"跨裂缝文件列表中已包含同名文件，是否继续？"});
}

TEST_F(MergeDialogTest, MergeWritesTheCheckedFilesSaysWhereAndCloses) {
    ProjectInfo info = doc.projectInfo();
    info.texts[kClient] = "市政设施管理处";
    EditProjectInfo(doc, info, "工程信息", 1);
    chosen = {{at("SITE.DP0")}, {at("SITE_C1.DP1"), at("SITE_C2.DP1")}};
    dialog.open();
    dialog.addNonCrossingButton()->click();
    dialog.addCrossingButton()->click();
    setRowChecked(0, false);
    const std::string target = at("MERGED.DPA");
    prompts.files = {target};
    prompts.answers = {Answer::No};

    dialog.mergeButton()->click();
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].kind, "save");
    EXPECT_EQ(prompts.shown[0].text, "声波结果文件 (*.DPA)|*.DPA||");
    EXPECT_EQ(prompts.shown[1].kind, "yesNo");
    EXPECT_EQ(prompts.shown[1].text,
              "合并完成，结果文件已保存到：\n" + target + "\n\n是否打开此文件？");
    EXPECT_FALSE(dialog.isVisible()) << "the dialog closes after a merge";
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.fileToOpen().has_value()) << "the operator said no";
    EXPECT_EQ(rowNames(), QStringList{"SITE_C2.DP1"}) << "unchecked rows are dropped";

    FileSource source(target);
    ResultFileContents result;
    ASSERT_EQ(ReadResultFile(source, result), BlockStatus::Ok);
    ASSERT_EQ(result.lines.size(), 2u);
    EXPECT_EQ(result.lines[0].header.lineCount, 2);
    EXPECT_EQ(result.lines[0].header.note, "SITE.DP0");
    EXPECT_EQ(result.lines[1].header.note, "SITE_C2.DP1");
    EXPECT_EQ(result.lines[1].points.size(), 12u);
    ProjectInfo written;
    result.projectBlock.copyInto(written);
    EXPECT_EQ(written.texts[kClient], "市政设施管理处");

    ScriptedPrompts otherPrompts;
    Document merged(otherPrompts, {});
    EXPECT_TRUE(merged.OpenDocument(target));
    EXPECT_EQ(merged.data().crossingLists.size(), 1u);

    // The command-line analysis reads the merge back as the analysis of the raw files.
    const auto fromMerge = testing::runCli({"analyze", target});
    const auto fromRaw = testing::runCli({"analyze", at("SITE.DP0"), at("SITE_C2.DP1")});
    ASSERT_EQ(fromMerge.exitCode, 0) << fromMerge.err;
    ASSERT_EQ(fromRaw.exitCode, 0) << fromRaw.err;
    const auto merge = nlohmann::json::parse(fromMerge.out);
    const auto raw = nlohmann::json::parse(fromRaw.out);
    EXPECT_EQ(merge["BText"], raw["BText"]);
    EXPECT_EQ(merge["cracks"][0]["crackDepthText"], raw["cracks"][0]["crackDepthText"]);
}

TEST_F(MergeDialogTest, AMergeThatDidNotWriteKeepsTheDialogOpen) {
    chosen = {{at("SITE.DP0")}, {at("SITE_C1.DP1")}};
    dialog.open();
    dialog.addNonCrossingButton()->click();
    dialog.addCrossingButton()->click();
    prompts.files = {std::nullopt}; // the save dialog cancelled
    dialog.mergeButton()->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(prompts.shown.size(), 1u) << "no question without a file";
    prompts.files = {at("MERGED.DPA")};
    prompts.answers = {Answer::Yes};
    dialog.mergeButton()->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.fileToOpen(), at("MERGED.DPA"));
}

// ---------------------------------------------------------------------------------------
// "检测参数" and About

// The value each caption's field shows, by the label's buddy.
std::map<std::string, std::string> shownValues(const QDialog& dialog) {
    std::map<std::string, std::string> values;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (const auto* field = qobject_cast<QLineEdit*>(label->buddy())) {
            values[label->text().toStdString()] = field->text().toStdString();
        }
    }
    return values;
}

TEST_F(DialogsTest, TestParametersShowTheCurrentPointAndCannotBeEdited) {
    open("SITE.DP0", [](DocumentData& data) {
        PointList& line = *data.nonCrossingList;
        line[3].record.setLowPassCut(250);
        line[3].record.setHighPassCut(0.015f);
        line[3].record.setSamplingInterval(0.25f);
        data.nonCrossingParameters.zeroCalibration = 1.25f;
    });
    doc.SelectPoint(kNonCrossingLine, 3);

    const auto seen = inspectWhenShown<TestParametersDialog>([](TestParametersDialog& d) {
        EXPECT_EQ(d.windowTitle(), "检测参数");
        EXPECT_NEAR(d.windowOpacity(), kOpacity, 1e-3);
        const std::map<std::string, std::string> expected = {
            {"采样间隔(us)：", "0.2"}, {"低通(kHz)：", "250"}, {"高通(kHz)：", "0.015"},
            {"采样长度：", "512"},     {"校零：", "1.2"},
        };
        EXPECT_EQ(shownValues(d), expected);
        for (QLineEdit* field : d.findChildren<QLineEdit*>()) {
            EXPECT_TRUE(field->isReadOnly());
            EXPECT_EQ(field->focusPolicy(), Qt::NoFocus);
            const QString before = field->text();
            QTest::keyClicks(field, "9");
            EXPECT_EQ(field->text(), before);
        }
    });
    TestParametersDialog::run(doc, nullptr);
    EXPECT_TRUE(*seen);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DialogsTest, TestParametersCommandWithoutAShownLineDoesNothing) {
    TestParametersDialog::run(doc, nullptr); // would hang here if a dialog were run
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(DialogsTest, AboutBoxNamesTheProgramAndItsVersion) {
    const QString version = QApplication::applicationVersion();
    QApplication::setApplicationVersion("9.8.7");
    AboutDialog about;
    QApplication::setApplicationVersion(version);
    QStringList texts;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        texts << label->text();
    }
    EXPECT_TRUE(texts.contains("ULK浅裂缝分析软件"));
    EXPECT_TRUE(texts.filter("9.8.7").size() == 1) << texts.join('|').toStdString();
    EXPECT_NEAR(about.windowOpacity(), 220 / 255.0, 1e-3);
}

TEST_F(DialogsTest, DialogsOpenTranslucent) {
    open("SITE.DP0");
    FilterDialog filter(*FilterDialogState::start(doc));
    TimeCorrectionDialog correction(*TimeCorrectionState::start(doc));
    MergeDialog merge(doc);
    for (const QDialog* d : std::initializer_list<const QDialog*>{&filter, &correction, &merge}) {
        EXPECT_NEAR(d->windowOpacity(), kOpacity, 1e-3) << d->metaObject()->className();
    }
}

} // namespace
} // namespace crackdepth::app
