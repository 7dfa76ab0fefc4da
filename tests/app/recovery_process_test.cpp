// The recovery copy across a real crash: the program (its own start, in a process of its own)
// opens a result file and is edited, then killed with SIGKILL; a program started meanwhile is
// not offered the running one's copy; the next start offers the copy, restores it and saves
// with Ctrl+S, and the file then holds exactly the bytes of the same edits saved normally.
#include "../core/document_fixture.h"
#include "../core/recovery_edits.h"
#include "core/document/model/recovery_store.h"

#include <QProcess>
#include <QStringList>
#include <csignal>
#include <gtest/gtest.h>

namespace crackdepth::testing {
namespace {

const QString kProgram = QStringLiteral(CRACKDEPTH_RECOVERY_PROGRAM);

QStringList linesOf(const QByteArray& output) {
    return QString::fromUtf8(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Runs the program to its end; its output lines.
QStringList runToEnd(const QString& mode, const std::filesystem::path& folder,
                     const std::string& file) {
    QProcess process;
    process.start(kProgram,
                  {mode, QString::fromStdString(folder.string()), QString::fromStdString(file)});
    EXPECT_TRUE(process.waitForFinished(120000)) << "the program did not end";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return linesOf(process.readAllStandardOutput());
}

std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RecoveryProcess, EditsKilledWithTheProgramAreRestoredAndSaveTheBytesOfANormalSave) {
    const TempDir dir;
    const std::filesystem::path folder = dir.path() / "settings";
    std::filesystem::create_directories(dir.path() / "work");
    std::filesystem::create_directories(dir.path() / "reference");
    const std::string work = (dir.path() / "work" / "SITE.DPA").string();
    const std::string reference = (dir.path() / "reference" / "SITE.DPA").string();
    const std::vector<std::uint8_t> original = readBytes(kIndependentFixtures / "SITE.DPA");
    writeBytes(work, original);
    writeBytes(reference, original);

    // The same edits, saved normally.
    {
        ScriptedPrompts prompts;
        Document document(prompts, {});
        ASSERT_TRUE(document.OpenDocument(reference));
        editLikeAnOperator(document);
        ASSERT_TRUE(document.SaveDocument(reference));
    }
    ASSERT_NE(readBytes(reference), original);

    QProcess edited;
    edited.start(kProgram,
                 {"edit", QString::fromStdString(folder.string()), QString::fromStdString(work)});
    QString ready;
    while (ready.isEmpty() && edited.waitForReadyRead(120000)) {
        for (const QString& line : linesOf(edited.readAllStandardOutput())) {
            if (line.startsWith(QStringLiteral("READY "))) {
                ready = line.mid(6);
            }
        }
    }
    ASSERT_FALSE(ready.isEmpty()) << edited.readAllStandardError().toStdString();
    EXPECT_TRUE(std::filesystem::exists(ready.toStdString()));
    EXPECT_EQ(readBytes(work), original) << "the copy is never written over the user's file";

    // A second program while the first one runs: nothing of the first is offered to it, and
    // its clean end leaves the first one's copy alone.
    EXPECT_EQ(runToEnd("restore", folder, work), QStringList{"ASKED 0"});
    EXPECT_TRUE(std::filesystem::exists(ready.toStdString()));

    ::kill(static_cast<pid_t>(edited.processId()), SIGKILL);
    ASSERT_TRUE(edited.waitForFinished(60000));
    ASSERT_EQ(edited.exitStatus(), QProcess::CrashExit);

    const QStringList restored = runToEnd("restore", folder, work);
    EXPECT_EQ(restored,
              (QStringList{"ASKED 1", "QUESTION-NAMES-FILE 1", "MODIFIED 1",
                           "PATH " + QString::fromStdString(work),
                           "TITLE ULK浅裂缝分析软件   Dalmora - SITE.DPA*", "COPY-AFTER-SAVE 0"}));
    EXPECT_EQ(readBytes(work), readBytes(reference));
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"tessvel.ini"})
        << "no copy or lock is left after a save and a clean end";
}

} // namespace
} // namespace crackdepth::testing
