// Shell shortcuts written and resolved back through the shell link object.
#include <vekkit.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class Shortcut : public ::testing::Test {
protected:
    void SetUp() override
    {
        initialised_ = SUCCEEDED(CoInitialize(nullptr));
        // A folder of short names, so that the target's short path is its path.
        char full[MAX_PATH];
        ASSERT_GT(GetFullPathNameA("LNKTEST", MAX_PATH, full, nullptr), 0u);
        folder_ = full;
        CreateDirectoryA(folder_.c_str(), nullptr);
        target_ = folder_ + "\\TARGET.TXT";
        link_ = folder_ + "\\TARGET.LNK";
        HFILE f = _lcreat(target_.c_str(), 0);
        ASSERT_NE(f, HFILE_ERROR);
        _lclose(f);
        DeleteFileA(link_.c_str());
    }
    void TearDown() override
    {
        DeleteFileA(link_.c_str());
        DeleteFileA(target_.c_str());
        RemoveDirectoryA(folder_.c_str());
        if (initialised_) CoUninitialize();
    }
    bool initialised_ = false;
    std::string folder_, target_, link_;
};

}  // namespace

TEST_F(Shortcut, WrittenAndResolvedBack)
{
    ASSERT_EQ(vekCreateShortcut(target_.c_str(), link_.c_str(), "A test target"), S_OK);
    EXPECT_TRUE(vekFileExists(link_.c_str()));

    char resolved[MAX_PATH];
    std::fill(std::begin(resolved), std::end(resolved), '#');
    ASSERT_EQ(vekResolveShortcut(nullptr, link_.c_str(), resolved), S_OK);
    EXPECT_EQ(lstrcmpiA(resolved, target_.c_str()), 0) << resolved << " vs " << target_;
}

TEST_F(Shortcut, MissingLinkFileLeavesTheOutputEmpty)
{
    char resolved[MAX_PATH] = "untouched";
    std::string missing = folder_ + "\\NOSUCH.LNK";
    HRESULT result = vekResolveShortcut(nullptr, missing.c_str(), resolved);
    EXPECT_TRUE(FAILED(result)) << std::hex << result;
    EXPECT_STREQ(resolved, "");
}

TEST_F(Shortcut, NotALinkFileFails)
{
    HFILE f = _lcreat(link_.c_str(), 0);
    ASSERT_NE(f, HFILE_ERROR);
    _lwrite(f, "this is not a shell link, only some text", 40);
    _lclose(f);
    char resolved[MAX_PATH] = "untouched";
    EXPECT_TRUE(FAILED(vekResolveShortcut(nullptr, link_.c_str(), resolved)));
    EXPECT_STREQ(resolved, "");
}

TEST(ShortcutWithoutCom, CreationFails)
{
    char resolved[MAX_PATH] = "untouched";
    EXPECT_TRUE(FAILED(vekCreateShortcut("C:\\X.TXT", "C:\\X.LNK", "x")));
    EXPECT_TRUE(FAILED(vekResolveShortcut(nullptr, "C:\\X.LNK", resolved)));
    EXPECT_STREQ(resolved, "");
}
