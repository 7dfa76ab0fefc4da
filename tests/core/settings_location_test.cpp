// Where the settings come from and go to, and what the user hears when they cannot be saved.
#include "core/data/settings_file.h"
#include "core/data/settings_location.h"
#include "core/document/model/document.h"
#include "core/document/model/scripted_prompts.h"
#include "core/document/panel_state/panel_refresh.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace crackdepth {
namespace {

using testing::TempDir;

TEST(SettingsLocation, ReadFromTheNewestPlaceWrittenWhereWritable) {
    TempDir dir;
    const auto program = dir.path() / "bin";
    const auto user = dir.path() / "config" / "crackdepth" / kSettingsFileName;
    const auto beside = program / kSettingsFileName;
    std::filesystem::create_directories(program);
    std::filesystem::create_directories(user.parent_path());

    const struct {
        const char* what;
        bool writable;
        bool besideExists;
        bool userExists;
        std::filesystem::path read;
        std::filesystem::path write;
    } cases[] = {
        {"first run, writable folder", true, false, false, beside, beside},
        {"first run, read-only folder", false, false, false, user, user},
        {"writable folder with its file", true, true, true, beside, beside},
        {"read-only folder with a file beside the program", false, true, false, beside, user},
        {"read-only folder after a run saved to the user", false, true, true, user, user},
        {"folder became writable after runs saved to the user", true, false, true, user, beside},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(beside);
        std::filesystem::remove(user);
        if (c.besideExists) {
            testing::writeBytes(beside, {0});
        }
        if (c.userExists) {
            testing::writeBytes(user, {0});
        }
        const SettingsPaths paths = chooseSettingsPaths(program, c.writable, user);
        EXPECT_EQ(paths.read, c.read) << c.what;
        EXPECT_EQ(paths.write, c.write) << c.what;
    }
    EXPECT_TRUE(folderWritable(program));
    EXPECT_FALSE(folderWritable(dir.path() / "missing"));
}

TEST(SettingsLocation, TheDocumentReadsOneFileAndSavesTheOther) {
    TempDir dir;
    const SettingsPaths paths{dir.path() / "beside.ini", dir.path() / "user" / "tessvel.ini"};
    Settings stored;
    stored.project.texts[kProjectName] = "东桥";
    stored.panelWidths = {300, 220, 220};
    ASSERT_TRUE(SaveSettings(paths.read, stored).ok);
    const std::vector<std::uint8_t> besideBytes = testing::readBytes(paths.read);

    ScriptedPrompts prompts;
    {
        Document document(prompts, paths);
        EXPECT_EQ(document.projectInfo().texts[kProjectName], "东桥");
        EXPECT_EQ(document.settings().panelWidths[0], 300);
        ProjectInfo info = document.projectInfo();
        info.texts[kClient] = "管理处";
        EditProjectInfo(document, info, "工程信息", 1);
    }
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(testing::readBytes(paths.read), besideBytes) << "the file read is left alone";
    Settings saved;
    LoadSettings(paths.write, saved);
    EXPECT_EQ(saved.project.texts[kProjectName], "东桥");
    EXPECT_EQ(saved.project.texts[kClient], "管理处");
}

TEST(SettingsLocation, ASettingsFileThatCannotBeWrittenIsReportedOnceAtTheEnd) {
    TempDir dir;
    // A folder where the file should be.
    const auto blocked = dir.path() / kSettingsFileName;
    std::filesystem::create_directories(blocked);
    ScriptedPrompts prompts;
    {
        Document document(prompts, {blocked, blocked});
        EXPECT_TRUE(prompts.shown.empty()) << "nothing is said before the end of the run";
    }
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text,
              "设置文件保存失败！\n" + blocked.string() + "\nIs a directory");
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(std::filesystem::is_directory(blocked));

    // A document without a settings file saves nothing and says nothing.
    ScriptedPrompts silent;
    { Document document(silent, {}); }
    EXPECT_TRUE(silent.shown.empty());
}

} // namespace
} // namespace crackdepth
