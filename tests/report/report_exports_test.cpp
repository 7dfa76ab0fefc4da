// The report commands that write files, driven through the document's prompts: one save
// dialog per bitmap page (a cancelled one skips only its page), confirmations and "error!",
// the selection afterwards, and the PDF export's proposal and messages.
#include "../core/document_fixture.h"
#include "core/document/document.h"
#include "core/document/scripted_prompts.h"
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

TEST_F(ReportExports, OneDialogPerBitmapPageAndACancelledOneSkipsOnlyItsPage) {
    PrintSettings settings; // the standard style: three pages for the two cracks here
    doc.SelectTab(1);
    prompts.files = {std::nullopt, at("second"), at("third.bmp")};
    const RenderSummary summary = ExportBitmapReport(doc, settings);
    ASSERT_EQ(summary.pages, 3);
    EXPECT_EQ(saveDialogs(), std::vector<std::string>(3, kBmpFilter));
    EXPECT_EQ(summary.skipped, 1);
    EXPECT_EQ(summary.written, 2);
    EXPECT_FALSE(std::filesystem::exists(at("second")));
    EXPECT_EQ(std::filesystem::file_size(at("second.bmp")), 184862u) << "the dialog's extension";
    EXPECT_EQ(std::filesystem::file_size(at("third.bmp")), 184862u);
    EXPECT_EQ(prompts.messages(), std::vector<std::string>(2, kBmpPageWrittenMessage));
    EXPECT_EQ(doc.data().currentTab, static_cast<std::int32_t>(doc.data().crossingLists.size()))
        << "the last crossing line is selected";
}

TEST_F(ReportExports, AFailedBitmapPageSaysErrorAndTheNextGoesOn) {
    PrintSettings settings;
    settings.reportStyle = 1; // simple: every crack on page 1 here
    prompts.files = {at("missing/page.bmp"), at("ok.bmp")};
    const RenderSummary summary = ExportBitmapReport(doc, settings);
    EXPECT_GE(summary.failed, 1);
    ASSERT_FALSE(prompts.messages().empty());
    EXPECT_EQ(prompts.messages().front(), kBmpWriteFailedMessage);
    EXPECT_FALSE(std::filesystem::exists(at("missing")));
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
