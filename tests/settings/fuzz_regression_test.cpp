// Settings files the fuzzers found mishandled, kept as they were found.
#include <gtest/gtest.h>

#include "settings/profile_file.h"
#include "settings/settings_store.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// A lone carriage return inside "CO_1=\rWABC": read as part of the value, it was saved as a
// blank and so read back as "WABC", a different rule after the next start.
constexpr std::string_view kLoneCarriageReturn =
    "[Skedora]\r\nVersion=1\r\n[Delete]\r\nCall_Letter_1=WABC\r\nCO_Number_1=12\r\n"
    "Source_1=KTLA\r\nAll_HD=1\r\n[Change_Call_Letter]\r\nHld_Call_Letter_1=WABC\r\n"
    "CO_1=\rWABC\r\nMath2_1\r=\nTime_1=00:30:00\r\nMath_2=99999\r\nTime_2=1:00\r\n"
    "[Auto_Load]\r\nPath=/srv/in/\r\nOut_Path=\r\nDBF=0\r\nCSV=1\r\nPROGRAM_DESCRIPTION_5=1\r\n";

TEST(SettingsFuzzRegression, ALoneCarriageReturnEndsALineSoASaveChangesNoRule) {
    TempDir home;
    WriteFile(SettingsFilePath(home.path()), kLoneCarriageReturn);
    RuleSet loaded;
    ASSERT_TRUE(LoadSettings(home.path(), loaded));
    EXPECT_EQ(loaded.ChangeCallLetterRules[1].CO, "");

    ASSERT_EQ(SaveSettings(home.path(), loaded), std::nullopt);
    RuleSet reloaded;
    ASSERT_TRUE(LoadSettings(home.path(), reloaded));
    EXPECT_TRUE(loaded == reloaded);
    const std::string saved = ReadFile(SettingsFilePath(home.path()));
    ASSERT_EQ(SaveSettings(home.path(), reloaded), std::nullopt);
    EXPECT_EQ(ReadFile(SettingsFilePath(home.path())), saved);

    const ProfileFile file = ProfileFile::Parse("[S]\rA=1\rB= 2 \r\n\rC=3");
    EXPECT_EQ(file.Get("S", "A", "?"), "1");
    EXPECT_EQ(file.Get("S", "B", "?"), "2");
    EXPECT_EQ(file.Get("S", "C", "?"), "3");
}

}  // namespace
}  // namespace skedora
