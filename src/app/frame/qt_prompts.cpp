#include "app/frame/qt_prompts.h"

#include "app/application_setup.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace crackdepth::app {
namespace {

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

int ask(QWidget* parent, const std::string& text, MessageIcon icon, const std::string& caption,
        QMessageBox::StandardButtons buttons) {
    // A message raised while a dialog is open belongs over that dialog.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        parent = modal;
    }
    QMessageBox box(qtIcon(icon),
                    caption.empty() ? QString::fromUtf8(kProgramName)
                                    : QString::fromStdString(caption),
                    QString::fromStdString(text), buttons, parent);
    return box.exec();
}

} // namespace

QString qtFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList names;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (!parts[i].isEmpty()) {
            names << parts[i];
        }
    }
    return names.join(QStringLiteral(";;"));
}

void QtPrompts::message(const std::string& text, MessageIcon icon, const std::string& caption) {
    ask(parent_, text, icon, caption, QMessageBox::Ok);
}

bool QtPrompts::askYesNo(const std::string& text, MessageIcon icon, const std::string& caption) {
    return ask(parent_, text, icon, caption, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

Answer QtPrompts::askYesNoCancel(const std::string& text, MessageIcon icon,
                                 const std::string& caption) {
    switch (ask(parent_, text, icon, caption,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

bool QtPrompts::askOkCancel(const std::string& text, MessageIcon icon, const std::string& caption) {
    return ask(parent_, text, icon, caption, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

std::optional<std::string> QtPrompts::chooseOpenFile(const std::string& filter,
                                                     const std::string& proposed) {
    const QString chosen = QFileDialog::getOpenFileName(
        parent_, QString(), QString::fromStdString(proposed), qtFilter(filter));
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen.toStdString();
}

QString defaultSuffixOf(const std::string& filter) {
    const QString text = QString::fromStdString(filter);
    const qsizetype star = text.indexOf(QStringLiteral("*."));
    if (star < 0) {
        return {};
    }
    QString suffix;
    for (qsizetype i = star + 2; i < text.size() && text[i].isLetterOrNumber(); ++i) {
        suffix += text[i];
    }
    return suffix;
}

std::optional<std::string> QtPrompts::chooseSaveFile(const std::string& filter,
                                                     const std::string& proposed) {
    QFileDialog dialog(parent_, QString(), QString::fromStdString(proposed), qtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffixOf(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
}

} // namespace crackdepth::app
