// A document over copies of the independent measurement files in a fresh folder, for the
// tests of the open and save flows: SITE.DP0 (5 non-crossing points), SITE_C1.DP1 (6
// crossing points), SITE_C2.DP1 (12) and SITE.DPA (the non-crossing line and two cracks).
#pragma once

#include "core/document/commands/waveform_commands.h"
#include "core/document/model/document.h"
#include "core/document/model/scripted_prompts.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace crackdepth::testing {

inline const std::filesystem::path kIndependentFixtures = CRACKDEPTH_FIXTURES_DIR;

class DocumentFixture : public ::testing::Test {
protected:
    void SetUp() override { copyFixtures(); }

    // Puts the fixture files back as they were (a save may have overwritten them).
    void copyFixtures() {
        for (const char* file : {"SITE.DP0", "SITE_C1.DP1", "SITE_C2.DP1", "SITE.DPA"}) {
            writeBytes(dir.path() / file, readBytes(kIndependentFixtures / file));
        }
    }
    std::string at(const std::string& name) const { return (dir.path() / name).string(); }
    // An edit, so that the document has something to save or to ask about.
    static void modify(Document& document) {
        InvertCurrentPoint(document);
        ASSERT_TRUE(document.IsModified());
    }
    void modify() { modify(doc); }

    TempDir dir;
    ScriptedPrompts prompts;
    Document doc{prompts, {}};
};

} // namespace crackdepth::testing
