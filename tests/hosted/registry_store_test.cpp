// The hosted registry's stores: the REGEDIT4 text, hand-written files,
// saves that replace the store whole, several processes on one store.
// Stores that cannot be written are the registry message tests'.
//
// Other processes are this test program run again with RegistryChild.Writer
// selected and its orders in VEKKIT_REGISTRY_CHILD.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<BYTE>;

fs::path storeFile(const char *name = "user.reg")
{
    const char *prefix = std::getenv("VEKHOST_PREFIX");
    EXPECT_NE(prefix, nullptr) << "CTest sets VEKHOST_PREFIX";
    return fs::path(prefix ? prefix : ".") / name;
}
std::string readText(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
BOOL setString(const char *path, const char *text)
{
    return SetRegValue(nullptr, path, reinterpret_cast<const BYTE *>(text), DWORD(std::strlen(text) + 1), REG_SZ);
}
BOOL setDword(const char *path, DWORD value)
{
    return SetRegValue(nullptr, path, reinterpret_cast<const BYTE *>(&value), 4, REG_DWORD);
}
// A value through the registry calls: its bytes, or empty.
Bytes query(const char *key, const char *name, DWORD *type = nullptr)
{
    HKEY opened;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return {};
    DWORD size = 0, kind = 0;
    Bytes data;
    if (RegQueryValueExA(opened, name, nullptr, &kind, nullptr, &size) == ERROR_SUCCESS) {
        data.resize(size);
        RegQueryValueExA(opened, name, nullptr, &kind, data.data(), &size);
    }
    RegCloseKey(opened);
    if (type) *type = kind;
    return data;
}
std::string text(const char *key, const char *name)
{
    const Bytes data = query(key, name);
    return data.empty() ? "<none>" : std::string(data.begin(), data.end() - 1);
}

pid_t startWriter(const std::string &orders)
{
    const pid_t child = fork();
    if (child == 0) {
        setenv("VEKKIT_REGISTRY_CHILD", orders.c_str(), 1);
        execl("/proc/self/exe", "test_hosted", "--gtest_filter=RegistryChild.Writer", static_cast<char *>(nullptr));
        _exit(127);
    }
    return child;
}
int waitChild(pid_t child)
{
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class RegistryStore : public ::testing::Test {
protected:
    void SetUp() override { fs::remove(storeFile()); }
};

}  // namespace

// Writes values Concurrent\w<id>_<n> for n below count. Orders: "id count".
TEST(RegistryChild, Writer)
{
    const char *orders = std::getenv("VEKKIT_REGISTRY_CHILD");
    if (!orders) GTEST_SKIP() << "run by RegistryStore tests";
    int id = 0, count = 0;
    ASSERT_EQ(std::sscanf(orders, "%d %d", &id, &count), 2);
    for (int n = 0; n < count; ++n)
        ASSERT_EQ(setDword(("Software\\Concurrent\\w" + std::to_string(id) + "_" + std::to_string(n)).c_str(),
                           DWORD(id * 1000 + n)),
                  1);
}

TEST_F(RegistryStore, Regedit4Text)
{
    ASSERT_EQ(setString("Software\\Text\\Plain", "say \"hi\" C:\\dir"), 1);
    ASSERT_EQ(setDword("Software\\Text\\Number", 0xCAFE01), 1);
    Bytes blob(30);
    for (size_t i = 0; i < blob.size(); ++i) blob[i] = BYTE(i * 9);
    ASSERT_EQ(SetRegValue(nullptr, "Software\\Text\\Blob", blob.data(), DWORD(blob.size()), REG_BINARY), 1);
    ASSERT_EQ(SetRegValue(nullptr, "Software\\Text\\Lines", reinterpret_cast<const BYTE *>("a\nb"), 4, REG_SZ), 1);
    ASSERT_EQ(SetRegValue(nullptr, "Software\\Text\\List", reinterpret_cast<const BYTE *>("x\0y\0"), 5, REG_MULTI_SZ), 1);
    ASSERT_EQ(SetRegValue(nullptr, "Software\\Text\\Short", reinterpret_cast<const BYTE *>("\1\2"), 2, REG_DWORD), 1);
    ASSERT_EQ(setString("Software\\Text\\", "default"), 1);
    ASSERT_EQ(SetRegValue(nullptr, "Software\\Empty\\Key\\Gone", nullptr, 0, 0), 0)
        << "creates the keys, deletes nothing";

    // The second line is the save's mark, a comment new with every save.
    std::string saved = readText(storeFile());
    ASSERT_EQ(saved.compare(0, 18, "REGEDIT4\r\n; saved "), 0);
    saved.erase(10, saved.find('\n', 10) - 9);
    // Keys without values are written only when they have no subkeys.
    EXPECT_EQ(saved,
              "REGEDIT4\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\Empty\\Key]\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\Text]\r\n"
              "@=\"default\"\r\n"
              "\"Blob\"=hex:00,09,12,1b,24,2d,36,3f,48,51,5a,63,6c,75,7e,87,90,99,a2,ab,b4,bd,\\\r\n"
              "  c6,cf,d8,e1,ea,f3,fc,05\r\n"
              "\"Lines\"=hex(1):61,0a,62,00\r\n"
              "\"List\"=hex(7):78,00,79,00,00\r\n"
              "\"Number\"=dword:00cafe01\r\n"
              "\"Plain\"=\"say \\\"hi\\\" C:\\\\dir\"\r\n"
              "\"Short\"=hex(4):01,02\r\n");
    // Machine-wide roots go to system.reg.
    ASSERT_EQ(setString("*Software\\Machine Text\\Name", "m"), 1);
    EXPECT_NE(readText(storeFile("system.reg")).find("\r\n[HKEY_LOCAL_MACHINE\\Software\\Machine Text]\r\n\"Name\"=\"m\"\r\n"),
              std::string::npos);
    EXPECT_EQ(readText(storeFile()).find("Machine Text"), std::string::npos);

    // Hand-written files: any line ends, comments, escapes, wrapped hex,
    // other types; lines that cannot be read are passed over.
    std::ofstream(storeFile(), std::ios::binary | std::ios::trunc)
        << "REGEDIT4\n\"Orphan\"=\"before any key\"\n; a comment\n"
           "[HKEY_CURRENT_USER\\Software\\Hand\\Made]\r\n@=\"default\"\n\"Quote\"=\"a \\\"b\\\" \\\\ c\"\n"
           "\"Wrapped\"=hex:01,02,\\\n      03,04\n\"Upper\"=dword:DEADBEEF\n\"BadDword\"=dword:123\n"
           "\"BadHex\"=hex:1,zz\n\"Unterminated\"=\"no end\n\"Type\"=hex(b):01,00,00,00,00,00,00,00\n"
           "[HKEY_CURRENT_USER\\Software\\Broken\n\"AfterBroken\"=\"lost\"\n"
           "[HKEY_CURRENT_USER\\Software\\Second]\n\"Last\"=\"no newline at the end\"";
    EXPECT_EQ(text("Software\\Hand\\Made", nullptr), "default");
    EXPECT_EQ(text("Software\\hand\\MADE", "quote"), "a \"b\" \\ c");
    EXPECT_EQ(text("Software\\Second", "Last"), "no newline at the end");
    EXPECT_EQ(query("Software\\Hand\\Made", "Wrapped"), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(query("Software\\Hand\\Made", "Upper"), (Bytes{0xEF, 0xBE, 0xAD, 0xDE}));
    EXPECT_EQ(query("Software\\Hand\\Made", "Type").size(), 8u);
    for (const char *bad : {"BadDword", "BadHex", "Unterminated"}) EXPECT_TRUE(query("Software\\Hand\\Made", bad).empty());
    EXPECT_TRUE(query("Software\\Broken", "AfterBroken").empty());
}

TEST_F(RegistryStore, SavesReplaceTheStoreWhole)
{
    // A reader holding the store file open still reads the old text whole
    // after a save: the save makes a new file and renames it over the
    // store, it does not rewrite the file in place.
    ASSERT_EQ(setString("Software\\Atomic\\Value", std::string(5000, 'a').c_str()), 1);
    const std::string before = readText(storeFile());
    const int held = open(storeFile().c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    struct stat heldInfo, now;
    ASSERT_EQ(fstat(held, &heldInfo), 0);
    ASSERT_EQ(setString("Software\\Atomic\\Value", "b"), 1);
    std::string seen(before.size() + 10, '\0');
    seen.resize(static_cast<size_t>(std::max<ssize_t>(0, pread(held, seen.data(), seen.size(), 0))));
    close(held);
    EXPECT_EQ(seen, before) << "the old store, whole";
    ASSERT_EQ(stat(storeFile().c_str(), &now), 0);
    EXPECT_NE(now.st_ino, heldInfo.st_ino) << "a new file in its place";
    EXPECT_FALSE(fs::exists(storeFile("user.reg.new"))) << "renamed into place";
    EXPECT_EQ(text("Software\\Atomic", "Value"), "b");

    // A half-written new file of a process killed while saving is no obstacle.
    std::ofstream(storeFile("user.reg.new")) << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Ato";
    ASSERT_EQ(setString("Software\\Atomic\\After", "saved"), 1);
    EXPECT_EQ(text("Software\\Atomic", "After"), "saved");
    EXPECT_EQ(text("Software\\Atomic", "Value"), "b");
}

TEST_F(RegistryStore, ProcessesShareTheStoreAndLoseNothing)
{
    ASSERT_EQ(setDword("Software\\Concurrent\\Before", 1), 1);
    EXPECT_EQ(waitChild(startWriter("7 3")), 0);
    EXPECT_EQ(query("Software\\Concurrent", "w7_2"), (Bytes{0x5A, 0x1B, 0, 0})) << "read again after another process's save";
    constexpr int kWriters = 4, kValues = 40;
    std::vector<pid_t> children;
    for (int id = 0; id < kWriters; ++id) children.push_back(startWriter(std::to_string(id) + " " + std::to_string(kValues)));
    for (int n = 0; n < kValues; ++n) ASSERT_EQ(setDword(("Software\\Concurrent\\parent_" + std::to_string(n)).c_str(), n), 1);
    for (pid_t child : children) EXPECT_EQ(waitChild(child), 0);
    for (int id = 0; id < kWriters; ++id)
        for (int n = 0; n < kValues; ++n) {
            const DWORD v = id * 1000 + n;
            EXPECT_EQ(query("Software\\Concurrent", ("w" + std::to_string(id) + "_" + std::to_string(n)).c_str()),
                      (Bytes{BYTE(v), BYTE(v >> 8), 0, 0}));
        }
    EXPECT_FALSE(query("Software\\Concurrent", "parent_39").empty());
    EXPECT_FALSE(query("Software\\Concurrent", "Before").empty());
}
