// pieces: filemap
#include "filemap/mapped_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

std::string TempFile(const char* name, const std::string& content) {
    const auto path = std::filesystem::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

}  // namespace

TEST(MappedFile, MapsTheWholeFileOrSaysWhyNot) {
    const std::string path = TempFile("mapped_file_test.bin", "BM and more");
    {
        platform::MappedFile file(path.c_str());
        ASSERT_EQ(file.Status(), platform::OpenStatus::kOpened);
        ASSERT_EQ(file.Size(), 11);
        EXPECT_EQ(std::memcmp(file.Data(), "BM and more", 11), 0);
        EXPECT_EQ(platform::CheckReadable(path.c_str()), platform::OpenStatus::kOpened);
    }
    std::filesystem::remove(path);

    const std::string empty = TempFile("mapped_file_test.empty", "");
    {
        platform::MappedFile file(empty.c_str());
        EXPECT_EQ(file.Status(), platform::OpenStatus::kOpened);
        EXPECT_EQ(file.Size(), 0);
        EXPECT_EQ(file.Data(), nullptr);
    }
    std::filesystem::remove(empty);

    EXPECT_EQ(platform::MappedFile(path.c_str()).Status(), platform::OpenStatus::kNotFound);
    EXPECT_EQ(platform::CheckReadable((path + "/below").c_str()), platform::OpenStatus::kNotFound);
    const std::string folder = std::filesystem::temp_directory_path().string();
    EXPECT_NE(platform::MappedFile(folder.c_str()).Status(), platform::OpenStatus::kOpened);
    EXPECT_EQ(platform::MappedFile(nullptr).Status(), platform::OpenStatus::kFailed);
}
