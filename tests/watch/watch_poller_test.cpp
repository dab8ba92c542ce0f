#include <gtest/gtest.h>

#include "app/application.h"
#include "support/fake_platform.h"
#include "support/schedule_files.h"

namespace skedora {
namespace {

struct WatchPollerTest : ::testing::Test, test::TestApp {};

TEST_F(WatchPollerTest, OneJobPerPollDbaseFirstThenNameOrderEachFileOnce) {
    AddCsv("Z.CSV");
    AddDbf("C.DBF");
    AddDbf("b.dbf");
    AddDbf("A.DBF");
    Settings().DBF = Settings().CSV = false;
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_FALSE(exists(home.file("FileList.txt")));
    Settings().DBF = Settings().CSV = true;
    app->PollWatchFolder();
    EXPECT_FALSE(exists(home.file("FileList.txt")));  // recorded once its output is complete
    AddCsv("0.CSV");
    app->PollWatchFolder();  // nothing while a job runs
    EXPECT_EQ(app->Job().InputFileTitle, "A.DBF");
    test::RunJob(*app);
    EXPECT_EQ(test::FileLines(out.file("A.CP2")).size(), 2u);
    EXPECT_EQ(FileList(), "A.DBF\r\n");
    for (const char* name : {"b.dbf", "C.DBF", "0.CSV", "Z.CSV", "", ""}) {
        EXPECT_EQ(PollAndConvert(), name);
    }
    EXPECT_EQ(FileList(), "A.DBF\r\nb.dbf\r\nC.DBF\r\n0.CSV\r\nZ.CSV\r\n");
    Restart();
    EXPECT_EQ(PollAndConvert(), "");

    std::filesystem::remove(watch.file("C.DBF"));
    AddDbf("a.dbf");  // A.DBF is known, a.dbf is not
    EXPECT_EQ(PollAndConvert(), "a.dbf");
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(FileList().find("C.DBF"), std::string::npos);
    AddDbf("C.DBF");
    EXPECT_EQ(PollAndConvert(), "C.DBF");
}

TEST_F(WatchPollerTest, WithDeleteOnEveryFileIsDeletedAfterItsJobOrKeptAndHeldBack) {
    Settings().Delete = true;
    AddDbf("A.DBF");
    EXPECT_EQ(PollAndConvert(), "A.DBF");
    AddDbf("A.DBF");  // a known name
    app->PollWatchFolder();
    EXPECT_TRUE(InWatch("A.DBF"));
    test::RunJob(*app);
    EXPECT_FALSE(InWatch("A.DBF"));
    EXPECT_EQ(FileList(), "A.DBF\r\n");

    // A failed set-up or deletion keeps the file, and it is not tried again while it stays.
    test::WriteFile(watch.file("A.DBF"), "not a table");
    AddCsv("B.CSV");
    ports->files.failingDeletes.insert(watch.folderText() + "B.CSV");
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(ports->observer.setUpFailures,
              std::vector<std::string>{watch.folderText() + "A.DBF: 3001"});
    EXPECT_EQ(PollAndConvert(), "B.CSV");
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_TRUE(InWatch("A.DBF") && InWatch("B.CSV"));
    EXPECT_EQ(Reports().size(), 3u);
    std::filesystem::remove(watch.file("A.DBF"));
    EXPECT_EQ(PollAndConvert(), "");
    AddDbf("A.DBF");
    EXPECT_EQ(PollAndConvert(), "A.DBF");
    EXPECT_FALSE(InWatch("A.DBF"));
}

TEST_F(WatchPollerTest, WithDeleteOnAnExitDuringTheJobKeepsTheSourceAndTheEarlierOutput) {
    Settings().Delete = true;
    AddCsv("A.CSV", 3);
    test::WriteFile(out.file("A.CP2"), "earlier");
    app->PollWatchFolder();
    EXPECT_EQ(app->Job().InputFileTitle, "A.CSV");
    app->ConversionTick();
    app->ConversionTick();
    app->CloseOpenFiles();
    EXPECT_FALSE(app->IsJobRunning());
    EXPECT_EQ(test::ReadFile(out.file("A.CP2")), "earlier");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.path()), {}), 1);
    EXPECT_TRUE(InWatch("A.CSV"));
}

TEST_F(WatchPollerTest, AFileIsConvertedWholeOnceQuietAndAStampFarAheadWaitsNot) {
    AddDbf("KNOWN.DBF");
    EXPECT_EQ(PollAndConvert(), "KNOWN.DBF");
    auto& now = ports->clock.now;
    now = std::chrono::system_clock::now();
    const auto stamp = [&](const char* name, std::chrono::system_clock::duration ahead) {
        AddCsv(name);
        std::filesystem::last_write_time(watch.file(name),
                                         std::chrono::file_clock::from_sys(now + ahead));
    };
    const std::string whole = test::CsvSchedule(std::vector<test::TestEvent>(10));
    AddDbf("KNOWN.DBF");  // written again just now
    test::WriteFile(watch.file("A.CSV"), whole.substr(0, whole.size() / 2));
    stamp("SOON.CSV", std::chrono::milliseconds(500));
    stamp("LATER.CSV", std::chrono::hours(5));
    EXPECT_EQ(PollAndConvert(), "LATER.CSV");
    EXPECT_EQ(PollAndConvert(), "");
    test::WriteFile(watch.file("A.CSV"), whole);  // the copy goes on
    now += std::chrono::seconds(1);  // SOON.CSV is still within the quiet period after its stamp
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(FileList(), "KNOWN.DBF\r\nLATER.CSV\r\n");  // seen: neither forgotten nor added
    now += std::chrono::seconds(3);
    // Once quiet, all are converted whole: the known one again, since it changed after its job.
    EXPECT_EQ(PollAndConvert(), "KNOWN.DBF");
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    EXPECT_EQ(Reports().back().written, 10);
    EXPECT_EQ(PollAndConvert(), "SOON.CSV");
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

    Settings().Path = watch.path().string();
    Settings().OutPath = " " + out.path().string() + " ";
    AddCsv("b.csv");
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

    Settings().Delete = true;
    for (const char* name : {"0.CSV", "0.DBF"}) {
        ports->files.vanishing = {name};
        AddDbf(name);
        EXPECT_EQ(PollAndConvert(), "");
        EXPECT_EQ(ports->observer.setUpFailures.back(), watch.folderText() + name + ": 53");
    }
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    EXPECT_EQ(Reports().size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(out.file("0.CP2")));
}

}  // namespace
}  // namespace skedora
