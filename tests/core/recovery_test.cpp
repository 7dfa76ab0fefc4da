// The recovery copy: a document restored from it is the lost one (data, corrections,
// selection, the file it names, modified) and saves the same bytes; a damaged copy is refused
// and changes nothing; when copies are written and removed; how copies are found again.
#include "core/document/model/recovery_file.h"
#include "core/document/model/recovery_schedule.h"
#include "core/document/model/recovery_store.h"
#include "document_fixture.h"
#include "document_support.h"
#include "recovery_edits.h"

#include <gtest/gtest.h>

namespace crackdepth::testing {
namespace {

class RecoveryCopy : public DocumentFixture {
protected:
    std::filesystem::path copyFile(const std::string& name = "crackdepth-1-1.recovery") const {
        return dir.path() / "settings" / name;
    }
    std::vector<std::filesystem::path> folderEntries(const std::filesystem::path& folder) const {
        std::vector<std::filesystem::path> entries;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            entries.push_back(entry.path().filename());
        }
        std::sort(entries.begin(), entries.end());
        return entries;
    }
};

TEST_F(RecoveryCopy, RestoresEveryKindOfDocumentAsItWasAndSavesTheSameBytes) {
    const struct {
        const char* name;
        std::vector<std::string> opens;
        const char* saved; // the file Ctrl+S writes
    } cases[] = {
        {"non-crossing raw file", {"SITE.DP0"}, "SITE.DP0"},
        {"raw crossing file over it", {"SITE.DP0", "SITE_C1.DP1"}, "SITE_C1.DP1"},
        {"result file", {"SITE.DPA"}, "SITE.DPA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        copyFixtures();
        ScriptedPrompts lostPrompts;
        Document lost(lostPrompts, {});
        for (const std::string& file : c.opens) {
            ASSERT_TRUE(lost.OpenDocument(at(file)));
        }
        editLikeAnOperator(lost);
        ASSERT_TRUE(lost.IsModified());
        const std::vector<std::uint8_t> userFile = readBytes(at(c.saved));

        RecoveryStore store(copyFile());
        ASSERT_TRUE(store.write(lost, 1765400000).ok);
        EXPECT_EQ(readBytes(at(c.saved)), userFile) << "the user's file is never written";
        EXPECT_EQ(folderEntries(copyFile().parent_path()),
                  (std::vector<std::filesystem::path>{copyFile().filename(),
                                                      lockFileOf(copyFile()).filename()}))
            << "no temporary file is left beside the copy";

        ScriptedPrompts restoredPrompts;
        Document restored(restoredPrompts, {});
        ASSERT_TRUE(RestoreRecoveryCopy(restored, copyFile()));
        EXPECT_EQ(serialise(restored.data()), serialise(lost.data()));
        EXPECT_EQ(restored.path(), at(c.saved)) << "a save goes to the file that was open";
        EXPECT_EQ(restored.title(), lost.title());
        EXPECT_TRUE(restored.IsModified());
        EXPECT_TRUE(restoredPrompts.shown.empty());

        // What Ctrl+S writes from the restored document is what the lost one would have
        // written.
        const std::string reference = at(std::string("reference") + c.saved);
        std::filesystem::copy_file(at(c.saved), reference);
        ASSERT_TRUE(lost.SaveDocument(reference));
        ASSERT_TRUE(restored.SaveDocument(restored.path()));
        EXPECT_FALSE(restored.IsModified());
        EXPECT_EQ(readBytes(at(c.saved)), readBytes(reference));
        EXPECT_NE(readBytes(at(c.saved)), userFile) << "the edits reached the file";
        std::filesystem::remove(reference);
        store.close();
    }
}

TEST_F(RecoveryCopy, AnUnnamedDocumentStaysUnnamed) {
    ASSERT_TRUE(doc.OpenDocument(at("SITE.DPA")));
    ASSERT_TRUE(doc.NewCommand());
    editLikeAnOperator(doc);
    ASSERT_TRUE(RecoveryStore(copyFile()).write(doc, 1).ok);

    ScriptedPrompts restoredPrompts;
    Document restored(restoredPrompts, {});
    ASSERT_TRUE(RestoreRecoveryCopy(restored, copyFile()));
    EXPECT_EQ(restored.path(), "");
    EXPECT_TRUE(restored.IsModified());
    EXPECT_EQ(serialise(restored.data()), serialise(doc.data()));
}

TEST_F(RecoveryCopy, ADamagedCopyIsRefusedAndChangesNothing) {
    ASSERT_TRUE(doc.OpenDocument(at("SITE.DPA")));
    editLikeAnOperator(doc);
    const std::vector<std::uint8_t> whole = WriteRecoveryCopy(doc.data(), doc.path(), 7);

    // Copies whose checksum holds but whose contents the program could not hold.
    DocumentData badSelection = readDocument(at("SITE.DPA"));
    badSelection.currentTab = 9;
    DocumentData shortWaveform = readDocument(at("SITE.DPA"));
    (*shortWaveform.crossingLists[1])[3].samples.pop_back();
    DocumentData emptyWaveform = readDocument(at("SITE.DPA"));
    (*emptyWaveform.crossingLists[1])[3].samples.clear();

    std::vector<std::uint8_t> flipped = whole;
    flipped[flipped.size() / 2] ^= 0x40;
    std::vector<std::uint8_t> otherVersion = whole;
    otherVersion[8] = 2;
    const std::vector<std::uint8_t> text{'h', 'e', 'l', 'l', 'o', '\n'};
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"cut inside the heading", {whole.begin(), whole.begin() + 10}},
        {"cut in half", {whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2)}},
        {"one byte short", {whole.begin(), whole.end() - 1}},
        {"one byte too many",
         [&] {
             auto longer = whole;
             longer.push_back(0);
             return longer;
         }()},
        {"a flipped bit", flipped},
        {"another version", otherVersion},
        {"not a copy", text},
        {"a selection beyond the lines", WriteRecoveryCopy(badSelection, "x.DPA", 1)},
        {"a waveform shorter than its line", WriteRecoveryCopy(shortWaveform, "x.DPA", 1)},
        {"an empty waveform", WriteRecoveryCopy(emptyWaveform, "x.DPA", 1)},
    };

    ScriptedPrompts otherPrompts;
    Document other(otherPrompts, {});
    ASSERT_TRUE(other.OpenDocument(at("SITE.DP0")));
    const std::vector<std::uint8_t> before = serialise(other.data());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        otherPrompts.shown.clear();
        writeBytes(copyFile(), c.bytes);
        EXPECT_FALSE(RestoreRecoveryCopy(other, copyFile()));
        ASSERT_EQ(otherPrompts.shown.size(), 1u);
        EXPECT_EQ(otherPrompts.shown[0].icon, MessageIcon::Error);
        EXPECT_TRUE(otherPrompts.shown[0].text.starts_with(std::string(kRecoveryDamagedMessage) +
                                                           "\n" + copyFile().string()))
            << otherPrompts.shown[0].text;
        EXPECT_EQ(serialise(other.data()), before);
        EXPECT_EQ(other.path(), at("SITE.DP0"));
        EXPECT_FALSE(other.IsModified());
    }
    EXPECT_FALSE(RestoreRecoveryCopy(other, copyFile("missing.recovery")));
}

TEST(RecoverySchedule, WritesAtMostAMinuteLateAndRemovesTheCopyOnceNothingIsUnsaved) {
    using Action = RecoverySchedule::Action;
    enum class Event { Edit, Tick, Unmodified };
    const struct Step {
        int second;
        Event event;
        Action expected;
        bool writeSucceeds = true; // for a Write: what the write did
    } steps[] = {
        {0, Event::Tick, Action::None},  // nothing edited yet
        {5, Event::Edit, Action::Write}, // the first edit is written at once
        {10, Event::Edit, Action::None}, // within the minute: waits for the check
        {30, Event::Edit, Action::None},
        {60, Event::Tick, Action::Write},  // the check writes what changed
        {120, Event::Tick, Action::None},  // nothing changed since
        {150, Event::Edit, Action::Write}, // an edit after a quiet minute
        {170, Event::Edit, Action::None},
        {180, Event::Tick, Action::Write, false}, // the disk refuses it
        {181, Event::Edit, Action::None},         // still within the minute of the last copy
        {240, Event::Tick, Action::Write},        // the next check tries again
        {241, Event::Unmodified, Action::Remove}, // saved, or undone back to the file
        {300, Event::Tick, Action::None},
        {301, Event::Unmodified, Action::None}, // nothing on disk to remove
        {302, Event::Edit, Action::Write},
    };
    RecoverySchedule schedule;
    const RecoverySchedule::Clock::time_point start{};
    bool modified = false;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.second);
        const auto now = start + std::chrono::seconds(step.second);
        if (step.event != Event::Tick) {
            modified = step.event == Event::Edit;
        }
        const Action action =
            step.event == Event::Tick ? schedule.tick(modified) : schedule.changed(modified, now);
        EXPECT_EQ(action, step.expected);
        if (action == Action::Write) {
            schedule.written(step.writeSucceeds, now);
            EXPECT_EQ(schedule.upToDate(), step.writeSucceeds);
        } else if (action == Action::Remove) {
            schedule.removed();
            EXPECT_FALSE(schedule.onDisk());
        }
    }
}

TEST_F(RecoveryCopy, CopiesAreFoundNewestFirstWithoutTheProgramsOwn) {
    ASSERT_TRUE(doc.OpenDocument(at("SITE.DP0")));
    modify();
    const std::filesystem::path folder = copyFile().parent_path();
    const struct {
        std::string name;
        std::int64_t savedAt;
    } copies[] = {
        {recoveryFileName(100, 5), 1000},
        {recoveryFileName(200, 6), 3000},
        {recoveryFileName(300, 7), 2000},
        {recoveryFileName(400, 8), 9000}, // this program's own
    };
    for (const auto& copy : copies) {
        ASSERT_TRUE(RecoveryStore(folder / copy.name).write(doc, copy.savedAt).ok);
    }
    writeBytes(folder / "tessvel.ini", {1, 2, 3});
    writeBytes(folder / recoveryFileName(500, 9), {1, 2, 3}); // damaged: listed, last

    const auto found = FindRecoveryCopies(folder, folder / recoveryFileName(400, 8));
    std::vector<std::string> names;
    for (const RecoveryCandidate& candidate : found) {
        names.push_back(candidate.file.filename().string());
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{recoveryFileName(200, 6), recoveryFileName(300, 7),
                                        recoveryFileName(100, 5), recoveryFileName(500, 9)}));
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].documentPath, at("SITE.DP0"));
    EXPECT_EQ(found[0].savedAt, 3000);
    EXPECT_EQ(found[3].documentPath, "");

    EXPECT_NE(recoveryFileName(100, 5), recoveryFileName(100, 6)) << "a process number reused";
    EXPECT_FALSE(isRecoveryFileName("tessvel.ini"));
    EXPECT_TRUE(FindRecoveryCopies(dir.path() / "no such folder").empty());

    const RecoveryStore store(folder / recoveryFileName(100, 5));
    EXPECT_TRUE(store.remove());
    EXPECT_FALSE(std::filesystem::exists(store.file()));
    EXPECT_TRUE(store.remove()) << "nothing left to remove is no failure";
}

// Programs side by side: each writes only its own copy; a running program's copy is never
// offered to another; a copy left by a program that ended is claimed by one program only, and
// after "恢复" that program goes on writing it under its name.
TEST_F(RecoveryCopy, OnlyTheCopiesOfEndedProgramsAreClaimedAndEachByOneProgram) {
    ASSERT_TRUE(doc.OpenDocument(at("SITE.DPA")));
    editLikeAnOperator(doc);
    const std::filesystem::path folder = copyFile().parent_path();
    const auto exists = [&](const std::string& name) {
        return std::filesystem::exists(folder / name);
    };

    RecoveryStore running(folder / recoveryFileName(1, 1));
    ASSERT_TRUE(running.locked());
    ASSERT_TRUE(running.write(doc, 100).ok);
    {
        // A program killed while its document was modified: its copy and lock file stay,
        // the lock itself goes with the program.
        RecoveryStore killed(folder / recoveryFileName(2, 2));
        ASSERT_TRUE(killed.write(doc, 200).ok);
    }
    {
        RecoveryStore cleanExit(folder / recoveryFileName(3, 3));
        ASSERT_TRUE(cleanExit.write(doc, 300).ok);
        cleanExit.close();
    }
    EXPECT_FALSE(exists(recoveryFileName(3, 3)));
    EXPECT_FALSE(exists(recoveryFileName(3, 3) + ".lock"));
    {
        RecoveryStore unmodified(folder / recoveryFileName(4, 4)); // killed, never wrote
    }
    ASSERT_TRUE(exists(recoveryFileName(4, 4) + ".lock"));

    RecoveryStore starting(folder / recoveryFileName(5, 5));
    std::vector<ClaimedCopy> claims = ClaimLeftoverCopies(folder, starting.file());
    ASSERT_EQ(claims.size(), 1u) << "the running program's copy is not offered";
    EXPECT_EQ(claims[0].candidate.file, folder / recoveryFileName(2, 2));
    EXPECT_EQ(claims[0].candidate.savedAt, 200);
    EXPECT_FALSE(exists(recoveryFileName(4, 4) + ".lock")) << "a stray lock is cleared";

    RecoveryStore alsoStarting(folder / recoveryFileName(6, 6));
    EXPECT_TRUE(ClaimLeftoverCopies(folder, alsoStarting.file()).empty())
        << "a copy being offered by one program is not offered by another";

    ScriptedPrompts restoredPrompts;
    Document restored(restoredPrompts, {});
    ASSERT_TRUE(starting.restore(restored, std::move(claims[0])));
    EXPECT_EQ(starting.file(), folder / recoveryFileName(2, 2));
    EXPECT_TRUE(restored.IsModified());
    EXPECT_FALSE(exists(recoveryFileName(5, 5) + ".lock")) << "the fresh name is given up";
    EXPECT_TRUE(ClaimLeftoverCopies(folder, alsoStarting.file()).empty())
        << "the restored copy now belongs to a running program";
    ASSERT_TRUE(starting.write(restored, 500).ok);
    EXPECT_EQ(FindRecoveryCopies(folder, running.file()).at(0).savedAt, 500);

    // "放弃" removes a copy and its lock; a copy that cannot be read is kept aside.
    {
        RecoveryStore killed(folder / recoveryFileName(7, 7));
        ASSERT_TRUE(killed.write(doc, 700).ok);
    }
    {
        RecoveryStore killed(folder / recoveryFileName(8, 8));
        writeBytes(killed.file(), {1, 2, 3});
    }
    claims = ClaimLeftoverCopies(folder, alsoStarting.file());
    ASSERT_EQ(claims.size(), 2u);
    EXPECT_EQ(claims[0].candidate.savedAt, 700);
    DiscardCopy(claims[0]);
    EXPECT_FALSE(exists(recoveryFileName(7, 7)));
    EXPECT_FALSE(exists(recoveryFileName(7, 7) + ".lock"));
    ScriptedPrompts otherPrompts;
    Document other(otherPrompts, {});
    EXPECT_FALSE(alsoStarting.restore(other, std::move(claims[1])));
    EXPECT_EQ(alsoStarting.file(), folder / recoveryFileName(6, 6));
    EXPECT_TRUE(exists(recoveryFileName(8, 8) + ".damaged"));
    EXPECT_FALSE(exists(recoveryFileName(8, 8)));
    EXPECT_TRUE(ClaimLeftoverCopies(folder, alsoStarting.file()).empty());
}

} // namespace
} // namespace crackdepth::testing
