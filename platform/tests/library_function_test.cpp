// pieces: binding
#include "binding/library_function.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

// A real shared library to bind against: the C maths library, copied into a
// private program folder under a ".dll" name.
class LibraryFunctionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/binding_test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        Dl_info info{};
        double (*cosine)(double) = &std::cos;
        ASSERT_NE(dladdr(reinterpret_cast<void*>(cosine), &info), 0);
        fs::copy_file(info.dli_fname, folder_ + "/Maths.dll");
        platform::OverrideProgramFolder(folder_ + "/");
    }
    static void TearDownTestSuite() { fs::remove_all(folder_); }
    static std::string folder_;
};
std::string LibraryFunctionTest::folder_;

TEST_F(LibraryFunctionTest, PathIsProgramFolderAndNameWithDefaultExtension) {
    EXPECT_EQ(platform::ProgramFolder(), folder_);
    EXPECT_EQ(platform::LibraryPath("Lectavo"), folder_ + "/Lectavo.dll");
    EXPECT_EQ(platform::LibraryPath("Mosaire.dll"), folder_ + "/Mosaire.dll");
    EXPECT_EQ(platform::LibraryPath("libx.so.6"), folder_ + "/libx.so.6");
}

TEST_F(LibraryFunctionTest, BindsAtFirstCallAndStaysBound) {
    static platform::LibraryFunction<double(double)> cosine{"Maths", "cos"};
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    const auto first = cosine.Bind();
    // The file may go away: the bound function keeps working.
    fs::rename(folder_ + "/Maths.dll", folder_ + "/Moved.dll");
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(cosine.Bind(), first);
    fs::rename(folder_ + "/Moved.dll", folder_ + "/Maths.dll");
}

TEST_F(LibraryFunctionTest, ReportsMissingLibraryAndMissingExport) {
    platform::LibraryFunction<int()> absent_library{"Absent", "Anything"};
    try {
        absent_library();
        FAIL() << "no error";
    } catch (const platform::BindError& e) {
        EXPECT_TRUE(e.library_missing());
        EXPECT_EQ(e.library(), "Absent");
        EXPECT_FALSE(e.detail().empty());
    }
    platform::LibraryFunction<int()> absent_export{"Maths.dll", "NoSuchExport"};
    try {
        absent_export();
        FAIL() << "no error";
    } catch (const platform::BindError& e) {
        EXPECT_FALSE(e.library_missing());
        EXPECT_EQ(e.export_name(), "NoSuchExport");
    }
    EXPECT_THROW(platform::BindExport("Maths", ""), platform::BindError);
    EXPECT_THROW(platform::BindExport("Maths", nullptr), platform::BindError);
}

}  // namespace

TEST(PerUserFolder, FollowsTheCacheConventions) {
    EXPECT_EQ(platform::PerUserFolder("/xdg/cache", "/home/u", nullptr), "/xdg/cache/qrsuite");
    EXPECT_EQ(platform::PerUserFolder("/xdg/cache/", "/home/u", nullptr), "/xdg/cache/qrsuite");
    // A relative XDG_CACHE_HOME is invalid and ignored.
    EXPECT_EQ(platform::PerUserFolder("relative", "/home/u", nullptr), "/home/u/.cache/qrsuite");
    EXPECT_EQ(platform::PerUserFolder(nullptr, "/home/u", "/run/user/7"), "/home/u/.cache/qrsuite");
    // Without a home, the private runtime folder; without that, none at all
    // (never a guessable name in a shared folder).
    EXPECT_EQ(platform::PerUserFolder("", "", "/run/user/7"), "/run/user/7/qrsuite");
    EXPECT_EQ(platform::PerUserFolder(nullptr, nullptr, nullptr), "");
    EXPECT_EQ(platform::PerUserFolder("", "relative", "relative"), "");
}

TEST(PerUserFolder, IsMadePrivateAndUsedOnlyWhileItIs) {
    char pattern[] = "/tmp/per_user_test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string base = pattern;
    const std::string made = base + "/cache/qrsuite";
    const mode_t mask = umask(0);  // the modes below are the ones asked for
    const bool private_made = platform::MakePrivateFolder(made);
    umask(mask);
    EXPECT_TRUE(private_made);
    struct stat info {};
    ASSERT_EQ(lstat(made.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    EXPECT_TRUE(platform::MakePrivateFolder(made));  // already there

    // Made by someone else before us, open to others, or a link: refused.
    const std::string open_folder = base + "/open";
    ASSERT_EQ(mkdir(open_folder.c_str(), 0700), 0);
    ASSERT_EQ(chmod(open_folder.c_str(), 0777), 0);
    EXPECT_FALSE(platform::MakePrivateFolder(open_folder));
    const std::string link = base + "/link";
    ASSERT_EQ(symlink(made.c_str(), link.c_str()), 0);
    EXPECT_FALSE(platform::MakePrivateFolder(link));
    if (geteuid() == 0) {
        const std::string others = base + "/others";
        ASSERT_EQ(mkdir(others.c_str(), 0700), 0);
        ASSERT_EQ(chown(others.c_str(), 65534, 65534), 0);
        EXPECT_FALSE(platform::MakePrivateFolder(others));
    }
    fs::remove_all(base);
}
