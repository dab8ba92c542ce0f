#include "engine/output_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::ReadFile;
using test::TempDir;

TEST(OutputFile, EndsEveryLineWithCarriageReturnAndLineFeed) {
    TempDir dir;
    const std::string path = dir.file("WEEK1.CP2").string();
    test::WriteFile(path, "old contents that are longer than the new ones");
    OutputFile file;
    ASSERT_EQ(file.Create(path), std::nullopt);
    file.WriteLine("day,cur_date");
    file.WriteLine("3,x,");
    file.WriteLine("");
    EXPECT_EQ(file.Close(), std::nullopt);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadFile(path), "day,cur_date\r\n3,x,\r\n\r\n");
}

TEST(OutputFile, ReportsAFileThatCannotBeCreated) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("FOLDER.CP2"));
    for (const auto& path : {dir.file("missing/WEEK1.CP2"), dir.file("FOLDER.CP2")}) {
        OutputFile file;
        const MaybeError error = file.Create(path.string());
        ASSERT_TRUE(error.has_value()) << path;
        EXPECT_EQ(error->number, errors::kPathFileAccess);
        EXPECT_FALSE(file.IsOpen());
        file.WriteLine("ignored");
        EXPECT_EQ(file.Close(), std::nullopt) << "nothing was opened, so nothing failed later";
    }
}

TEST(OutputFile, CloseReportsWritesThatFailed) {
    // /dev/full takes the file open but refuses every byte written: a full disk.
    OutputFile file;
    ASSERT_EQ(file.Create("/dev/full"), std::nullopt);
    file.WriteLine("day,cur_date");
    const MaybeError error = file.Close();
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number, errors::kPathFileAccess);
    EXPECT_NE(error->description.find("/dev/full"), std::string::npos) << error->description;
}

TEST(OutputFile, ReportsAFailureWhileWritingAndAgainOnASecondClose) {
    OutputFile file;
    ASSERT_EQ(file.Create("/dev/full"), std::nullopt);
    // More than any stream buffer, so the failure shows while writing, not only at the close.
    const std::string line(1 << 20, 'x');
    file.WriteLine(line);
    file.WriteLine(line);
    const MaybeError error = file.Close();
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->description.find("cannot write"), std::string::npos) << error->description;
    EXPECT_EQ(file.Close(), error) << "a second close repeats the failure";
}

}  // namespace
}  // namespace skedora
