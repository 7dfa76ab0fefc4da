// A page of the information panel: one form row per control of an InfoPage state, wired so
// that every input goes to the state and the state's controls are shown again afterwards.
#pragma once

#include "core/document/panel_state/info_pages.h"

#include <QWidget>
#include <vector>

namespace crackdepth::app {

class InfoPageWidget final : public QWidget {
    Q_OBJECT

public:
    explicit InfoPageWidget(InfoPage& page, QWidget* parent = nullptr);
    // The "检测信息" page, whose "检测依据" list shows the record again when it gains the
    // keyboard focus.
    explicit InfoPageWidget(TestInfoPage& page, QWidget* parent = nullptr);

    // Shows what the state holds now.
    void showState();
    QWidget* control(std::size_t field) const { return controls_.at(field); }

signals:
    // The operator changed control `field`; the page's record may differ from the document's.
    void edited(std::size_t field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    InfoPage& page_;
    TestInfoPage* testPage_ = nullptr;
    std::vector<QWidget*> controls_;
    bool showing_ = false;
};

} // namespace crackdepth::app
