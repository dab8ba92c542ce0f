#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "settings/filled_rule_set.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::FilledRuleSet;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

/** The lines of a file whose every line ends in CR LF; fails the test otherwise. */
std::vector<std::string> CrLfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const auto end = bytes.find("\r\n", pos);
        EXPECT_NE(end, std::string::npos) << "line without CR LF at " << pos;
        if (end == std::string::npos) {
            break;
        }
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

/** The key of a "key=value" line. */
std::string KeyOf(const std::string& line) {
    return line.substr(0, line.find('='));
}

RuleSet StartUpState() {
    RuleSet rules;
    rules.AutoLoadSettings.Path = "/";
    rules.AutoLoadSettings.OutPath = "/";
    rules.AutoLoadSettings.Delete = true;
    for (auto& rule : rules.ChangeTimeRules) {
        rule.Time = "00:00:00";
    }
    return rules;
}

TEST(SettingsStore, NoFileGivesTheStartUpStateOverWhateverWasThere) {
    TempDir home;
    RuleSet rules = FilledRuleSet();
    EXPECT_FALSE(LoadSettings(home.path(), rules));
    EXPECT_EQ(rules, StartUpState());
    EXPECT_EQ(SettingsFilePath(home.path()), home.path() / "SK.ini");
    EXPECT_EQ(OldSettingsFilePath(home.path()), home.path() / "SKCONV.INI");
}

TEST(SettingsStore, FullRuleSetSurvivesASaveAndLoadAndASecondSaveChangesNothing) {
    TempDir home;
    const RuleSet saved = FilledRuleSet();
    ASSERT_FALSE(SaveSettings(home.path(), saved));
    const std::string first = ReadFile(SettingsFilePath(home.path()));
    RuleSet loaded;
    EXPECT_TRUE(LoadSettings(home.path(), loaded));
    EXPECT_EQ(loaded, saved);
    ASSERT_FALSE(SaveSettings(home.path(), loaded));
    EXPECT_EQ(ReadFile(SettingsFilePath(home.path())), first);
}

TEST(SettingsStore, NewFileHoldsEveryKeyInItsOrder) {
    TempDir home;
    ASSERT_FALSE(SaveSettings(home.path(), FilledRuleSet()));
    const auto lines = CrLfLines(ReadFile(SettingsFilePath(home.path())));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "[Skedora]");
    EXPECT_EQ(lines[1], "Version=1");
    EXPECT_EQ(lines[2], "[Delete]");

    std::vector<std::string> deleteKeys;
    for (int n = 1; n <= 64; ++n) {
        deleteKeys.push_back("Call_Letter_" + std::to_string(n));
        deleteKeys.push_back("CO_Number_" + std::to_string(n));
    }
    for (int n = 1; n <= 48; ++n) {
        deleteKeys.push_back("Source_" + std::to_string(n));
        deleteKeys.push_back("Destination_" + std::to_string(n));
    }
    for (const char* key : {"All_HD", "All_SD", "All_Digital", "All_Non_Digital"}) {
        deleteKeys.push_back(key);
    }
    ASSERT_GE(lines.size(), 3 + deleteKeys.size() + 1);
    for (std::size_t i = 0; i < deleteKeys.size(); ++i) {
        EXPECT_EQ(KeyOf(lines[3 + i]), deleteKeys[i]);
    }
    EXPECT_EQ(lines[3], "Call_Letter_1=DCL1\xE9-x");
    EXPECT_EQ(lines[3 + deleteKeys.size() - 4], "All_HD=1");
    EXPECT_EQ(lines[3 + deleteKeys.size() - 2], "All_Digital=0");

    std::vector<std::string> headers;
    for (const auto& line : lines) {
        if (line.front() == '[') {
            headers.push_back(line);
        }
    }
    EXPECT_EQ(headers,
              (std::vector<std::string>{"[Skedora]", "[Delete]", "[Change_CO_From_Call_Letter]",
                                        "[Change_Call_Letter]", "[Change_CO_From_Description]",
                                        "[Change_Time]", "[Auto_Load]"}));
    EXPECT_EQ(lines.size(), 7 + 1 + deleteKeys.size() + 3 * 24 * 3 + 8 * 6 + 6);

    // The sections after Delete, checked by their first entry and the last section whole.
    auto after = [&](const std::string& header, std::size_t count) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] == header) {
                std::vector<std::string> keys;
                for (std::size_t k = i + 1; k <= i + count && k < lines.size(); ++k) {
                    keys.push_back(KeyOf(lines[k]));
                }
                return keys;
            }
        }
        return std::vector<std::string>{};
    };
    using Keys = std::vector<std::string>;
    EXPECT_EQ(after("[Change_CO_From_Call_Letter]", 4),
              (Keys{"Call_Letter_1", "Old_CO_1", "New_CO_1", "Call_Letter_2"}));
    EXPECT_EQ(after("[Change_Call_Letter]", 4),
              (Keys{"Old_Call_Letter_1", "CO_1", "New_Call_Letter_1", "Old_Call_Letter_2"}));
    EXPECT_EQ(after("[Change_CO_From_Description]", 4),
              (Keys{"Program_Description_1", "Old_CO_1", "New_CO_1", "Program_Description_2"}));
    EXPECT_EQ(after("[Change_Time]", 7), (Keys{"Source_1", "Destination_1", "CO_1", "Description_1",
                                               "Math_1", "Time_1", "Source_2"}));
    const std::vector<std::string> autoLoad(lines.end() - 6, lines.end());
    EXPECT_EQ(autoLoad, (Keys{"Path=/watch/in/", "Out_Path=/watch/out/", "DBF=1", "CSV=1",
                              "Delete=0", "Prefix_Date=1"}));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Math_7=-32768"), lines.end());
}

TEST(SettingsStore, HandEditedFileKeepsItsOtherLinesInPlace) {
    TempDir home;
    const auto path = SettingsFilePath(home.path());
    WriteFile(path,
              "; Skedora settings, edited by hand\n"
              "[Notes]\n"
              "Owner = Master Control\n"
              "\n"
              "[SKEDORA]\n"
              "version = 1\n"
              "\n"
              "[delete]\n"
              "; our stations\n"
              "call_letter_1 =  KABC \n"
              "Legacy_Flag=yes\n"
              "all_hd = 1 \n"
              "\n"
              "[Auto_Load]\n"
              "PATH=/watch/\n"
              "DBF = 1\n");
    RuleSet rules;
    ASSERT_TRUE(LoadSettings(home.path(), rules));
    EXPECT_EQ(rules.DeleteCallLetterRules[1].CallLetter, "KABC");
    EXPECT_TRUE(rules.DeleteAllFlags.AllHD);
    EXPECT_EQ(rules.AutoLoadSettings.Path, "/watch/");
    EXPECT_EQ(rules.AutoLoadSettings.OutPath, "/watch/");
    EXPECT_TRUE(rules.AutoLoadSettings.DBF);
    EXPECT_TRUE(rules.AutoLoadSettings.Delete);

    rules.DeleteCallLetterRules[1].CallLetter = "KXYZ";
    ASSERT_FALSE(SaveSettings(home.path(), rules));
    const auto lines = CrLfLines(ReadFile(path));
    const std::vector<std::string> head(lines.begin(), lines.begin() + 12);
    EXPECT_EQ(head, (std::vector<std::string>{
                        "; Skedora settings, edited by hand", "[Notes]", "Owner = Master Control",
                        "", "[SKEDORA]", "version = 1", "", "[delete]", "; our stations",
                        "call_letter_1=KXYZ", "Legacy_Flag=yes", "all_hd = 1 "}));
    EXPECT_EQ(lines[12], "CO_Number_1=");  // an empty text keeps its key
    const auto autoLoad = std::find(lines.begin(), lines.end(), "[Auto_Load]");
    ASSERT_NE(autoLoad, lines.end());
    EXPECT_EQ(*(autoLoad - 1), "");
    EXPECT_EQ(*(autoLoad - 2), "All_Non_Digital=0");
    const std::vector<std::string> tail(autoLoad + 1, autoLoad + 8);
    EXPECT_EQ(tail, (std::vector<std::string>{"PATH=/watch/", "DBF = 1", "Out_Path=/watch/",
                                              "CSV=0", "Delete=1", "Prefix_Date=0",
                                              "[Change_CO_From_Call_Letter]"}));
    RuleSet reloaded;
    EXPECT_TRUE(LoadSettings(home.path(), reloaded));
    EXPECT_EQ(reloaded, rules);
}

TEST(SettingsStore, SourceDestinationEntriesNoDialogShowsSurviveALoadAndSave) {
    TempDir home;
    std::ostringstream file;
    file << "[Skedora]\r\nVersion=1\r\n[Delete]\r\n";
    for (int n = 25; n <= 48; ++n) {
        file << "Source_" << n << "=S" << n << "\r\nDestination_" << n << "=ALL\r\n";
    }
    WriteFile(SettingsFilePath(home.path()), file.str());
    RuleSet rules;
    ASSERT_TRUE(LoadSettings(home.path(), rules));
    rules.DeleteSourceDestinationRules[1].Source = "KABC";  // what a dialog would change
    ASSERT_FALSE(SaveSettings(home.path(), rules));
    RuleSet reloaded;
    ASSERT_TRUE(LoadSettings(home.path(), reloaded));
    EXPECT_EQ(reloaded.DeleteSourceDestinationRules[1].Source, "KABC");
    for (int n = 25; n <= 48; ++n) {
        EXPECT_EQ(reloaded.DeleteSourceDestinationRules[n].Source, "S" + std::to_string(n));
        EXPECT_EQ(reloaded.DeleteSourceDestinationRules[n].Destination, "ALL");
    }
}

TEST(SettingsStore, LoadReadsEachKindOfValueByItsRule) {
    struct Case {
        const char* section;
        const char* key;
        const char* value;
        std::function<bool(const RuleSet&)> holds;
        const char* what;
    };
    using R = const RuleSet&;
    const std::string long300(300, 'x');
    const Case cases[] = {
        {"Delete", "All_HD", "1", [](R r) { return r.DeleteAllFlags.AllHD; }, "1 is true"},
        {"Delete", "All_HD", "1.0", [](R r) { return r.DeleteAllFlags.AllHD; }, "1.0 is true"},
        {"Delete", "All_SD", "2", [](R r) { return !r.DeleteAllFlags.AllSD; }, "2 is false"},
        {"Delete", "All_SD", "yes", [](R r) { return !r.DeleteAllFlags.AllSD; }, "yes is false"},
        {"Delete", "All_SD", "", [](R r) { return !r.DeleteAllFlags.AllSD; }, "empty is false"},
        {"Auto_Load", "Delete", "", [](R r) { return !r.AutoLoadSettings.Delete; },
         "an empty Delete is false"},
        {"Auto_Load", "Delete", "0", [](R r) { return !r.AutoLoadSettings.Delete; }, "0"},
        {"Change_Time", "Math_1", "2.5", [](R r) { return r.ChangeTimeRules[1].Math == 2; },
         "half to even down"},
        {"Change_Time", "Math_1", "3.5", [](R r) { return r.ChangeTimeRules[1].Math == 4; },
         "half to even up"},
        {"Change_Time", "Math_1", "-2abc", [](R r) { return r.ChangeTimeRules[1].Math == -2; },
         "leading number"},
        {"Change_Time", "Math_1", "40000", [](R r) { return r.ChangeTimeRules[1].Math == -1; },
         "beyond 16 bits names no operation"},
        {"Change_Time", "Math_1", "-32769", [](R r) { return r.ChangeTimeRules[1].Math == -1; },
         "below 16 bits names no operation"},
        {"Change_Time", "Math_1", "x", [](R r) { return r.ChangeTimeRules[1].Math == 0; },
         "no number is 0"},
        {"Change_Time", "Time_3", "1:00",
         [](R r) { return r.ChangeTimeRules[3].Time == "00:00:00"; }, "short time"},
        {"Change_Time", "Time_3", "001:30:00",
         [](R r) { return r.ChangeTimeRules[3].Time == "00:00:00"; }, "long time"},
        {"Change_Time", "Time_3", "01:30:00",
         [](R r) { return r.ChangeTimeRules[3].Time == "01:30:00"; }, "good time"},
        {"Change_Time", "Time_3", "ab:cd:ef",
         [](R r) { return r.ChangeTimeRules[3].Time == "ab:cd:ef"; }, "only the length counts"},
        {"Auto_Load", "Path", "/in/", [](R r) { return r.AutoLoadSettings.OutPath == "/in/"; },
         "Out_Path defaults to Path"},
        {"Delete", "CO_Number_64", long300.c_str(),
         [](R r) { return r.DeleteCallLetterRules[64].CONumber == std::string(254, 'x'); },
         "cut to 254"},
    };
    for (const auto& c : cases) {
        TempDir home;
        WriteFile(SettingsFilePath(home.path()),
                  std::string("[") + c.section + "]\r\n" + c.key + "=" + c.value + "\r\n");
        RuleSet rules;
        LoadSettings(home.path(), rules);
        EXPECT_TRUE(c.holds(rules)) << c.what;
    }
}

TEST(SettingsStore, OnlyAVersionAboveZeroMakesTheFileCurrent) {
    const struct {
        const char* text;
        bool current;
    } cases[] = {
        {"[Skedora]\r\nVersion=1\r\n", true},
        {"[Skedora]\r\nVersion=2\r\n", true},
        {"[skedora]\r\n  VERSION = 0.5 \r\n", true},
        {"[Skedora]\r\nVersion=0\r\n", false},
        {"[Skedora]\r\nVersion=-1\r\n", false},
        {"[Skedora]\r\nVersion=\r\n", false},
        {"[Skedora]\r\nVersion=one\r\n", false},
        {"[Skedora]\r\n;Version=1\r\n", false},
        {"[Delete]\r\nVersion=1\r\nAll_HD=1\r\n[Auto_Load]\r\nPath=/in/\r\n", false},
    };
    for (const auto& c : cases) {
        TempDir home;
        WriteFile(SettingsFilePath(home.path()), c.text);
        RuleSet rules;
        EXPECT_EQ(LoadSettings(home.path(), rules), c.current) << c.text;
    }
}

TEST(SettingsStore, LineBreaksInTextsAreSavedAsBlanks) {
    TempDir home;
    RuleSet rules;
    rules.ChangeTimeRules[2].Description = "two\r\nlines\nand\rmore";
    rules.AutoLoadSettings.Path = "/in\n/";
    ASSERT_FALSE(SaveSettings(home.path(), rules));
    RuleSet loaded;
    ASSERT_TRUE(LoadSettings(home.path(), loaded));
    EXPECT_EQ(loaded.ChangeTimeRules[2].Description, "two  lines and more");
    EXPECT_EQ(loaded.AutoLoadSettings.Path, "/in /");
    EXPECT_EQ(rules.ChangeTimeRules[2].Description, "two\r\nlines\nand\rmore");
}

TEST(SettingsStore, FailedSaveReturnsAnErrorAndKeepsTheOldFile) {
    TempDir home;
    // SK.ini is a folder: neither read nor replaced.
    std::filesystem::create_directory(SettingsFilePath(home.path()));
    auto error = SaveSettings(home.path(), FilledRuleSet());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number, errors::kPathFileAccess);
    EXPECT_EQ(error->source, "Skedora");
    EXPECT_NE(error->description.find(SettingsFilePath(home.path()).string()), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(SettingsFilePath(home.path())));

    // The home folder is gone.
    error = SaveSettings(home.file("missing"), FilledRuleSet());
    ASSERT_TRUE(error);
    EXPECT_NE(error->description.find("SK.ini"), std::string::npos);
}

TEST(SettingsStore, SaveOnAFullDiskKeepsTheOldFileWhole) {
    TempDir home;
    const std::string old = "[Skedora]\r\nVersion=1\r\n[Delete]\r\nCall_Letter_1=KOLD\r\n";
    WriteFile(SettingsFilePath(home.path()), old);

    // A file size limit below the new file's size stands in for a full disk.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto error = SaveSettings(home.path(), FilledRuleSet());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_TRUE(error);
    EXPECT_NE(error->description.find("SK.ini"), std::string::npos);
    EXPECT_EQ(ReadFile(SettingsFilePath(home.path())), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.path()), {}), 1);
}

TEST(ProfileValue, ReadsAndWritesSingleKeysKeepingTheRest) {
    TempDir home;
    const auto file = home.file("other.ini");
    EXPECT_EQ(ReadProfileValue(file, "S", "Key", "dflt"), "dflt");
    ASSERT_FALSE(WriteProfileValue(file, "S", "Key", "a\r\nb"));
    ASSERT_FALSE(WriteProfileValue(file, "T", "Other", "kept"));
    ASSERT_FALSE(WriteProfileValue(file, "s", "KEY", "c\nd"));
    EXPECT_EQ(ReadFile(file), "[S]\r\nKey=c d\r\n[T]\r\nOther=kept\r\n");
    EXPECT_EQ(ReadProfileValue(file, "s", "key", "dflt"), "c d");
    EXPECT_EQ(ReadProfileValue(file, "T", "Missing", "dflt"), "dflt");

    EXPECT_TRUE(WriteProfileValue(home.file("no") / "x.ini", "S", "K", "v"));
    EXPECT_TRUE(WriteProfileValue(home.path(), "S", "K", "v"));
    EXPECT_EQ(ReadProfileValue(home.path(), "S", "K", "dflt"), "dflt");
}

}  // namespace
}  // namespace skedora
