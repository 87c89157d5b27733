#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Platform.h"

namespace fs = std::filesystem;
using namespace GenChartLib::platform;

namespace {

class ScratchDir : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("orvochart-platform-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const char* name) const { return (dir_ / name).string(); }
    static void write(const std::string& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }
    static std::string read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path dir_;
};

}  // namespace

TEST_F(ScratchDir, RenameMovesWhenTargetIsFree) {
    write(path("a"), "first");
    EXPECT_EQ(renameNoReplace(path("a"), path("b")), RenameResult::Moved);
    EXPECT_FALSE(fs::exists(path("a")));
    EXPECT_EQ(read(path("b")), "first");
}

TEST_F(ScratchDir, RenameNeverReplacesAnExistingFile) {
    write(path("a"), "new");
    write(path("b"), "kept");
    EXPECT_EQ(renameNoReplace(path("a"), path("b")), RenameResult::TargetExists);
    EXPECT_EQ(read(path("a")), "new");
    EXPECT_EQ(read(path("b")), "kept");
}

TEST_F(ScratchDir, RenameOfAMissingFileFails) {
    EXPECT_EQ(renameNoReplace(path("missing"), path("b")), RenameResult::Failed);
    EXPECT_FALSE(fs::exists(path("b")));
}

TEST(Platform, TempDirectoryEndsWithSeparatorAndExists) {
    const std::string dir = tempDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(fs::is_directory(dir));
}

TEST(Platform, ModuleFileNameUsesThePlatformSuffix) {
    EXPECT_EQ(moduleFileName("DbgOut"), "DbgOut.so");
}

TEST(Platform, LibraryDirectoryIsTheFolderOfThisBinary) {
    const std::string dir = libraryDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(fs::is_directory(dir));
}

TEST(Platform, LoadsASystemModuleAndFindsAnEntry) {
    std::string error;
    ModuleHandle libm = loadModule("libm.so.6", &error);
    ASSERT_NE(libm, nullptr) << error;
    EXPECT_NE(findEntry(libm, "cos"), nullptr);
    EXPECT_EQ(findEntry(libm, "no_such_entry_point"), nullptr);
    unloadModule(libm);
}

TEST(Platform, MissingModuleReportsWhy) {
    std::string error;
    EXPECT_EQ(loadModule("NoSuchModule.so", &error), nullptr);
    EXPECT_NE(error.find("NoSuchModule.so"), std::string::npos) << error;
    EXPECT_EQ(findEntry(nullptr, "cos"), nullptr);
    unloadModule(nullptr);
}

TEST(Platform, FirstIPv4IsNotLoopbackWhenFoundThroughInterfaces) {
    // A machine without a network may have no address at all; when one is
    // reported it is a real IPv4 address, never all zeros.
    const auto address = firstLocalIPv4();
    if (address) {
        const auto& a = *address;
        EXPECT_FALSE(a[0] == 0 && a[1] == 0 && a[2] == 0 && a[3] == 0);
    }
}

// A link planted at a shared file's name is neither read nor locked through,
// and a replacing move takes the link's place without touching its target.
TEST_F(ScratchDir, SharedFilesNeverFollowLinks) {
    write(path("target"), "keep");
    fs::create_symlink(path("target"), path("link"));
    EXPECT_FALSE(readFileNoFollow(path("link"), 4).has_value());
    EXPECT_EQ(lockFileExclusive(path("link")), -1);
    write(path("new"), "n");
    EXPECT_TRUE(replaceFile(path("new"), path("link")));
    EXPECT_EQ(read(path("link")) + read(path("target")), "nkeep");
}
