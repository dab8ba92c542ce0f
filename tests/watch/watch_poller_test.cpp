#include <gtest/gtest.h>

#include "app/application.h"
#include "support/fake_platform.h"
#include "support/schedule_files.h"
#include "watch/converted_file_list.h"

namespace skedora {
namespace {

using test::ReadFile;
using test::TestEvent;

struct WatchPollerTest : ::testing::Test, test::TestApp {
    void AddCsv(const std::string& name) { test::WriteCsvSchedule(watch.file(name), {{}}); }
    void AddDbf(const std::string& name) { test::WriteDbfSchedule(watch.file(name), {{}}); }
    std::string FileList() const { return ReadFile(home.file("FileList.txt")); }
};

TEST_F(WatchPollerTest, OneJobPerPollDbaseFirstThenNameOrderEachFileOnce) {
    AddCsv(".hidden.csv");
    std::filesystem::create_directory(watch.file("folder.csv"));
    EXPECT_EQ(PollAndConvert(), "");  // neither is listed
    AddCsv("A.CSV");
    AddDbf("C.DBF");
    AddDbf("b.dbf");
    AddDbf("A.DBF");
    Settings().DBF = Settings().CSV = false;
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_FALSE(exists(home.file("FileList.txt")));
    Settings().DBF = Settings().CSV = true;
    app->PollWatchFolder();
    EXPECT_EQ(FileList(), "A.DBF\r\n");  // saved before the conversion runs
    AddCsv("0.CSV");
    app->PollWatchFolder();  // nothing while a job runs
    EXPECT_EQ(app->job().InputFileTitle, "A.DBF");
    test::RunJob(*app);
    EXPECT_EQ(test::FileLines(out.file("A.CP2")).size(), 2u);
    for (const char* name : {"b.dbf", "C.DBF", "0.CSV", "A.CSV", "", ""}) {
        EXPECT_EQ(PollAndConvert(), name);
    }
    EXPECT_EQ(FileList(), "A.DBF\r\nb.dbf\r\nC.DBF\r\n0.CSV\r\nA.CSV\r\n");
    Restart();
    EXPECT_EQ(PollAndConvert(), "");

    // A name that left the folder is forgotten, and converted again when it comes back.
    std::filesystem::remove(watch.file("C.DBF"));
    AddDbf("a.dbf");  // A.DBF is known, a.dbf is not
    EXPECT_EQ(PollAndConvert(), "a.dbf");
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(FileList().find("C.DBF"), std::string::npos);
    AddDbf("C.DBF");
    EXPECT_EQ(PollAndConvert(), "C.DBF");
}

TEST_F(WatchPollerTest, WithDeleteOnEveryFileIsConvertedAndDeletedAfterItsJob) {
    Settings().Delete = true;
    AddDbf("A.DBF");
    EXPECT_EQ(PollAndConvert(), "A.DBF");
    // Known or not, a listed file is converted; it stays until its output is complete.
    AddDbf("A.DBF");
    AddCsv("B.CSV");
    app->PollWatchFolder();
    EXPECT_TRUE(InWatch("A.DBF"));
    test::RunJob(*app);
    EXPECT_FALSE(InWatch("A.DBF"));
    EXPECT_EQ(PollAndConvert(), "B.CSV");
    EXPECT_FALSE(InWatch("B.CSV"));
    EXPECT_EQ(FileList(), "A.DBF\r\nB.CSV\r\n");
    // Delete switched off: a new file under a remembered name is left alone.
    Settings().Delete = false;
    AddCsv("B.CSV");
    EXPECT_EQ(PollAndConvert(), "");
}

TEST_F(WatchPollerTest, WithDeleteOnAFailedSetUpOrDeletionIsKeptAndHeldBack) {
    Settings().Delete = true;
    test::WriteFile(watch.file("A.DBF"), "not a table");
    AddCsv("B.CSV");
    platform->files.failingDeletes.insert(watch.folderText() + "B.CSV");
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(platform->listener.setUpFailures,
              std::vector<std::string>{watch.folderText() + "A.DBF: 3001"});
    EXPECT_TRUE(platform->messages.boxes.empty());
    EXPECT_EQ(PollAndConvert(), "B.CSV");
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_TRUE(InWatch("A.DBF") && InWatch("B.CSV"));
    EXPECT_EQ(Reports().size(), 1u);
    // A file copied in anew under the same name is tried again.
    std::filesystem::remove(watch.file("A.DBF"));
    EXPECT_EQ(PollAndConvert(), "");
    AddDbf("A.DBF");
    EXPECT_EQ(PollAndConvert(), "A.DBF");
    EXPECT_FALSE(InWatch("A.DBF"));
}

TEST_F(WatchPollerTest, WithDeleteOnAFailedWriteOrAnExitKeepsTheSource) {
    Settings().Delete = true;
    test::WriteCsvSchedule(watch.file("A.CSV"), {{}, {}, {}});
    std::filesystem::create_directory(out.file("A.CP2"));  // no output can take its name
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_EQ(Reports()[0].failure->number, errors::kPathFileAccess);
    EXPECT_TRUE(InWatch("A.CSV"));
    EXPECT_EQ(PollAndConvert(), "");  // not tried again while it stays

    // Converted again after a restart; an exit in the middle keeps the lines so far and the source.
    std::filesystem::remove(out.file("A.CP2"));
    Restart();
    Settings().Delete = true;
    app->PollWatchFolder();
    EXPECT_EQ(app->job().InputFileTitle, "A.CSV");
    app->ConversionTick();
    app->ConversionTick();
    app->CloseOpenFiles();
    EXPECT_FALSE(app->IsJobRunning());
    EXPECT_EQ(test::FileLines(out.file("A.CP2")).size(), 3u);
    EXPECT_TRUE(InWatch("A.CSV"));
}

TEST_F(WatchPollerTest, AFileStillBeingCopiedIsConvertedWholeOnceItIsQuiet) {
    AddDbf("KNOWN.DBF");
    EXPECT_EQ(PollAndConvert(), "KNOWN.DBF");
    const std::string whole = test::CsvSchedule(std::vector<TestEvent>(10));
    auto& now = platform->clock.now;
    now = std::chrono::system_clock::now() + std::chrono::milliseconds(500);
    AddDbf("KNOWN.DBF");  // written again just now
    test::WriteFile(watch.file("A.CSV"), whole.substr(0, whole.size() / 2));
    EXPECT_EQ(PollAndConvert(), "");
    test::WriteFile(watch.file("A.CSV"), whole);  // the copy goes on
    now = std::chrono::system_clock::now() + std::chrono::seconds(1);
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(FileList(), "KNOWN.DBF\r\n");  // counted as seen: neither forgotten nor added
    now += std::chrono::seconds(2);
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    EXPECT_EQ(Reports().back().written, 10);
}

TEST_F(WatchPollerTest, FolderSettingsEmptyOrWithoutTheirFinalSeparator) {
    test::TempDir current;  // an empty watch folder setting watches nothing, not this folder
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(current.path());
    test::WriteCsvSchedule(current.file("A.CSV"), {{}});
    Settings().Path = "";
    Settings().Delete = true;
    EXPECT_EQ(PollAndConvert(), "");
    std::filesystem::current_path(previous);
    EXPECT_TRUE(std::filesystem::exists(current.file("A.CSV")));

    // As a hand-edited SK.ini or an imported SKCONV.INI may hold them.
    Settings().Path = watch.path().string();
    Settings().OutPath = " " + out.path().string() + " ";
    AddCsv("A.CSV");
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    EXPECT_EQ(test::FileLines(out.file("A.CP2")).size(), 2u);
    EXPECT_FALSE(InWatch("A.CSV"));
}

TEST_F(WatchPollerTest, AVanishingWatchFolderOrFileLosesNothing) {
    AddCsv("A.CSV");
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    std::filesystem::rename(watch.path(), home.file("away"));
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(FileList(), "A.CSV\r\n");
    std::filesystem::rename(home.file("away"), watch.path());
    EXPECT_EQ(PollAndConvert(), "");

    // Files removed between the listing and the read start no job; the next poll goes on.
    Settings().Delete = true;
    for (const char* name : {"0.CSV", "0.DBF"}) {
        platform->files.vanishing = {name};
        test::WriteDbfSchedule(watch.file(name), {{}});
        EXPECT_EQ(PollAndConvert(), "");
        EXPECT_EQ(platform->listener.setUpFailures.back(), watch.folderText() + name + ": 53");
    }
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    EXPECT_EQ(Reports().size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(out.file("0.CP2")));
}

TEST(ConvertedFileList, LoadsOneSlotPerDistinctTrimmedNameAndSavesThemInSlotOrder) {
    test::TempDir home;
    ConvertedFileList list(home.file("FileList.txt"));
    list.LoadFileList();
    EXPECT_TRUE(list.Names().empty());
    test::WriteFile(home.file("FileList.txt"),
                    "A.DBF\r\n\r\n  B.CSV  \r\nA.DBF\r\n   \r\na.dbf\nC.CSV");
    list.LoadFileList();
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"A.DBF", "B.CSV", "a.dbf", "C.CSV"}));
    EXPECT_EQ(list.SlotCount(), 101);

    // A forgotten name leaves its slot to the next new one.
    list.MarkNotSeen(".dbf");
    list.IsKnownFile("a.dbf");
    list.ForgetNotSeen();
    EXPECT_EQ(ReadFile(home.file("FileList.txt")), "B.CSV\r\na.dbf\r\nC.CSV\r\n");
    list.AddKnownFile("D.DBF");
    ASSERT_EQ(list.SaveFileList(), std::nullopt);
    EXPECT_EQ(ReadFile(home.file("FileList.txt")), "D.DBF\r\nB.CSV\r\na.dbf\r\nC.CSV\r\n");
}

TEST(ConvertedFileList, GrowsByOneHundredSlotsWhenFull) {
    ConvertedFileList list("FileList.txt");
    for (int i = 0; i < 101; ++i) {
        list.AddKnownFile("F" + std::to_string(i) + ".CSV");
    }
    EXPECT_EQ(list.SlotCount(), 101);
    list.AddKnownFile("NEW.CSV");
    EXPECT_EQ(list.SlotCount(), 201);
    EXPECT_EQ(list.Slot(101), (ConvertedFileEntry{true, "NEW.CSV", false}));
    EXPECT_FALSE(list.Slot(102).InUse);
}

}  // namespace
}  // namespace skedora
