// The one save rule of every path that drops what the document holds (the opens of every
// kind, the open commands, Ctrl+O, new, close and exit): one question "是否保存对 …
// 的更改?" (Yes/No/Cancel) when, and only when, the document is modified; Cancel changes
// nothing, No goes on without writing, Yes saves first. Closing or opening that drops one line
// leaves the unsaved edits of the others counted.
#include "core/document/model/document.h"
#include "core/document/model/line_tabs.h"
#include "document_fixture.h"
#include "document_support.h"

#include <functional>

namespace crackdepth {
namespace {

using testing::readBytes;

class SaveRule : public testing::DocumentFixture {
public:
    using testing::DocumentFixture::at; // for the table's steps

protected:
    std::unique_ptr<Document> openFresh(const std::vector<const char*>& files) {
        copyFixtures();
        testing::writeBytes(dir.path() / "OTHER.DPA",
                            readBytes(testing::kIndependentFixtures / "SITE.DPA"));
        testing::writeBytes(dir.path() / "OTHER.DP0",
                            readBytes(testing::kIndependentFixtures / "SITE.DP0"));
        std::filesystem::remove(at("SAVED.DPA"));
        auto document = std::make_unique<Document>(prompts, std::filesystem::path{});
        for (const char* file : files) {
            EXPECT_TRUE(document->OpenDocument(at(file))) << file;
        }
        prompts.shown.clear();
        prompts.answers.clear();
        prompts.files.clear();
        return document;
    }
    std::vector<std::string> kinds() const {
        std::vector<std::string> shown;
        for (const auto& entry : prompts.shown) {
            shown.push_back(entry.kind);
        }
        return shown;
    }
    // True when none of the measurement files in the folder was written.
    bool nothingWritten() const {
        for (const char* file : {"SITE.DP0", "SITE_C1.DP1", "SITE_C2.DP1", "SITE.DPA"}) {
            if (readBytes(dir.path() / file) != readBytes(testing::kIndependentFixtures / file)) {
                return false;
            }
        }
        return !std::filesystem::exists(at("SAVED.DPA"));
    }
    static std::string title(const std::string& name) { return kTitlePrefix + name; }
};

TEST_F(SaveRule, EveryPathThatDropsTheDocumentAsksOnceWhenItIsModified) {
    struct Path {
        const char* name;
        std::vector<const char*> before;
        std::vector<const char*> chosen; // in the open dialog, before the question
        // Runs the path; true when it went through (opened, closed, may exit).
        std::function<bool(SaveRule&, Document&)> run;
        // What Yes writes: the document's own file (of two raw files, the non-crossing
        // file, which holds the edit, beside the crossing file).
        const char* savedTo;
        // After No the edit (on the non-crossing line) is still unsaved: only another line
        // was dropped, or nothing.
        bool keepsEdit;
    };
    const auto opens = [](const char* file) {
        return [file](SaveRule& self, Document& d) {
            return d.OpenDocument(self.at(file)) && d.title() == title(file);
        };
    };
    const auto titled = [](const char* file, void (Document::*command)()) {
        return [file, command](SaveRule&, Document& d) {
            (d.*command)();
            return d.title() == title(file);
        };
    };
    const std::vector<const char*> result{"SITE.DPA"};
    const std::vector<const char*> raw{"SITE.DP0", "SITE_C1.DP1"};
    const Path paths[] = {
        {"open a result file", result, {}, opens("OTHER.DPA"), "SITE.DPA", false},
        {"open a non-crossing file over a result",
         result,
         {},
         opens("SITE.DP0"),
         "SITE.DPA",
         false},
        {"open a crossing file over a result", result, {}, opens("SITE_C1.DP1"), "SITE.DPA", true},
        {"open a crossing file over a crossing file",
         raw,
         {},
         opens("SITE_C2.DP1"),
         "SITE.DP0",
         true},
        {"打开不跨裂缝文件",
         {"SITE.DP0"},
         {"OTHER.DP0"},
         titled("OTHER.DP0", &Document::OpenNonCrossingCommand),
         "SITE.DP0",
         false},
        {"打开结果文件",
         result,
         {"OTHER.DPA"},
         titled("OTHER.DPA", &Document::OpenResultCommand),
         "SITE.DPA",
         false},
        {"Ctrl+O",
         result,
         {"OTHER.DPA"},
         titled("OTHER.DPA", &Document::OpenAnyCommand),
         "SITE.DPA",
         false},
        {"Ctrl+N",
         result,
         {},
         [](SaveRule&, Document& d) { return d.NewCommand(); },
         "SITE.DPA",
         false},
        {"关闭当前文档, a result",
         result,
         {},
         [](SaveRule&, Document& d) {
             d.CloseCommand();
             return !d.hasNonCrossingLine();
         },
         "SITE.DPA",
         false},
        {"关闭当前文档, a crossing raw file",
         raw,
         {},
         [](SaveRule&, Document& d) {
             d.CloseCommand();
             return !d.hasCrossingLine() && d.hasNonCrossingLine();
         },
         "SITE.DP0",
         true},
        {"退出",
         result,
         {},
         [](SaveRule&, Document& d) { return d.ExitCommand(); },
         "SITE.DPA",
         true},
        {"退出, crossing raw file",
         raw,
         {},
         [](SaveRule&, Document& d) { return d.ExitCommand(); },
         "SITE.DP0",
         true},
    };
    struct Answered {
        const char* name;
        bool modified;
        std::optional<Answer> answer;
    };
    const Answered answers[] = {
        {"unmodified", false, std::nullopt},
        {"Cancel", true, Answer::Cancel},
        {"No", true, Answer::No},
        {"Yes", true, Answer::Yes},
    };
    for (const Path& path : paths) {
        for (const Answered& a : answers) {
            SCOPED_TRACE(std::string(path.name) + ", " + a.name);
            auto document = openFresh(path.before);
            if (a.modified) {
                modify(*document);
            }
            const std::vector<std::uint8_t> before = testing::serialise(document->data());
            const std::string titleBefore = document->title();
            const std::string pathBefore = document->path();
            std::vector<std::string> expected;
            for (const char* file : path.chosen) {
                prompts.files.push_back(at(file));
                expected.push_back("open");
            }
            if (a.answer) {
                prompts.answers = {*a.answer};
                expected.push_back("yesNoCancel");
            }

            const bool done = path.run(*this, *document);
            EXPECT_EQ(kinds(), expected);
            EXPECT_TRUE(prompts.messages().empty());
            if (a.answer && prompts.shown.size() > path.chosen.size()) {
                const auto& question = prompts.shown[path.chosen.size()];
                EXPECT_EQ(question.text, "是否保存对 " + titleBefore + " 的更改?");
            }
            if (a.answer == Answer::Cancel) {
                EXPECT_FALSE(done) << "Cancel stops the path";
                EXPECT_EQ(testing::serialise(document->data()), before);
                EXPECT_EQ(document->title(), titleBefore);
                EXPECT_EQ(document->path(), pathBefore);
                EXPECT_TRUE(document->IsModified());
                EXPECT_TRUE(nothingWritten());
                continue;
            }
            EXPECT_TRUE(done);
            if (a.answer == Answer::Yes) {
                EXPECT_NE(readBytes(dir.path() / path.savedTo),
                          readBytes(testing::kIndependentFixtures / path.savedTo));
                EXPECT_FALSE(document->IsModified());
            } else {
                EXPECT_TRUE(nothingWritten());
                EXPECT_EQ(document->IsModified(), a.modified && path.keepsEdit);
            }
        }
    }
}

// Yes whose save does not happen is a Cancel: the open does not drop the unsaved edits. A
// document without a file asks where to write; of two raw files the crossing file may fail
// after the non-crossing one was written, and its edits then still count as unsaved.
TEST_F(SaveRule, AYesWhoseSaveDoesNotHappenKeepsEverything) {
    struct Case {
        const char* name;
        std::vector<const char*> before;
        std::optional<std::string> chosen; // in the save dialog of a document without a file
        std::size_t messages;
    };
    const std::vector<const char*> result{"SITE.DPA"};
    const Case cases[] = {
        {"save dialog cancelled", result, std::nullopt, 0},
        {"write failed", result, "missing/SAVED.DPA", 1},
        {"crossing file not written", {"SITE.DP0", "SITE_C1.DP1"}, std::nullopt, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto document = openFresh(c.before);
        const bool raw = c.before.size() == 2;
        if (raw) {
            // A folder where the crossing file was: the write cannot replace it.
            std::filesystem::remove(at("SITE_C1.DP1"));
            std::filesystem::create_directory(at("SITE_C1.DP1"));
            document->SelectTab(1);
            modify(*document);
            document->SelectTab(0);
        } else {
            ASSERT_TRUE(document->NewCommand());
            prompts.files = {c.chosen ? std::optional(at(*c.chosen)) : std::nullopt};
        }
        modify(*document);
        const std::vector<std::uint8_t> before = testing::serialise(document->data());
        const std::string titleBefore = document->title();
        prompts.answers = {Answer::Yes};
        EXPECT_EQ(document->Open(at("OTHER.DPA")), OpenOutcome::Cancelled);
        EXPECT_EQ(prompts.messages().size(), c.messages);
        if (!raw) {
            EXPECT_EQ(document->title(), titleBefore);
        }
        if (c.messages == 0) {
            // (A write that failed leaves its commit step behind: not this rule's business.)
            EXPECT_EQ(testing::serialise(document->data()), before);
        }
        EXPECT_TRUE(document->hasCrossingLine());
        EXPECT_TRUE(document->IsModified());
        prompts.answers = {Answer::Cancel};
        EXPECT_FALSE(document->ExitCommand()) << "exit still asks";
    }
}

// Closing the crossing raw file drops that line and its edits only. Before, it cleared the
// modified state of the whole document, so the non-crossing line's edits were no longer asked
// about at exit.
TEST_F(SaveRule, ClosingTheCrossingLineKeepsTheOtherLinesEditsUnsaved) {
    struct Case {
        const char* name;
        bool nonCrossingEdit;
        bool crossingEdit;
    };
    const Case cases[] = {
        {"non-crossing line edited", true, false},
        {"crossing line edited", false, true},
        {"both edited", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto document = openFresh({"SITE.DP0", "SITE_C1.DP1"});
        if (c.crossingEdit) {
            document->SelectTab(1);
            modify(*document);
        }
        if (c.nonCrossingEdit) {
            document->SelectTab(0);
            modify(*document);
        }
        prompts.answers = {Answer::No};
        document->CloseCommand();
        ASSERT_FALSE(document->hasCrossingLine());
        EXPECT_EQ(document->IsModified(), c.nonCrossingEdit);
        prompts.shown.clear();
        prompts.answers = {Answer::Cancel};
        EXPECT_EQ(document->ExitCommand(), !c.nonCrossingEdit) << "exit asks for what is left";
        EXPECT_EQ(prompts.shown.size(), c.nonCrossingEdit ? 1u : 0u);
    }
}

// A crossing raw file opened over a result file takes the place of the current crossing line
// only; the result's other cracks stay. Before, every crossing line of the result was dropped.
TEST_F(SaveRule, ACrossingFileOverAResultReplacesOnlyTheCurrentCrossingLine) {
    auto document = openFresh({"SITE.DPA"});
    document->SelectTab(2);
    const DocumentData& data = document->data();
    ASSERT_EQ(data.crossingLists.size(), 2u);
    std::vector<std::uint8_t> first;
    WriteLineBlock(first, data.crossingParameters[0], *data.crossingLists[0]);

    ASSERT_TRUE(document->OpenDocument(at("SITE_C1.DP1")));
    ASSERT_EQ(data.crossingLists.size(), 2u) << "the other crack stays";
    std::vector<std::uint8_t> firstAfter;
    WriteLineBlock(firstAfter, data.crossingParameters[0], *data.crossingLists[0]);
    EXPECT_EQ(firstAfter, first);
    ASSERT_EQ(data.currentCrossingList(), data.crossingLists[1].get());
    EXPECT_EQ(data.crossingLists[1]->size(), 6u) << "SITE_C1.DP1's points";
    EXPECT_EQ(data.crossingCorrections[1], 0.0f);
    EXPECT_EQ(crossingTabCount(data), 2);
    EXPECT_TRUE(document->rawCrossingLoaded());
    EXPECT_EQ(document->title(), title("SITE_C1.DP1"));

    // Closing drops that line again; the result's other crack and its name stay.
    document->CloseCommand();
    ASSERT_EQ(data.crossingLists.size(), 1u);
    std::vector<std::uint8_t> remaining;
    WriteLineBlock(remaining, data.crossingParameters[0], *data.crossingLists[0]);
    EXPECT_EQ(remaining, first);
    EXPECT_EQ(document->title(), title("SITE.DPA"));
    EXPECT_TRUE(prompts.shown.empty());
}

} // namespace
} // namespace crackdepth
