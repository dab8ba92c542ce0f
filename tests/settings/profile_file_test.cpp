#include "settings/profile_file.h"

#include <gtest/gtest.h>

#include <string>

namespace skedora {
namespace {

TEST(ProfileFile, FindsValuesRegardlessOfCaseAndBlanks) {
    const auto file = ProfileFile::Parse(
        "; Path=/not/a/key\r\n"
        "Orphan=before any section\r\n"
        "[auto_LOAD]\n"
        "  pATH \t=  /data/in/  \r\n"
        "Equals=a=b = c\r\n"
        "Empty=\r\n"
        "Path=second is ignored\r\n"
        ";Out_Path=commented\r\n"
        "NoEqualsSign\r\n"
        "Tab=\tx\ty\t\r\n"
        "[ Delete ]  trailing text\r\n"
        "All_HD=1\r\n"
        "[Auto_Load]\r\n"
        "Path=duplicate section is ignored\r\n"
        "Out_Path=also ignored\r\n"
        "[Last]\r\n"
        "Key=no line end");
    struct Case {
        const char* section;
        const char* key;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"Auto_Load", "Path", "/data/in/"},
        {"AUTO_LOAD", "path", "/data/in/"},
        {"Auto_Load", "Equals", "a=b = c"},
        {"Auto_Load", "Empty", ""},
        {"Auto_Load", "Tab", "x\ty"},
        {"Auto_Load", "Out_Path", std::nullopt},
        {"Auto_Load", "NoEqualsSign", std::nullopt},
        {"Auto_Load", "Orphan", std::nullopt},
        {"Delete", "All_HD", "1"},
        {"Last", "Key", "no line end"},
        {"Missing", "Key", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto found = file.Find(c.section, c.key);
        EXPECT_EQ(found ? std::optional<std::string>(*found) : std::nullopt, c.value)
            << c.section << "/" << c.key;
    }
}

TEST(ProfileFile, GetCutsValuesAndDefaultsTo254Characters) {
    const std::string longText(300, 'x');
    const auto file = ProfileFile::Parse("[S]\r\nLong=" + longText + "\r\nShort=abc\r\n");
    EXPECT_EQ(file.Get("S", "Long", ""), std::string(254, 'x'));
    EXPECT_EQ(file.Get("S", "Short", "default"), "abc");
    EXPECT_EQ(file.Get("S", "Missing", longText), std::string(254, 'x'));
    EXPECT_EQ(file.Get("S", "Missing", "default"), "default");
    EXPECT_EQ(ProfileFile().Get("S", "Short", "default"), "default");
}

TEST(ProfileFile, SetChangesOnlyItsOwnLine) {
    auto file = ProfileFile::Parse(
        "; settings\n"
        "[skedora]\n"
        "version = 0\n"
        "\n"
        "[Delete]\n"
        "All_HD=0\n"
        "Unknown_Key = keep me\n"
        "; about the next section\n"
        "\n"
        "[Mine]\n"
        "x=1\n"
        "[Empty]\n"
        "; nothing here\n"
        "\n"
        "[DELETE]\n"
        "All_SD=duplicate\n");
    file.Set("Skedora", "Version", "1");
    file.Set("Delete", "All_SD", "1");
    file.Set("Delete", "All_HD", "0");  // unchanged: the line stays as written
    file.Set("Empty", "First", "a");
    file.Set("Auto_Load", "Path", "/");
    file.Set("Auto_Load", "Delete", "1");
    EXPECT_EQ(file.Serialize(),
              "; settings\r\n"
              "[skedora]\r\n"
              "version=1\r\n"
              "\r\n"
              "[Delete]\r\n"
              "All_HD=0\r\n"
              "Unknown_Key = keep me\r\n"
              "All_SD=1\r\n"
              "; about the next section\r\n"
              "\r\n"
              "[Mine]\r\n"
              "x=1\r\n"
              "[Empty]\r\n"
              "First=a\r\n"
              "; nothing here\r\n"
              "\r\n"
              "[DELETE]\r\n"
              "All_SD=duplicate\r\n"
              "[Auto_Load]\r\n"
              "Path=/\r\n"
              "Delete=1\r\n");
}

TEST(ProfileFile, SetWritesLineEndsInAValueAsBlanksAndReadsItsOwnValues) {
    ProfileFile file;
    file.Set("S", "Text", "two\r\nlines\n");
    file.Set("S", "Other", "");
    file.Set("s", "TEXT", "changed\r");
    EXPECT_EQ(file.Serialize(), "[S]\r\nText=changed \r\nOther=\r\n");
    EXPECT_EQ(file.Find("S", "Text"), "changed");
    EXPECT_EQ(file.Find("S", "other"), "");
}

TEST(ProfileFile, KeepsBytesAndLinesThatAreNotKeys) {
    const std::string text = "[S]\r\nName=caf\xE9\r\n\x01odd line\r\n";
    auto file = ProfileFile::Parse(text);
    EXPECT_EQ(file.Find("S", "Name"), "caf\xE9");
    EXPECT_EQ(file.Serialize(), text);
    EXPECT_EQ(ProfileFile::Parse("").Serialize(), "");
}

TEST(ProfileFile, SeesTheFirstSectionBehindAByteOrderMark) {
    auto file = ProfileFile::Parse("\xEF\xBB\xBF[Skedora]\r\nVersion=1\r\n");
    EXPECT_EQ(file.Find("Skedora", "Version"), "1");
    file.Set("Skedora", "Version", "2");
    EXPECT_EQ(file.Serialize(), "\xEF\xBB\xBF[Skedora]\r\nVersion=2\r\n");
}

}  // namespace
}  // namespace skedora
