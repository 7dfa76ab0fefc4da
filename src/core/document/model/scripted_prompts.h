// A UserPrompts that records everything it is asked and answers from queues: the core's
// tests use it to assert exact message texts and to drive questions without a window. The
// command-line tool uses it too, to collect messages for its error output.
#pragma once

#include "core/document/model/user_prompts.h"

#include <deque>
#include <string>
#include <vector>

namespace crackdepth {

class ScriptedPrompts final : public UserPrompts {
public:
    struct Shown {
        std::string kind; // "message", "yesNo", "yesNoCancel", "okCancel", "open", "save"
        std::string text; // message or question text, or the dialog's filter
        MessageIcon icon = MessageIcon::None;
        std::string caption; // caption, or the proposed path of a file dialog
    };

    std::vector<Shown> shown;
    std::deque<Answer> answers;                   // for the questions; Yes/OK when empty
    std::deque<std::optional<std::string>> files; // for the file dialogs; none when empty

    void message(const std::string& text, MessageIcon icon, const std::string& caption) override {
        shown.push_back({"message", text, icon, caption});
    }
    bool askYesNo(const std::string& text, MessageIcon icon, const std::string& caption) override {
        shown.push_back({"yesNo", text, icon, caption});
        return next(Answer::Yes) == Answer::Yes;
    }
    Answer askYesNoCancel(const std::string& text, MessageIcon icon,
                          const std::string& caption) override {
        shown.push_back({"yesNoCancel", text, icon, caption});
        return next(Answer::Yes);
    }
    bool askOkCancel(const std::string& text, MessageIcon icon,
                     const std::string& caption) override {
        shown.push_back({"okCancel", text, icon, caption});
        return next(Answer::Ok) == Answer::Ok;
    }
    std::optional<std::string> chooseOpenFile(const std::string& filter,
                                              const std::string& proposed) override {
        shown.push_back({"open", filter, MessageIcon::None, proposed});
        return nextFile();
    }
    std::optional<std::string> chooseSaveFile(const std::string& filter,
                                              const std::string& proposed) override {
        shown.push_back({"save", filter, MessageIcon::None, proposed});
        return nextFile();
    }

    // The texts of the plain messages shown, in order.
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const auto& entry : shown) {
            if (entry.kind == "message") {
                texts.push_back(entry.text);
            }
        }
        return texts;
    }

private:
    Answer next(Answer fallback) {
        if (answers.empty()) {
            return fallback;
        }
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::string> nextFile() {
        if (files.empty()) {
            return std::nullopt;
        }
        auto file = files.front();
        files.pop_front();
        return file;
    }
};

} // namespace crackdepth
