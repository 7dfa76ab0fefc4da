// Qt's own dialogs speak the program's language: the buttons of the message boxes and the
// labels of the file dialog come from Qt's Chinese translations, which the tests load
// through the same start-up step as the program.
#include "app/frame/qt_prompts.h"
#include "window_fixture.h"

#include <QAbstractButton>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace crackdepth::app {
namespace {

using testing::whenShown;

// A button's text as shown, without the shortcut mark: "是(&Y)" reads "是(Y)", as on the
// operator's other Chinese programs.
QString shown(const QAbstractButton& button) {
    return button.text().remove(QLatin1Char('&'));
}

bool hasChinese(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x4e00 && c.unicode() <= 0x9fff; });
}

TEST(QtTranslationsTest, MessageBoxButtonsReadInChinese) {
    struct Case {
        const char* question;
        std::function<void(QtPrompts&)> ask;
        std::vector<const char*> texts;
    };
    const Case cases[] = {
        {"yes/no/cancel",
         [](QtPrompts& p) {
             p.askYesNoCancel("是否保存对 A.DPA 的更改?", MessageIcon::Warning, {});
         },
         {"是(Y)", "否(N)", "取消"}},
        {"ok/cancel",
         [](QtPrompts& p) { p.askOkCancel("请确定文档都已保存！", MessageIcon::Warning, {}); },
         {"确定", "取消"}},
        {"message",
         [](QtPrompts& p) { p.message("无法识别的文件类型！", MessageIcon::None, {}); },
         {"确定"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.question);
        QStringList texts;
        QString caption;
        const auto seen = whenShown<QMessageBox>([&](QMessageBox& box) {
            caption = box.windowTitle();
            for (QAbstractButton* button : box.buttons()) {
                texts << shown(*button);
            }
            box.reject();
        });
        QtPrompts prompts;
        c.ask(prompts);
        ASSERT_TRUE(seen->seen);
        EXPECT_EQ(caption, QStringLiteral("ULK浅裂缝分析软件"));
        texts.sort();
        QStringList expected;
        for (const char* text : c.texts) {
            expected << QString::fromUtf8(text);
        }
        expected.sort();
        EXPECT_EQ(texts, expected);
    }
}

// Qt's own file dialog, as the program shows it where the desktop offers none: every label
// and the accept button in Chinese, none of Qt's English texts left.
TEST(QtTranslationsTest, FileDialogSpeaksChinese) {
    const QTemporaryDir folder;
    const QString notes = folder.filePath(QStringLiteral("notes.txt"));
    QFile(notes).open(QIODevice::WriteOnly);
    for (const auto mode : {QFileDialog::AcceptOpen, QFileDialog::AcceptSave}) {
        SCOPED_TRACE(mode == QFileDialog::AcceptOpen ? "open" : "save");
        QFileDialog dialog(nullptr, QString(), folder.path(), QStringLiteral("所有文件(*.*)"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(mode);
        dialog.show();
        QApplication::processEvents();
        for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
            const auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name));
            ASSERT_NE(label, nullptr) << name;
            EXPECT_TRUE(hasChinese(label->text())) << name << ": " << label->text().toStdString();
        }
        QStringList buttons;
        for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
            if (button->isVisible()) {
                buttons << shown(*button);
                EXPECT_TRUE(hasChinese(button->text())) << button->text().toStdString();
            }
        }
        EXPECT_FALSE(buttons.isEmpty());
        EXPECT_TRUE(hasChinese(dialog.windowTitle())) << dialog.windowTitle().toStdString();

        // The files' descriptions too: the type column of a text file.
        const auto* files = dialog.findChild<QFileSystemModel*>();
        ASSERT_NE(files, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return files->index(notes).isValid(); }));
        const QString type = files->index(notes).siblingAtColumn(2).data().toString();
        EXPECT_TRUE(hasChinese(type)) << type.toStdString();
        dialog.reject();
    }
}

} // namespace
} // namespace crackdepth::app
