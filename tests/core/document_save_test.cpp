// The save flows of the document: which line a raw save writes and in which format, Ctrl+N,
// and the title, path and file list after a save; with the end-of-open resets. The save
// question of every path is in save_rule_test.cpp.
#include "core/data/line_block.h"
#include "core/data/measurement_file.h"
#include "core/document/commands/picking.h"
#include "core/document/model/document.h"
#include "core/document/model/line_tabs.h"
#include "core/document/model/points_edit.h"
#include "core/document/model/result_io.h"
#include "document_fixture.h"
#include "document_support.h"

#include <functional>
#include <optional>

namespace crackdepth {
namespace {

using testing::firstDifference;
using testing::readBytes;

class DocumentSave : public testing::DocumentFixture {
protected:
    // A document of its own for one case of a table, over fresh copies of the files.
    std::unique_ptr<Document> openFresh(const std::vector<const char*>& files) {
        copyFixtures();
        prompts.shown.clear();
        prompts.answers.clear();
        prompts.files.clear();
        auto document = std::make_unique<Document>(prompts, std::filesystem::path{});
        for (const char* file : files) {
            EXPECT_TRUE(document->OpenDocument(at(file))) << file;
        }
        prompts.shown.clear();
        return document;
    }
    std::string title(const std::string& name) const { return kTitlePrefix + name; }
    std::vector<std::string> kinds() const {
        std::vector<std::string> shown;
        for (const auto& entry : prompts.shown) {
            shown.push_back(entry.kind);
        }
        return shown;
    }
};

std::vector<std::uint8_t> blockOf(const TestParameters& header, const PointList& line) {
    std::vector<std::uint8_t> bytes;
    WriteLineBlock(bytes, header, line);
    return bytes;
}

// A raw file holds the line of its format: ".DP1" the crossing line under its own header,
// ".DP0" the non-crossing line, whichever line is shown. Before, a raw save wrote the shown
// line, and every open ends with the non-crossing line shown: "快存结果文件" after opening X.DP1
// overwrote it with the non-crossing points under the crossing header, and a ".DP1" save to another
// path took the non-crossing header, which no reader accepts in a crossing file.
TEST_F(DocumentSave, ARawSaveWritesTheLineOfItsFormatWhicheverLineIsShown) {
    struct Shown {
        const char* name;
        std::function<void(Document&)> select;
    };
    const Shown states[] = {
        {"as the open left it", [](Document&) {}},
        {"crossing tab", [](Document& d) { d.SelectTab(1); }},
        {"plot click under the crossing tab",
         [](Document& d) {
             d.SelectTab(1);
             d.ShowLine(ShownLine::NonCrossing);
         }},
    };
    struct Save {
        const char* name;
        const char* target;
        bool crossing;
        std::function<void(Document&, const std::string&)> run;
    };
    const Save saves[] = {
        {"快存结果文件", "SITE_C1.DP1", true,
         [](Document& d, const auto&) { d.QuickSaveCommand(); }},
        {".DP1 to another path", "COPY.DP1", true,
         [](Document& d, const std::string& path) { EXPECT_TRUE(d.SaveDocument(path)); }},
        {".DP0", "SITE.DP0", false,
         [](Document& d, const std::string& path) { EXPECT_TRUE(d.SaveDocument(path)); }},
    };
    for (const Shown& state : states) {
        for (const Save& save : saves) {
            SCOPED_TRACE(std::string(state.name) + ", " + save.name);
            auto document = openFresh({"SITE.DP0", "SITE_C1.DP1"});
            state.select(*document);
            save.run(*document, at(save.target));
            EXPECT_TRUE(prompts.messages().empty());

            const DocumentData& data = document->data();
            const PointList& line = save.crossing ? *data.rawCrossingList : *data.nonCrossingList;
            const TestParameters& header =
                save.crossing ? data.rawCrossingParameters : data.nonCrossingParameters;
            LineData written;
            ASSERT_EQ(ReadRawFile(at(save.target), written), BlockStatus::Ok);
            EXPECT_EQ(written.header.signature,
                      save.crossing ? kCrossingSignature : kNonCrossingSignature);
            EXPECT_EQ(written.points.size(), line.size());
            EXPECT_EQ(firstDifference(readBytes(at(save.target)), blockOf(header, line)), -1);
        }
    }
}

// Before, the first of ".DP0", ".DP1", ".DPA" found anywhere in the path chose the format,
// so a folder named like a measurement file decided it.
// The step a save settles before writing ("保存前提交修正") is a step only when it changes
// something, and only when the file was written: a failed save keeps undo, redo and the
// modified state as they were.
TEST_F(DocumentSave, TheFoldBeforeASaveIsAStepOnlyWhenItChangesSomethingAndTheWriteSucceeds) {
    for (const char* target : {"SAVED.DPA", "SAVED.DP1"}) {
        SCOPED_TRACE(target);
        auto document = openFresh(std::string(target) == "SAVED.DPA"
                                      ? std::vector<const char*>{"SITE.DPA"}
                                      : std::vector<const char*>{"SITE.DP0", "SITE_C1.DP1"});
        // Saved once, nothing is left to settle: a second save adds no step.
        ASSERT_TRUE(document->SaveDocument(at(target)));
        const Edit* top = document->undoable();
        ASSERT_TRUE(document->SaveDocument(at(target)));
        EXPECT_EQ(document->undoable(), top) << "nothing to settle, no step";
        EXPECT_FALSE(document->IsModified());

        // A pending correction, undone and redone once so that a redo step exists.
        document->SelectTab(1);
        Corrections pending = correctionsOf(document->data());
        pending.all = 1.6f;
        document->perform(makeCorrectionsEdit("声时修正", pending));
        PickArrival(*document, (*document->data().shownList())[1].arrivalIndex + 4);
        document->Undo();
        const Edit* undo = document->undoable();
        const Edit* redo = document->redoable();
        ASSERT_NE(redo, nullptr);
        const auto before = testing::serialise(document->data(), testing::Selection::Left);
        prompts.shown.clear();
        EXPECT_FALSE(document->SaveDocument(at(std::string("missing/") + target)));
        EXPECT_EQ(prompts.shown.size(), 1u) << "the failure is reported";
        EXPECT_EQ(document->undoable(), undo) << "a failed save leaves no step behind";
        EXPECT_EQ(document->redoable(), redo) << "nor takes the redo step away";
        EXPECT_TRUE(document->IsModified());
        EXPECT_EQ(testing::serialise(document->data(), testing::Selection::Left), before);
    }
}

TEST_F(DocumentSave, TheSaveFormatComesFromTheFileNameNotFromAFolder) {
    struct Case {
        const char* target;
        bool result; // a result file open, else SITE.DP0 and SITE_C1.DP1
        std::optional<FileKind> written;
    };
    const Case cases[] = {
        {"A.DP0x/R.DPA", true, FileKind::Result},
        {"C.DP1/R.DPA", true, FileKind::Result},
        {"B.DP0/L.DP1", false, FileKind::CrossingRaw},
        {"notes.DP0.txt", false, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        auto document =
            openFresh(c.result ? std::vector{"SITE.DPA"} : std::vector{"SITE.DP0", "SITE_C1.DP1"});
        const std::filesystem::path target = at(c.target);
        std::filesystem::create_directories(target.parent_path());
        EXPECT_EQ(document->SaveDocument(target.string()), c.written.has_value());
        if (!c.written) {
            EXPECT_EQ(prompts.messages(), std::vector<std::string>{kUnrecognisedFileMessage});
            EXPECT_FALSE(std::filesystem::exists(target));
            continue;
        }
        EXPECT_TRUE(prompts.messages().empty());
        if (*c.written == FileKind::Result) {
            MeasurementFile file;
            OpenFailure failure;
            ASSERT_TRUE(openMeasurementFile(target, file, failure)) << failure.explanation;
            EXPECT_EQ(file.lines.size(), 3u);
        } else {
            LineData line;
            ASSERT_EQ(ReadRawFile(target, line), BlockStatus::Ok);
            EXPECT_EQ(line.header.signature, kCrossingSignature);
            EXPECT_EQ(line.points.size(), document->data().rawCrossingList->size());
        }
    }
}

// Ctrl+N: the save question of a modified document, then the document names no file. Before,
// the path stayed, so Ctrl+S and exit → Yes silently wrote the old file afterwards (and
// "Yes" with no path at all gave "无法识别的文件类型！" instead of a save dialog).
TEST_F(DocumentSave, NewAsksToSaveThenForgetsTheFile) {
    struct Case {
        const char* name;
        bool modified;
        std::deque<Answer> answers;
        bool done;
        bool fileWritten;
    };
    const Case cases[] = {
        {"unmodified", false, {}, true, false},
        {"Cancel", true, {Answer::Cancel}, false, false},
        {"No", true, {Answer::No}, true, false},
        {"Yes", true, {Answer::Yes}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto document = openFresh({"SITE.DPA"});
        if (c.modified) {
            modify(*document);
        }
        testing::EventLog log;
        document->addListener(&log);
        const std::string titleBefore = document->title();
        prompts.answers = c.answers;
        EXPECT_EQ(document->NewCommand(), c.done);
        document->removeListener(&log);

        ASSERT_EQ(prompts.shown.size(), c.modified ? 1u : 0u);
        if (c.modified) {
            EXPECT_EQ(prompts.shown[0].kind, "yesNoCancel");
            EXPECT_EQ(prompts.shown[0].text, "是否保存对 " + titleBefore + " 的更改?");
        }
        EXPECT_EQ(readBytes(at("SITE.DPA")) !=
                      readBytes(testing::kIndependentFixtures / "SITE.DPA"),
                  c.fileWritten);
        EXPECT_EQ(document->hasCrossingLine(), true) << "the lines stay";
        EXPECT_EQ(document->IsModified(), !c.done);
        EXPECT_EQ(document->path().empty(), c.done);
        EXPECT_EQ(document->fileList().names.empty(), c.done);
        EXPECT_EQ(log.saw(DocumentChange::FileList), c.done) << "the panel's list follows";
    }
}

TEST_F(DocumentSave, AfterNewASaveAsksWhereToWrite) {
    for (const bool chosen : {false, true}) {
        SCOPED_TRACE(chosen ? "file chosen" : "dialog cancelled");
        auto document = openFresh({"SITE.DPA"});
        ASSERT_TRUE(document->NewCommand());
        modify(*document);
        if (chosen) {
            prompts.files = {at("NAMED.DPA")};
        }
        EXPECT_EQ(document->ExitCommand(), chosen) << "a cancelled dialog keeps the program";
        EXPECT_EQ(kinds(), (std::vector<std::string>{"yesNoCancel", "save"}));
        EXPECT_TRUE(prompts.messages().empty());
        EXPECT_EQ(readBytes(at("SITE.DPA")), readBytes(testing::kIndependentFixtures / "SITE.DPA"))
            << "the old file is not touched";
        EXPECT_EQ(std::filesystem::exists(at("NAMED.DPA")), chosen);
        EXPECT_EQ(document->path(), chosen ? at("NAMED.DPA") : "");
    }
}

// After a save the title, the document's path and the information panel's file list name
// the same file. Before, a save announced no file-list change and kept the document's path,
// so after "结果文件另存为" the list still named the old file while the title named the new
// one. Which name the title shows is the save's own rule: the written file, or for a raw
// save that did not take the line over to the target, the line's file.
TEST_F(DocumentSave, TheTitleThePathAndTheFileListNameTheSameFileAfterASave) {
    struct Case {
        const char* name;
        std::vector<const char*> files;
        std::function<void(Document&)> save;
        const char* shown; // the file the title names, relative to the folder
        const char* currentFileName;
        const char* nonCrossingName;
        const char* crossingName;
    };
    const auto saveAs = [this](const char* target) {
        return [this, target](Document& d) {
            prompts.files = {at(target)};
            d.SaveAsCommand();
        };
    };
    const auto saveTo = [this](const char* target) {
        return [this, target](Document& d) { EXPECT_TRUE(d.SaveDocument(at(target))); };
    };
    const Case cases[] = {
        {"result saved as",
         {"SITE.DPA"},
         saveAs("out/NEW.DPA"),
         "out/NEW.DPA",
         "NEW.DPA",
         "NEW.DPA",
         "NEW.DPA"},
        {"result over a raw non-crossing line saved as",
         {"SITE.DPA", "SITE.DP0"},
         saveAs("out/NEW.DPA"),
         "out/NEW.DPA",
         "SITE.DP0",
         "SITE.DP0",
         "SITE.DPA"},
        {".DP0 to the line's file",
         {"SITE.DP0", "SITE_C1.DP1"},
         saveTo("SITE.DP0"),
         "SITE.DP0",
         "SITE.DP0",
         "SITE.DP0",
         "SITE_C1.DP1"},
        {".DP0 to another file",
         {"SITE.DP0", "SITE_C1.DP1"},
         saveTo("out/OTHER.DP0"),
         "SITE.DP0",
         "SITE_C1.DP1",
         "SITE.DP0",
         "SITE_C1.DP1"},
        {".DP1 to another file",
         {"SITE.DP0", "SITE_C1.DP1"},
         saveTo("out/COPY.DP1"),
         "SITE_C1.DP1",
         "SITE_C1.DP1",
         "SITE.DP0",
         "SITE_C1.DP1"},
        {"快存结果文件 after the non-crossing file again",
         {"SITE.DP0", "SITE_C1.DP1", "SITE.DP0"},
         [](Document& d) { d.QuickSaveCommand(); },
         "SITE_C1.DP1",
         "SITE_C1.DP1",
         "SITE.DP0",
         "SITE_C1.DP1"},
        {".DP0 of a result",
         {"SITE.DPA"},
         saveTo("out/N.DP0"),
         "SITE.DPA",
         "SITE.DPA",
         "SITE.DPA",
         "SITE.DPA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto document = openFresh(c.files);
        std::filesystem::create_directories(dir.path() / "out");
        testing::writeBytes(dir.path() / "out" / "A.DPA", {});
        testing::EventLog log;
        document->addListener(&log);
        c.save(*document);
        document->removeListener(&log);
        EXPECT_TRUE(prompts.messages().empty());

        const std::string shown = at(c.shown);
        EXPECT_EQ(document->title(), title(fileNameOf(shown)));
        EXPECT_EQ(document->path(), shown);
        const FileList list = document->fileList();
        ASSERT_GE(list.selected, 0);
        EXPECT_EQ(list.paths[static_cast<std::size_t>(list.selected)], shown);
        EXPECT_TRUE(log.saw(DocumentChange::FileList));
        const PathFields& paths = document->data().paths;
        EXPECT_EQ(paths.currentFileName, c.currentFileName);
        EXPECT_EQ(paths.nonCrossingName, c.nonCrossingName);
        EXPECT_EQ(paths.crossingName, c.crossingName);
        EXPECT_FALSE(document->IsModified());
    }
}

TEST_F(DocumentSave, EveryOpenEndsWithFiltersOffCorrectionsZeroAndNothingToUndo) {
    struct Case {
        std::vector<const char*> before;
        const char* opened;
        // Still modified after "不保存": the non-crossing line stays, and the corrections
        // edit names no line, so it counts as one of what stays.
        bool keepsUnsaved;
    };
    const Case cases[] = {
        {{"SITE.DP0"}, "SITE.DP0", false},
        {{"SITE.DP0", "SITE_C1.DP1"}, "SITE_C2.DP1", true},
        {{"SITE.DPA"}, "SITE.DPA", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.opened);
        auto document = openFresh(c.before);
        document->rememberFilterSettings({.highOn = true, .lowOn = true});
        Corrections corrections = correctionsOf(document->data());
        corrections.all = 1.6f;
        corrections.nonCrossing = 0.8f;
        document->perform(makeCorrectionsEdit("声时修正", corrections));
        document->SelectTab(crossingTabCount(document->data()));
        modify(*document);
        ASSERT_NE(document->data().correctionAll, 0.0f);

        prompts.answers = {Answer::No};
        ASSERT_TRUE(document->OpenDocument(at(c.opened)));
        const DocumentData& data = document->data();
        EXPECT_FALSE(document->filterSettings().anyOn());
        EXPECT_EQ(data.correctionAll, 0.0f);
        EXPECT_EQ(data.correctionNonCrossing, 0.0f);
        EXPECT_EQ(data.currentTab, 0);
        EXPECT_EQ(data.shownList(), data.nonCrossingList.get());
        EXPECT_EQ(document->IsModified(), c.keepsUnsaved);
        EXPECT_EQ(document->undoable(), nullptr);
        EXPECT_EQ(document->path(), at(c.opened));
        EXPECT_EQ(document->title(), title(c.opened));
        EXPECT_EQ(kinds(), std::vector<std::string>{"yesNoCancel"});
    }
}

} // namespace
} // namespace crackdepth
