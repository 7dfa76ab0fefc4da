// How the core talks to the user: messages, questions and file choices go through this
// interface, which the desktop program implements with message boxes and file dialogs and
// tests implement with a scripted fake.
#pragma once

#include <optional>
#include <string>

namespace crackdepth {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class Answer { Yes, No, Cancel, Ok };

class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // A message box with an OK button.
    virtual void message(const std::string& text, MessageIcon icon = MessageIcon::None,
                         const std::string& caption = {}) = 0;
    // Yes (true) or No (false).
    virtual bool askYesNo(const std::string& text, MessageIcon icon = MessageIcon::Question,
                          const std::string& caption = {}) = 0;
    // Answer::Yes, Answer::No or Answer::Cancel.
    virtual Answer askYesNoCancel(const std::string& text, MessageIcon icon = MessageIcon::Question,
                                  const std::string& caption = {}) = 0;
    // OK (true) or Cancel (false).
    virtual bool askOkCancel(const std::string& text, MessageIcon icon = MessageIcon::Warning,
                             const std::string& caption = {}) = 0;
    // A file chosen in an open or save dialog; none when the user cancels. `filter` is the
    // dialog's filter text, `proposed` the path or name it starts with.
    virtual std::optional<std::string> chooseOpenFile(const std::string& filter,
                                                      const std::string& proposed = {}) = 0;
    virtual std::optional<std::string> chooseSaveFile(const std::string& filter,
                                                      const std::string& proposed = {}) = 0;
};

} // namespace crackdepth
