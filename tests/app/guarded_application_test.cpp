// An allocation failure inside the handling of an event ends that command with a message;
// the program goes on.
#include "app/frame/guarded_application.h"
#include "core/document/model/scripted_prompts.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <gtest/gtest.h>
#include <new>

namespace crackdepth::app {
namespace {

// A receiver whose handling of user events runs out of memory, as a command would.
class Exhausting final : public QObject {
public:
    int handled = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            throw std::bad_alloc();
        }
        ++handled;
        return QObject::event(event);
    }
};

TEST(GuardedApplication, AnEventThatRunsOutOfMemoryIsReportedAndTheNextOneRuns) {
    ScriptedPrompts prompts;
    Exhausting receiver;
    // Through Qt's own delivery, as GuardedApplication::notify runs it.
    QEvent exhausting(QEvent::User);
    EXPECT_TRUE(runGuarded(
        [&] { return QCoreApplication::instance()->notify(&receiver, &exhausting); }, prompts));
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{"内存不足，无法完成此操作！"});
    EXPECT_EQ(prompts.shown.at(0).icon, MessageIcon::Error);

    QEvent ordinary(QEvent::Timer);
    runGuarded([&] { return QCoreApplication::sendEvent(&receiver, &ordinary); }, prompts);
    EXPECT_EQ(receiver.handled, 1);
    EXPECT_EQ(prompts.shown.size(), 1u) << "a command that does not fail says nothing";
}

} // namespace
} // namespace crackdepth::app
