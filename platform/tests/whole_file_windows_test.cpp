// pieces: files
#include <gtest/gtest.h>

#include <filesystem>

#include "files/whole_file.h"

namespace {
std::vector<unsigned char> Bytes(const char* text) { return {text, text + std::char_traits<char>::length(text)}; }
}  // namespace

TEST(WholeFileWindows, ReplacesWholeOrLeavesTheOldFile) {
    const std::string folder = (std::filesystem::temp_directory_path() / "whole_file_windows_test").string();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string path = folder + "\\a.bmp";
    ASSERT_TRUE(platform::WriteWholeFile(path, "first", 5));
    ASSERT_TRUE(platform::WriteWholeFile(path, "second", 6));
    EXPECT_EQ(platform::ReadWholeFile(path), Bytes("second"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);  // no temporary file left

    EXPECT_FALSE(platform::WriteWholeFile(folder + "\\missing\\a.bmp", "x", 1));
    EXPECT_TRUE(platform::WriteWholeFile("NUL", "into the device", 15));  // written in place, never replaced
    EXPECT_TRUE(platform::DeleteFile(path));
    EXPECT_FALSE(platform::DeleteFile(path));
    std::filesystem::remove_all(folder);
}
