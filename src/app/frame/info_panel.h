// The "工程信息栏" pane: the files beside the last opened file, the "检测信息" and "工程信息"
// pages, the analysis result group (method, A, B, average crack depth) and under it the
// "测量检查" list, whose rows show their findings' points.
#pragma once

#include "core/document/checks/check_list.h"
#include "core/document/panel_state/info_pages.h"

#include <QWidget>
#include <functional>
#include <memory>

class QComboBox;
class QLineEdit;
class QListWidget;
class QTabWidget;

namespace crackdepth {
class Document;
}

namespace crackdepth::app {

class AnalysisCache;
class InfoPageWidget;

class InfoPanel final : public QWidget {
    Q_OBJECT

public:
    InfoPanel(Document& document, AnalysisCache& analysis, QWidget* parent = nullptr);
    ~InfoPanel() override;

    // Re-reads the document (after every change): the analysis results, and the pages when
    // the document's project information is not what they show.
    void refresh();
    // Refills the file list for the document's file.
    void fillFileList();
    // Whether a content view was active when the method list was used (its choice then
    // shows the selected tab's line again).
    void setContentViewActive(std::function<bool()> active) { contentActive_ = std::move(active); }

    QListWidget* fileList() const { return fileList_; }
    QTabWidget* pages() const { return pages_; }
    QComboBox* methodList() const { return method_; }
    QLineEdit* interceptField() const { return intercept_; }
    QLineEdit* velocityField() const { return velocity_; }
    QLineEdit* crackDepthField() const { return crackDepth_; }
    QListWidget* checkList() const { return checks_; }

private:
    void openFromList(int row);
    void onPageChanged(int index);
    // Hands what a page changed in its record to the document as an edit.
    void commitPage(const char* title, std::size_t field);
    void reloadPages();
    void fillChecks();

    Document& document_;
    AnalysisCache& analysis_;
    std::function<bool()> contentActive_ = [] { return false; };
    ProjectInfo record_; // what the pages show and edit, handed to the document as edits
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
    QListWidget* checks_;
    CheckList shownChecks_; // the findings the list's rows show
    int shownPage_ = 0;
};

} // namespace crackdepth::app
