// The report commands that write files, driven through the document's prompts: one save
// dialog for every bitmap page, the replace question, confirmations and "error!",
// the selection afterwards, and the PDF export's proposal and messages.
#include "../core/document_fixture.h"
#include "core/document/model/document.h"
#include "core/document/model/scripted_prompts.h"
#include "report/mono_bmp.h"
#include "report/report_exports.h"

#include <gtest/gtest.h>

namespace crackdepth::report {
namespace {

class ReportExports : public crackdepth::testing::DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        ASSERT_TRUE(doc.OpenDocument(at("SITE.DPA")));
        prompts.shown.clear();
    }
    std::vector<std::string> saveDialogs() const {
        std::vector<std::string> filters;
        for (const auto& shown : prompts.shown) {
            if (shown.kind == "save") {
                filters.push_back(shown.text);
            }
        }
        return filters;
    }
};

TEST_F(ReportExports, OneDialogNamesEveryBitmapPage) {
    PrintSettings settings; // the standard style: three pages for the two cracks here
    doc.SelectTab(1);
    prompts.files = {at("site")}; // typed without the extension
    const RenderSummary summary = ExportBitmapReport(doc, settings);
    ASSERT_EQ(summary.pages, 3);
    EXPECT_EQ(saveDialogs(), std::vector<std::string>{kBmpFilter}) << "one dialog, not one a page";
    EXPECT_EQ(prompts.shown[0].caption, at("SITE.bmp")) << "proposed beside the result file";
    EXPECT_EQ(summary.written, 3);
    for (const char* page : {"site_1.bmp", "site_2.bmp", "site_3.bmp"}) {
        EXPECT_EQ(std::filesystem::file_size(at(page)), 184862u) << page;
    }
    EXPECT_FALSE(std::filesystem::exists(at("site.bmp")));
    EXPECT_EQ(prompts.messages(),
              std::vector<std::string>{std::string(kBmpPageWrittenMessage) + "\n3 页已保存到 " +
                                       dir.path().string() +
                                       "：\nsite_1.bmp\nsite_2.bmp\nsite_3.bmp"});
    EXPECT_EQ(doc.data().currentTab, static_cast<std::int32_t>(doc.data().crossingLists.size()))
        << "the last crossing line is selected";
}

TEST_F(ReportExports, BitmapPagesNeverReplaceAFileUnasked) {
    PrintSettings settings;
    crackdepth::testing::writeBytes(at("old_2.bmp"), {1, 2, 3});
    for (const Answer answer : {Answer::Cancel, Answer::Ok}) {
        SCOPED_TRACE(answer == Answer::Ok ? "replace" : "keep");
        prompts.shown.clear();
        prompts.files = {at("old.bmp")};
        prompts.answers = {answer};
        const RenderSummary summary = ExportBitmapReport(doc, settings);
        ASSERT_GE(prompts.shown.size(), 2u);
        EXPECT_EQ(prompts.shown[1].kind, "okCancel");
        EXPECT_EQ(prompts.shown[1].text, "以下文件已存在，是否替换？\nold_2.bmp");
        if (answer == Answer::Cancel) {
            EXPECT_EQ(summary.written, 0);
            EXPECT_EQ(crackdepth::testing::readBytes(at("old_2.bmp")),
                      (std::vector<std::uint8_t>{1, 2, 3}));
            EXPECT_FALSE(std::filesystem::exists(at("old_1.bmp")));
            EXPECT_TRUE(prompts.messages().empty());
        } else {
            EXPECT_EQ(summary.written, 3);
            EXPECT_EQ(std::filesystem::file_size(at("old_2.bmp")), 184862u);
        }
    }
}

TEST_F(ReportExports, PageNumbersArePaddedToTheCountAndAnyExtensionButBmpStays) {
    using Files = std::vector<std::filesystem::path>;
    EXPECT_EQ(bitmapPageFiles("/d/R.BMP", 2), (Files{"/d/R_1.bmp", "/d/R_2.bmp"}));
    EXPECT_EQ(bitmapPageFiles("/d/r.v2", 1), (Files{"/d/r.v2_1.bmp"}));
    const Files twelve = bitmapPageFiles("/d/r", 12);
    EXPECT_EQ(twelve.front(), "/d/r_01.bmp");
    EXPECT_EQ(twelve.back(), "/d/r_12.bmp");
}

TEST_F(ReportExports, FailedBitmapPagesAreNamedInOneErrorAndNothingIsCreated) {
    PrintSettings settings;
    prompts.files = {at("missing/page.bmp")};
    const RenderSummary summary = ExportBitmapReport(doc, settings);
    EXPECT_EQ(summary.failed, summary.pages);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages().front().starts_with(std::string(kBmpWriteFailedMessage) + "\n" +
                                                       at("missing/page_1.bmp") + "："))
        << prompts.messages().front();
    EXPECT_FALSE(std::filesystem::exists(at("missing")));
}

TEST_F(ReportExports, ACancelledBitmapDialogWritesNothing) {
    prompts.files = {std::nullopt};
    const RenderSummary summary = ExportBitmapReport(doc, PrintSettings{});
    EXPECT_EQ(summary.written, 0);
    EXPECT_EQ(summary.skipped, summary.pages);
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(ReportExports, FilesAreProposedBesideTheResultFileAndWrittenWhole) {
    const struct {
        ReportFile kind;
        const char* filter;
        const char* extension;
        const char* head; // the file's first bytes
    } cases[] = {
        {ReportFile::Pdf, kPdfFilter, ".pdf", "%PDF-"},
        {ReportFile::Docx, kDocxFilter, ".docx", "PK"},
        {ReportFile::Xlsx, kXlsxFilter, ".xlsx", "PK"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extension);
        doc.SelectTab(1);
        prompts.shown.clear();
        prompts.files = {at("report")}; // typed without the extension
        std::vector<bool> busy;
        const auto written =
            ExportReportFile(doc, PrintSettings{}, c.kind, [&](bool on) { busy.push_back(on); });
        ASSERT_TRUE(written.has_value());
        EXPECT_EQ(*written, dir.path() / (std::string("report") + c.extension));
        ASSERT_EQ(prompts.shown.front().kind, "save");
        EXPECT_EQ(prompts.shown.front().text, c.filter);
        EXPECT_EQ(prompts.shown.front().caption, at(std::string("SITE") + c.extension));
        EXPECT_EQ(busy, (std::vector<bool>{true, false})) << "a wait cursor while writing";
        const auto bytes = crackdepth::testing::readBytes(*written);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5).rfind(c.head, 0), 0u);
        if (c.kind == ReportFile::Pdf) {
            EXPECT_EQ(prompts.messages(), std::vector<std::string>{kPdfWrittenMessage});
        } else {
            EXPECT_TRUE(prompts.messages().empty()) << "the office program opens it instead";
            EXPECT_EQ(doc.data().currentTab,
                      static_cast<std::int32_t>(doc.data().crossingLists.size()));
        }

        prompts.shown.clear();
        prompts.files = {at("no/such/folder/report")};
        EXPECT_FALSE(ExportReportFile(doc, PrintSettings{}, c.kind).has_value());
        ASSERT_EQ(prompts.messages().size(), 1u);
        EXPECT_EQ(prompts.messages().front().rfind(kReportSaveFailedMessage, 0), 0u);
        EXPECT_NE(prompts.messages().front().find(at("no/such/folder/report")), std::string::npos);

        prompts.shown.clear();
        prompts.files = {std::nullopt}; // cancelled: nothing written, nothing said
        EXPECT_FALSE(ExportReportFile(doc, PrintSettings{}, c.kind).has_value());
        EXPECT_TRUE(prompts.messages().empty());
    }
}

// A report stopped through its progress leaves no file, not even a temporary one, keeps what
// was there, and says nothing; its progress counted up to a fixed total.
TEST_F(ReportExports, AStoppedReportLeavesNoFileAndSaysNothing) {
    for (const ReportFile kind : {ReportFile::Pdf, ReportFile::Docx, ReportFile::Xlsx}) {
        for (const std::int32_t style : {0, 2}) {
            SCOPED_TRACE(static_cast<int>(kind) * 10 + style);
            const std::filesystem::path folder =
                dir.path() / ("stopped" + std::to_string(static_cast<int>(kind) * 10 + style));
            std::filesystem::create_directory(folder);
            const std::filesystem::path earlier = folder / "report.out";
            crackdepth::testing::writeBytes(earlier, {'o', 'l', 'd'});
            PrintSettings settings;
            settings.reportStyle = style;
            prompts.shown.clear();
            prompts.files = {earlier.string()};
            std::vector<std::pair<std::int64_t, std::int64_t>> told;
            const auto written = ExportReportFile(doc, settings, kind, {},
                                                  [&](std::int64_t done, std::int64_t total) {
                                                      told.emplace_back(done, total);
                                                      return done < 2;
                                                  });
            EXPECT_FALSE(written.has_value());
            EXPECT_TRUE(prompts.messages().empty());
            ASSERT_EQ(told.size(), 2u) << "stopped at the second step";
            EXPECT_EQ(told[0].first, 1);
            EXPECT_GE(told[0].second, 2);
            EXPECT_EQ(told[1].second, told[0].second);
            EXPECT_EQ(crackdepth::testing::readBytes(earlier),
                      (std::vector<std::uint8_t>{'o', 'l', 'd'}));
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                                    std::filesystem::directory_iterator()),
                      1)
                << "no temporary file is left";
        }
    }
}

} // namespace
} // namespace crackdepth::report
