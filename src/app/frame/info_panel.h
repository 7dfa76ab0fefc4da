// The "工程信息栏" pane: the files beside the last opened file, the "检测信息" and "工程信息"
// pages, and the analysis result group (method, A, B, average crack depth).
#pragma once

#include "core/document/info_pages.h"

#include <QWidget>
#include <memory>

class QComboBox;
class QLineEdit;
class QListWidget;
class QTabWidget;

namespace crackdepth {
class Document;
}

namespace crackdepth::app {

class InfoPageWidget;

class InfoPanel final : public QWidget {
    Q_OBJECT

public:
    explicit InfoPanel(Document& document, QWidget* parent = nullptr);
    ~InfoPanel() override;

    // Re-reads the document (after every change).
    void refresh();
    // Refills the file list for the document's file.
    void fillFileList();
    // The crack evaluation's text (empty on the non-crossing tab or with a wave train).
    void setCrackDepthText(const QString& text);

    QListWidget* fileList() const { return fileList_; }
    QTabWidget* pages() const { return pages_; }
    QComboBox* methodList() const { return method_; }
    QLineEdit* interceptField() const { return intercept_; }
    QLineEdit* velocityField() const { return velocity_; }
    QLineEdit* crackDepthField() const { return crackDepth_; }

private:
    void openFromList(int row);
    void onPageChanged(int index);

    Document& document_;
    std::unique_ptr<TestInfoPage> testPage_;
    std::unique_ptr<ProjectInfoPage> projectPage_;
    QListWidget* fileList_;
    QStringList filePaths_;
    QTabWidget* pages_;
    InfoPageWidget* testWidget_;
    InfoPageWidget* projectWidget_;
    QComboBox* method_;
    QLineEdit* intercept_;
    QLineEdit* velocity_;
    QLineEdit* crackDepth_;
    int shownPage_ = 0;
};

} // namespace crackdepth::app
