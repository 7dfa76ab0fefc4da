// The document's questions and messages as Qt message boxes and file dialogs.
#pragma once

#include "core/document/model/user_prompts.h"

#include <QString>

class QWidget;

namespace crackdepth::app {

class QtPrompts final : public UserPrompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(const std::string& text, MessageIcon icon, const std::string& caption) override;
    bool askYesNo(const std::string& text, MessageIcon icon, const std::string& caption) override;
    Answer askYesNoCancel(const std::string& text, MessageIcon icon,
                          const std::string& caption) override;
    bool askOkCancel(const std::string& text, MessageIcon icon,
                     const std::string& caption) override;
    std::optional<std::string> chooseOpenFile(const std::string& filter,
                                              const std::string& proposed) override;
    std::optional<std::string> chooseSaveFile(const std::string& filter,
                                              const std::string& proposed) override;

private:
    QWidget* parent_;
};

// "声波结果文件 (*.DPA)|*.DPA||" → "声波结果文件 (*.DPA)": the document's filter texts in the
// form a Qt file dialog takes.
QString qtFilter(const std::string& filter);

// The extension a save dialog adds to a name typed without one: the filter's first pattern's
// ("声波结果文件 (*.DPA)|*.DPA||" → "DPA").
QString defaultSuffixOf(const std::string& filter);

} // namespace crackdepth::app
