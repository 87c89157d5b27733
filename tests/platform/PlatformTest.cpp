// The operating-system services behind one interface, on whichever system
// the tests run.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "Support.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;
using namespace GenChartLib::platform;

namespace {

class ScratchDir : public ::testing::Test {
  protected:
    std::string path(const char* name) const { return dir_.file(name); }
    static void write(const std::string& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }
    testsupport::TempFolder dir_;
};

bool isFolderWithSeparator(const std::string& dir) {
    return !dir.empty() && (dir.back() == '/' || dir.back() == '\\') && fs::is_directory(dir);
}

}  // namespace

TEST_F(ScratchDir, RenameMovesOnlyToAFreeName) {
    write(path("a"), "first");
    EXPECT_EQ(renameNoReplace(path("a"), path("b")), RenameResult::Moved);
    EXPECT_FALSE(fs::exists(path("a")));
    write(path("a"), "new");
    EXPECT_EQ(renameNoReplace(path("a"), path("b")), RenameResult::TargetExists);
    EXPECT_EQ(testsupport::fileText(path("a")) + testsupport::fileText(path("b")), "newfirst");
    EXPECT_EQ(renameNoReplace(path("missing"), path("c")), RenameResult::Failed);
    EXPECT_FALSE(fs::exists(path("c")));
}

TEST(Platform, FoldersModuleNamesAndTheAddressFollowThePlatform) {
    EXPECT_TRUE(isFolderWithSeparator(tempDirectory())) << tempDirectory();
    EXPECT_TRUE(isFolderWithSeparator(libraryDirectory())) << libraryDirectory();
    EXPECT_EQ(moduleFileName("DbgOut"), std::string("DbgOut") + ORVOCHART_MODULE_SUFFIX);
    // A machine without a network may have no address; one found is real.
    EXPECT_NE(firstLocalIPv4().value_or(std::array<std::uint8_t, 4>{1}),
              (std::array<std::uint8_t, 4>{}));
}

TEST(Platform, LoadsASystemModuleFindsItsEntriesAndSaysWhyAModuleIsMissing) {
#ifdef _WIN32
    const char* system = "kernel32.dll";
    const char* entry = "GetTickCount";
#else
    const char* system = "libm.so.6";
    const char* entry = "cos";
#endif
    std::string error;
    ModuleHandle module = loadModule(system, &error);
    ASSERT_NE(module, nullptr) << error;
    EXPECT_NE(findEntry(module, entry), nullptr);
    EXPECT_EQ(findEntry(module, "no_such_entry_point"), nullptr);
    unloadModule(module);
    EXPECT_EQ(loadModule(std::string("NoSuchModule") + ORVOCHART_MODULE_SUFFIX, &error), nullptr);
    EXPECT_NE(error, "");
    EXPECT_EQ(findEntry(nullptr, entry), nullptr);
    unloadModule(nullptr);
}

// A link planted at a shared file's name is neither read nor locked through,
// and a replacing move takes the link's place without touching its target.
TEST_F(ScratchDir, SharedFilesNeverFollowLinks) {
    write(path("target"), "keep");
    std::error_code refused;
    fs::create_symlink(path("target"), path("link"), refused);
    if (refused) {
        GTEST_SKIP() << "no symbolic links here: " << refused.message();
    }
    EXPECT_FALSE(readFileNoFollow(path("link"), 4).has_value());
    EXPECT_EQ(lockFileExclusive(path("link")), -1);
    write(path("new"), "n");
    EXPECT_TRUE(replaceFile(path("new"), path("link")));
    EXPECT_EQ(testsupport::fileText(path("link")) + testsupport::fileText(path("target")), "nkeep");
}
