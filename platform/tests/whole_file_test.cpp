// pieces: files
#include "files/whole_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace {

class WholeFile : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/whole_file_test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string folder_;
};

TEST_F(WholeFile, WritesReadsAndDeletes) {
    const std::string path = folder_ + "/a.bin";
    const std::string bytes("one\0two", 7);
    ASSERT_TRUE(platform::WriteWholeFile(path, bytes.data(), bytes.size()));
    const auto read = platform::ReadWholeFile(path);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(std::string(read->begin(), read->end()), bytes);
    EXPECT_TRUE(platform::DeleteFile(path));
    EXPECT_FALSE(platform::ReadWholeFile(path).has_value());
    EXPECT_FALSE(platform::DeleteFile(path));
    // Only the target is left behind: no temporary files.
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

TEST_F(WholeFile, EmptyFileReadsAsNoBytes) {
    const std::string path = folder_ + "/empty";
    ASSERT_TRUE(platform::WriteWholeFile(path, nullptr, 0));
    const auto read = platform::ReadWholeFile(path);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->empty());
}

TEST_F(WholeFile, ReplacementLeavesAMappedOldFileIntact) {
    const std::string path = folder_ + "/lib.dll";
    const std::string old_bytes(4096, 'o');
    ASSERT_TRUE(platform::WriteWholeFile(path, old_bytes.data(), old_bytes.size()));
    const int fd = open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    void* map = mmap(nullptr, old_bytes.size(), PROT_READ, MAP_PRIVATE, fd, 0);
    ASSERT_NE(map, MAP_FAILED);
    const std::string new_bytes(100, 'n');
    ASSERT_TRUE(platform::WriteWholeFile(path, new_bytes.data(), new_bytes.size()));
    EXPECT_EQ(std::memcmp(map, old_bytes.data(), old_bytes.size()), 0);
    munmap(map, old_bytes.size());
    close(fd);
    EXPECT_EQ(platform::ReadWholeFile(path)->size(), new_bytes.size());
}

TEST_F(WholeFile, FailuresLeaveTheTargetUntouched) {
    EXPECT_FALSE(platform::WriteWholeFile(folder_ + "/missing/a.bin", "x", 1));
    EXPECT_FALSE(platform::WriteWholeFile("", "x", 1));
    EXPECT_FALSE(platform::WriteWholeFile(folder_ + "/a", nullptr, 5));
    EXPECT_FALSE(platform::ReadWholeFile(folder_).has_value());  // a folder
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

}  // namespace
