#include "app/frame/info_page_widget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFormLayout>
#include <QLineEdit>

namespace crackdepth::app {

InfoPageWidget::InfoPageWidget(InfoPage& page, QWidget* parent) : QWidget(parent), page_(page) {
    auto* form = new QFormLayout(this);
    form->setContentsMargins(4, 6, 4, 4);
    form->setVerticalSpacing(4);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const auto states = page_.controls();
    for (std::size_t field = 0; field < states.size(); ++field) {
        const ControlState& state = states[field];
        const QString caption = QString::fromStdString(state.caption);
        QWidget* widget = nullptr;
        switch (state.kind) {
        case ControlKind::Edit: {
            auto* edit = new QLineEdit;
            connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
                page_.onTextChanged(field, text.toStdString());
                showState();
                emit edited(field);
            });
            widget = edit;
            break;
        }
        case ControlKind::DropDown: {
            auto* list = new QComboBox;
            connect(list, &QComboBox::activated, this, [this, field](int index) {
                page_.onSelectionChanged(field, index);
                showState();
                emit edited(field);
            });
            widget = list;
            break;
        }
        case ControlKind::DatePicker: {
            auto* picker = new QDateEdit;
            picker->setCalendarPopup(true);
            picker->setDisplayFormat(QStringLiteral("yyyy-M-d"));
            connect(picker, &QDateEdit::dateChanged, this, [this, field](QDate date) {
                if (!showing_) {
                    page_.onDateChanged(field, {date.year(), date.month(), date.day()});
                    showState();
                    emit edited(field);
                }
            });
            widget = picker;
            break;
        }
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(caption);
            connect(box, &QCheckBox::clicked, this, [this, field](bool checked) {
                page_.onLockClicked(checked);
                showState();
                emit edited(field);
            });
            widget = box;
            break;
        }
        }
        controls_.push_back(widget);
        if (state.kind == ControlKind::CheckBox) {
            form->addRow(widget);
        } else {
            form->addRow(caption, widget);
        }
    }
    showState();
}

InfoPageWidget::InfoPageWidget(TestInfoPage& page, QWidget* parent)
    : InfoPageWidget(static_cast<InfoPage&>(page), parent) {
    testPage_ = &page;
    control(TestInfoPage::kTestStandardList)->installEventFilter(this);
}

bool InfoPageWidget::eventFilter(QObject* watched, QEvent* event) {
    if (testPage_ != nullptr && event->type() == QEvent::FocusIn &&
        watched == control(TestInfoPage::kTestStandardList)) {
        testPage_->onTestStandardFocused();
        showState();
    }
    return QWidget::eventFilter(watched, event);
}

void InfoPageWidget::showState() {
    showing_ = true;
    const auto states = page_.controls();
    for (std::size_t field = 0; field < states.size(); ++field) {
        const ControlState& state = states[field];
        QWidget* widget = controls_[field];
        const QString text = QString::fromStdString(state.text);
        widget->setEnabled(state.enabled);
        widget->setToolTip(text);
        switch (state.kind) {
        case ControlKind::Edit: {
            auto* edit = static_cast<QLineEdit*>(widget);
            if (edit->text() != text) {
                edit->setText(text);
            }
            break;
        }
        case ControlKind::DropDown: {
            auto* list = static_cast<QComboBox*>(widget);
            const QSignalBlocker blocker(list);
            list->clear();
            for (const std::string& entry : state.entries) {
                list->addItem(QString::fromStdString(entry));
            }
            list->setCurrentIndex(state.selected);
            break;
        }
        case ControlKind::DatePicker: {
            auto* picker = static_cast<QDateEdit*>(widget);
            if (state.date) {
                picker->setDate(QDate(state.date->year, state.date->month, state.date->day));
            }
            break;
        }
        case ControlKind::CheckBox:
            static_cast<QCheckBox*>(widget)->setChecked(state.checked);
            break;
        }
    }
    showing_ = false;
}

} // namespace crackdepth::app
