#include "settings/profile_file.h"

#include <gtest/gtest.h>

#include <string>

namespace skedora {
namespace {

TEST(ProfileFile, FindsTheFirstValueRegardlessOfCaseAndBlanks) {
    const auto file = ProfileFile::Parse(
        "; Path=/not/a/key\r\n"
        "Orphan=before any section\r\n"
        "[auto_LOAD]\n"
        "  pATH \t=  /data/in/  \r\n"
        "Equals=a=b = c\r"
        "Empty=\r\n"
        "Path=second is ignored\r\n"
        ";Out_Path=commented\r\n"
        "NoEqualsSign\r\n"
        "Tab=\tx\ty\t\r\n"
        "[ Delete ]  trailing text\r\n"
        "All_HD=1\r\n"
        "[Auto_Load]\r\n"
        "Out_Path=duplicate section is ignored\r\n"
        "[Last]\r\n"
        "Key=no line end");
    const auto find = [&](const char* section, const char* key) {
        const auto value = file.Find(section, key);
        return value ? std::string(*value) : "<missing>";
    };
    EXPECT_EQ(find("AUTO_LOAD", "path"), "/data/in/");
    EXPECT_EQ(find("Auto_Load", "Equals"), "a=b = c");
    EXPECT_EQ(find("Auto_Load", "Empty"), "");
    EXPECT_EQ(find("Auto_Load", "Tab"), "x\ty");
    EXPECT_EQ(find("Delete", "All_HD"), "1");
    EXPECT_EQ(find("Last", "Key"), "no line end");
    for (const char* key : {"Out_Path", "NoEqualsSign", "Orphan"}) {
        EXPECT_EQ(find("Auto_Load", key), "<missing>");
    }
    EXPECT_EQ(find("Missing", "Key"), "<missing>");
    const std::string longText(300, 'x');
    const auto cut = ProfileFile::Parse("[S]\r\nLong=" + longText + "\r\n");
    EXPECT_EQ(cut.Get("S", "Long", ""), std::string(254, 'x'));
    EXPECT_EQ(cut.Get("S", "Missing", longText), std::string(254, 'x'));
    EXPECT_EQ(cut.Get("S", "Missing", "default"), "default");
}

TEST(ProfileFile, SetChangesOnlyItsOwnLineAndWritesLineEndsAsBlanks) {
    auto file = ProfileFile::Parse(
        "\xEF\xBB\xBF[skedora]\n"
        "version = 0\n"
        "; settings\n"
        "\n"
        "[Delete]\n"
        "All_HD=0\n"
        "Unknown_Key = caf\xE9\n"
        "\x01odd line\n"
        "; about the next section\n"
        "\n"
        "[Empty]\n"
        "; nothing here\n"
        "\n"
        "[DELETE]\n"
        "All_SD=duplicate\n");
    file.Set("Skedora", "Version", "1");
    file.Set("Delete", "All_SD", "1");
    file.Set("Delete", "All_HD", "0");  // unchanged: the line stays as written
    file.Set("Empty", "First", "a");
    file.Set("Auto_Load", "Path", "two\r\nlines\n");
    file.Set("Auto_Load", "Delete", "");
    file.Set("auto_load", "DELETE", "\r");
    EXPECT_EQ(file.Serialize(),
              "\xEF\xBB\xBF[skedora]\r\n"
              "version=1\r\n"
              "; settings\r\n"
              "\r\n"
              "[Delete]\r\n"
              "All_HD=0\r\n"
              "Unknown_Key = caf\xE9\r\n"
              "All_SD=1\r\n"
              "\x01odd line\r\n"
              "; about the next section\r\n"
              "\r\n"
              "[Empty]\r\n"
              "First=a\r\n"
              "; nothing here\r\n"
              "\r\n"
              "[DELETE]\r\n"
              "All_SD=duplicate\r\n"
              "[Auto_Load]\r\n"
              "Path=two  lines \r\n"
              "Delete= \r\n");
    EXPECT_EQ(file.Find("Delete", "Unknown_Key"), "caf\xE9");
    EXPECT_EQ(file.Find("auto_load", "path"), "two  lines");
    EXPECT_EQ(ProfileFile::Parse("").Serialize(), "");
}

}  // namespace
}  // namespace skedora
