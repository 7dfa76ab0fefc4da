// A dialog cancelled from the window leaves the undo history as it found it: what "重做"
// offered is still offered, and the document is no more modified than before.
#include "app/dialogs/filter_dialog.h"
#include "app/dialogs/time_correction_dialog.h"
#include "core/document/commands/suggested_picks.h"
#include "window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace crackdepth::app {
namespace {

using DialogHistoryTest = testing::WindowFixture;

// Make an edit (adopt a suggestion where there is one), undo it, open "滤波", tick "低通", cancel:
// "重做" used to be gone.
TEST_F(DialogHistoryTest, ACancelledDialogKeepsRedo) {
    const struct {
        const char* name;
        Command command;
        std::function<std::shared_ptr<testing::Watch>()> cancelInside;
    } cases[] = {
        {"滤波", Command::Filter,
         [] {
             return testing::whenShown<FilterDialog>([](FilterDialog& d) {
                 d.lowPassBox()->click();
                 d.cancelButton()->click();
             });
         }},
        {"声时修正", Command::TimeCorrection,
         [] {
             return testing::whenShown<TimeCorrectionDialog>([](TimeCorrectionDialog& d) {
                 QTest::keyClicks(d.allEdit(), "5");
                 d.cancelButton()->click();
             });
         }},
    };
    ASSERT_TRUE(window.openFile(path("SITE.DPA")));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Any edit will do for redo to offer; the suggestion of the report is one.
        if (canAdoptSuggestion(document.data())) {
            AdoptSuggestion(document);
        } else {
            window.action(Command::Invert)->trigger();
        }
        window.action(Command::Undo)->trigger();
        ASSERT_FALSE(document.IsModified());
        window.updateActions();
        ASSERT_TRUE(window.action(Command::Redo)->isEnabled());
        const QString redoText = window.action(Command::Redo)->text();

        const auto watch = c.cancelInside();
        window.action(c.command)->trigger();
        ASSERT_TRUE(watch->seen);
        window.updateActions();
        EXPECT_TRUE(window.action(Command::Redo)->isEnabled());
        EXPECT_EQ(window.action(Command::Redo)->text(), redoText);
        EXPECT_FALSE(window.action(Command::Undo)->isEnabled());
        EXPECT_FALSE(document.IsModified());
        window.action(Command::Redo)->trigger(); // back to where the next case starts
        window.action(Command::Undo)->trigger();
    }
}

} // namespace
} // namespace crackdepth::app
