// "合并": one non-crossing raw file and one or more crossing raw files written into a result
// file. The choices, checks, messages and which buttons are enabled belong to the core's
// MergeSession; the dialog shows the session after every operation. After a merge it says
// where the result file went, offers to open it, and closes.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace crackdepth {
class Document;
class MergeSession;
} // namespace crackdepth

namespace crackdepth::app {

class MergeDialog : public QDialog {
    Q_OBJECT

public:
    // The paths chosen in an open dialog with the given filter text (as MergeSession's
    // constants give it); empty when the operator cancels.
    using FileChooser = std::function<std::vector<std::string>(const std::string& filter)>;

    // Messages and the save choice go through the document's prompts; the project
    // information written is the document's.
    explicit MergeDialog(Document& doc, QWidget* parent = nullptr);
    ~MergeDialog() override;

    // The "合并文件" command, modal; the merged file when the operator wants it opened.
    static std::optional<std::string> run(Document& doc, QWidget* parent);
    // Set once a merge has written and the operator wants its file opened.
    const std::optional<std::string>& fileToOpen() const { return open_; }

    // Replaces the open dialogs (multiple selection) with another source of paths.
    void setFileChooser(FileChooser chooser) { chooseFiles_ = std::move(chooser); }

    QLineEdit* pathEdit() const { return pathEdit_; }
    QListWidget* crossingList() const { return list_; }
    QPushButton* addNonCrossingButton() const { return addNonCrossing_; }
    QPushButton* addCrossingButton() const { return addCrossing_; }
    QPushButton* mergeButton() const { return merge_; }
    QPushButton* clearButton() const { return clear_; }
    QPushButton* cancelButton() const { return cancel_; }

public Q_SLOTS: // merge_dialog.cpp is built without the keywords
    void onAddNonCrossing();
    void onAddCrossing();
    void onMerge();
    void onClear();

private:
    void itemChanged(QListWidgetItem* item);
    void showSession();
    void showControls();
    std::vector<std::string> openFiles(const std::string& filter);

    Document& doc_;
    std::unique_ptr<MergeSession> session_;
    FileChooser chooseFiles_;
    std::optional<std::string> open_;
    QLineEdit* pathEdit_;
    QListWidget* list_;
    QPushButton* addNonCrossing_;
    QPushButton* addCrossing_;
    QPushButton* merge_;
    QPushButton* clear_;
    QPushButton* cancel_;
};

} // namespace crackdepth::app
