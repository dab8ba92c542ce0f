#include "watch/converted_file_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

#include "model/text.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::ReadFile;
using test::WriteFile;
using Names = std::vector<std::string>;

TEST(ConvertedFileList, LoadsOneEntryPerDistinctTrimmedNameAndSavesThemInOrder) {
    test::TempDir home;
    ConvertedFileList list(home.file("FileList.txt"));
    EXPECT_EQ(list.LoadFileList(), std::nullopt);  // a missing file is an empty list
    EXPECT_TRUE(list.Names().empty());
    WriteFile(home.file("FileList.txt"), "A.DBF\r\n\r\n  B.CSV  \r\nA.DBF\r\n   \r\na.dbf\nC.CSV");
    EXPECT_EQ(list.LoadFileList(), std::nullopt);
    EXPECT_EQ(list.Names(), (Names{"A.DBF", "B.CSV", "a.dbf", "C.CSV"}));

    // A forgotten name leaves its place to the next new one.
    list.MarkNotSeen(".dbf");
    EXPECT_TRUE(list.IsKnownFile("a.dbf"));
    EXPECT_FALSE(list.IsKnownFile("A.dbf"));
    EXPECT_EQ(list.ForgetNotSeen(), std::nullopt);
    EXPECT_EQ(ReadFile(home.file("FileList.txt")), "B.CSV\r\na.dbf\r\nC.CSV\r\n");
    list.AddKnownFile("D.DBF");
    list.AddKnownFile("E.DBF");
    ASSERT_EQ(list.SaveFileList(), std::nullopt);
    EXPECT_EQ(ReadFile(home.file("FileList.txt")), "D.DBF\r\nB.CSV\r\na.dbf\r\nC.CSV\r\nE.DBF\r\n");
}

TEST(ConvertedFileList, ReportsAListThatExistsButCannotBeRead) {
    test::TempDir home;
    std::filesystem::create_directory(home.file("FileList.txt"));
    ConvertedFileList list(home.file("FileList.txt"));
    list.AddKnownFile("KEPT.DBF");
    const MaybeError error = list.LoadFileList();
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number, errors::kPathFileAccess);
    EXPECT_NE(error->description.find(home.file("FileList.txt").string()), std::string::npos);
    EXPECT_EQ(list.Names(), Names{"KEPT.DBF"});
}

TEST(ConvertedFileList, APassForgetsOnlyUnmetNamesOfItsOwnKind) {
    test::TempDir home;
    ConvertedFileList list(home.file("FileList.txt"));
    for (const char* name : {"A.DBF", "B.csv", "C.dbf", "D.CSV", "E"}) {
        list.AddKnownFile(name);
    }
    // Every name met: nothing is forgotten and nothing written.
    list.MarkNotSeen(".DBF");
    list.IsKnownFile("C.dbf");
    list.IsKnownFile("A.DBF");
    list.IsKnownFile("A.DBF");  // met twice still counts once
    EXPECT_EQ(list.ForgetNotSeen(), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(list.File()));

    // A pass that ended early (a job started) leaves no marks behind for the next pass.
    list.MarkNotSeen(".DBF");
    list.MarkNotSeen(".Csv");
    list.IsKnownFile("D.CSV");
    list.AddKnownFile("F.CSV");  // added during the pass: met
    EXPECT_EQ(list.ForgetNotSeen(), std::nullopt);
    EXPECT_EQ(list.Names(), (Names{"A.DBF", "C.dbf", "D.CSV", "E", "F.CSV"}));
    EXPECT_EQ(ReadFile(list.File()), "A.DBF\r\nC.dbf\r\nD.CSV\r\nE\r\nF.CSV\r\n");

    // Forgetting outside a pass does nothing.
    EXPECT_EQ(list.ForgetNotSeen(), std::nullopt);
    EXPECT_EQ(list.Size(), 5u);
    list.Reset();
    EXPECT_TRUE(list.Names().empty());
    EXPECT_FALSE(list.IsKnownFile("A.DBF"));
}

TEST(ConvertedFileList, AFailedSaveAfterForgettingIsReported) {
    test::TempDir home;
    ConvertedFileList list(home.file("missing") / "FileList.txt");
    list.AddKnownFile("A.DBF");
    list.MarkNotSeen(".DBF");
    const MaybeError error = list.ForgetNotSeen();
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number, errors::kPathFileAccess);
    EXPECT_TRUE(list.Names().empty());  // the list in memory still counts
}

/** The list as one array of places searched from the start: what the fast list must match. */
class ReferenceList {
  public:
    bool IsKnown(const std::string& name) {
        for (auto& place : m_places) {
            if (place && place->name == name) {
                place->notSeen = false;
                return true;
            }
        }
        return false;
    }
    void Add(const std::string& name) {
        if (IsKnown(name)) {
            return;
        }
        auto empty = std::find(m_places.begin(), m_places.end(), std::nullopt);
        if (empty == m_places.end()) {
            empty = m_places.insert(m_places.end(), std::nullopt);
        }
        *empty = Place{name, false};
    }
    void Mark(std::string_view extension) {
        for (auto& place : m_places) {
            if (place) {
                place->notSeen = HasExtension(place->name, extension);
            }
        }
    }
    void Forget() {
        for (auto& place : m_places) {
            if (place && place->notSeen) {
                place.reset();
            }
        }
    }
    Names Held() const {
        Names names;
        for (const auto& place : m_places) {
            if (place) {
                names.push_back(place->name);
            }
        }
        return names;
    }

  private:
    struct Place {
        std::string name;
        bool notSeen;
        bool operator==(const Place&) const = default;
    };
    std::vector<std::optional<Place>> m_places;
};

TEST(ConvertedFileList, RandomPassesMatchTheReferenceList) {
    test::TempDir home;
    ConvertedFileList list(home.file("FileList.txt"));
    ReferenceList reference;
    const Names pool = {"A.DBF", "a.dbf", "B.DbF", "C.CSV", "c.csv",
                        "D.csv", "E.TXT", "F",     "G.DBF"};
    const Names extensions = {".DBF", ".csv", ".txt"};
    std::mt19937 random(20240305);
    for (int step = 0; step < 1500; ++step) {
        const std::string& name = pool[random() % pool.size()];
        switch (random() % 6) {
            case 0:
            case 1:
                list.AddKnownFile(name);
                reference.Add(name);
                break;
            case 2:
            case 3:
                ASSERT_EQ(list.IsKnownFile(name), reference.IsKnown(name)) << "step " << step;
                break;
            case 4: {
                const std::string& extension = extensions[random() % extensions.size()];
                list.MarkNotSeen(extension);
                reference.Mark(extension);
                break;
            }
            default:
                ASSERT_EQ(list.ForgetNotSeen(), std::nullopt);
                reference.Forget();
                break;
        }
        ASSERT_EQ(list.Names(), reference.Held()) << "step " << step;
    }
}

}  // namespace
}  // namespace skedora
