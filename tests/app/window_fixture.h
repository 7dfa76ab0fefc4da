// The main window over a document with scripted prompts, its files copied into a folder of
// the test's own; and a helper that acts on a modal window once it shows.
#pragma once

#include "../core/test_support.h"
#include "app/frame/main_window.h"
#include "app/frame/qt_prompts.h"
#include "core/document/model/scripted_prompts.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace crackdepth::app::testing {

using namespace crackdepth::testing;

inline const std::filesystem::path kFixtures = CRACKDEPTH_FIXTURES_DIR;

// QtPrompts is only needed for the window's own few questions; the document asks the
// scripted prompts.
class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* file : {"SITE.DP0", "SITE_C1.DP1", "SITE_C2.DP1", "SITE.DPA"}) {
            writeBytes(dir.path() / file, readBytes(kFixtures / file));
        }
        window.resize(1400, 900);
        window.show();
        QApplication::processEvents();
    }
    std::string at(const std::string& name) const { return (dir.path() / name).string(); }
    QString path(const std::string& name) const { return QString::fromStdString(at(name)); }

    TempDir dir;
    ScriptedPrompts prompts;
    QtPrompts qtPrompts;
    Document document{prompts, {}};
    MainWindow window{document, qtPrompts};
};

// What a watch for a modal window saw.
struct Watch {
    bool seen = false;
};

// Runs `act` on the first visible top-level widget of type T once a modal loop shows it; the
// action must close the widget, or the modal loop never ends. The search ends when the
// returned watch goes (so `act` may refer to what the test declared before it), and after a
// minute: on a loaded machine a file dialog can take seconds to appear, and a search that
// gave up early would leave its modal loop waiting for ever.
template <typename T> std::shared_ptr<Watch> whenShown(std::function<void(T&)> act) {
    auto watch = std::make_shared<Watch>();
    struct Search {
        std::function<void(T&)> act;
        std::weak_ptr<Watch> watch;
        QDeadlineTimer deadline{std::chrono::minutes(1)};
        void operator()() const {
            const auto alive = watch.lock();
            if (!alive) {
                return;
            }
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* found = qobject_cast<T*>(widget); found && found->isVisible()) {
                    alive->seen = true;
                    act(*found);
                    return;
                }
            }
            if (!deadline.hasExpired()) {
                QTimer::singleShot(10, *this);
            }
        }
    };
    QTimer::singleShot(0, Search{std::move(act), watch});
    return watch;
}

} // namespace crackdepth::app::testing
