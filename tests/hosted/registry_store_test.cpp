// The hosted registry's stores: the REGEDIT4 text, several processes on one
// store, interrupted saves, hand-written and damaged files, and stores that
// cannot be written.
//
// Other processes are this test program run again with one of the
// RegistryChild tests selected and its orders in VEKKIT_REGISTRY_CHILD.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

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

void writeText(const fs::path &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

BOOL setString(const char *path, const char *text)
{
    return SetRegValue(nullptr, path, reinterpret_cast<const BYTE *>(text), DWORD(std::strlen(text) + 1), REG_SZ);
}

BOOL setDword(const char *path, DWORD value)
{
    return SetRegValue(nullptr, path, reinterpret_cast<const BYTE *>(&value), 4, REG_DWORD);
}

// A value through the registry calls: type and bytes, or false.
bool query(HKEY root, const char *key, const char *name, DWORD &type, std::vector<BYTE> &data)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG error = RegQueryValueExA(opened, name, nullptr, &type, nullptr, &size);
    if (error == ERROR_SUCCESS) {
        data.resize(size);
        error = RegQueryValueExA(opened, name, nullptr, &type, data.data(), &size);
    }
    RegCloseKey(opened);
    return error == ERROR_SUCCESS;
}

std::string queryString(const char *key, const char *name)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!query(HKEY_CURRENT_USER, key, name, type, data) || type != REG_SZ || data.empty()) return "<none>";
    return std::string(data.begin(), data.end() - 1);
}

// Runs this program again with one child test and its orders; returns the
// process id.
pid_t startChild(const char *test, const std::string &orders)
{
    pid_t child = fork();
    if (child == 0) {
        setenv("VEKKIT_REGISTRY_CHILD", orders.c_str(), 1);
        std::string filter = std::string("--gtest_filter=RegistryChild.") + test;
        execl("/proc/self/exe", "test_hosted", filter.c_str(), static_cast<char *>(nullptr));
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

const char *childOrders()
{
    return std::getenv("VEKKIT_REGISTRY_CHILD");
}

class RegistryStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::remove(storeFile());
        fs::remove(storeFile("user.reg.new"));
    }
};

}  // namespace

// Writes values Concurrent\w<id>_<n> for n below count. Orders: "id count".
TEST(RegistryChild, Writer)
{
    if (!childOrders()) GTEST_SKIP() << "run by RegistryStore tests";
    int id = 0, count = 0;
    ASSERT_EQ(std::sscanf(childOrders(), "%d %d", &id, &count), 2);
    for (int n = 0; n < count; ++n) {
        std::string path = "Software\\Concurrent\\w" + std::to_string(id) + "_" + std::to_string(n);
        ASSERT_EQ(setDword(path.c_str(), DWORD(id * 1000 + n)), 1);
    }
}

// Saves a 20000-byte value of one repeated byte and its counter, forever.
TEST(RegistryChild, EndlessSaver)
{
    if (!childOrders()) GTEST_SKIP() << "run by RegistryStore tests";
    std::vector<BYTE> payload(20000);
    for (DWORD n = 1;; ++n) {
        std::fill(payload.begin(), payload.end(), BYTE(n));
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Saver", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        // One value per save; the payload and the counter agree between saves.
        ASSERT_EQ(RegSetValueExA(key, "Payload", 0, REG_BINARY, payload.data(), DWORD(payload.size())), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, "Counter", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&n), 4), ERROR_SUCCESS);
        RegCloseKey(key);
    }
}

TEST_F(RegistryStore, Regedit4Text)
{
    ASSERT_EQ(setString("Software\\Text\\Plain", "say \"hi\" C:\\dir"), 1);
    ASSERT_EQ(setDword("Software\\Text\\Number", 0xCAFE01), 1);
    std::vector<BYTE> blob(30);
    for (size_t i = 0; i < blob.size(); ++i) blob[i] = BYTE(i * 9);
    ASSERT_EQ(SetRegValue(nullptr, "Software\\Text\\Blob", blob.data(), DWORD(blob.size()), REG_BINARY), 1);
    ASSERT_EQ(SetRegValue(nullptr, "Software\\Text\\Lines", reinterpret_cast<const BYTE *>("a\nb"), 4, REG_SZ), 1);
    ASSERT_EQ(SetRegValue(nullptr, "Software\\Text\\List", reinterpret_cast<const BYTE *>("x\0y\0"), 5, REG_MULTI_SZ),
              1);
    ASSERT_EQ(SetRegValue(nullptr, "Software\\Text\\Short", reinterpret_cast<const BYTE *>("\1\2"), 2, REG_DWORD), 1);
    ASSERT_EQ(setString("Software\\Text\\", "default"), 1);
    ASSERT_EQ(SetRegValue(nullptr, "Software\\Empty\\Key\\Gone", nullptr, 0, 0), 0)
        << "creates the keys, deletes nothing";

    // The second line is the save's mark, a comment new with every save.
    std::string text = readText(storeFile());
    ASSERT_EQ(text.compare(0, 18, "REGEDIT4\r\n; saved "), 0);
    text.erase(10, text.find('\n', 10) - 9);
    // Keys without values are written only when they have no subkeys.
    EXPECT_EQ(text,
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
    EXPECT_FALSE(fs::exists(storeFile("user.reg.new"))) << "the new file was renamed into place";

    // Machine-wide roots go to system.reg.
    ASSERT_EQ(setString("*Software\\Machine Text\\Name", "m"), 1);
    std::string system = readText(storeFile("system.reg"));
    EXPECT_NE(system.find("\r\n[HKEY_LOCAL_MACHINE\\Software\\Machine Text]\r\n\"Name\"=\"m\"\r\n"), std::string::npos)
        << system;
    EXPECT_EQ(readText(storeFile()).find("Machine Text"), std::string::npos);
}

TEST_F(RegistryStore, HandWrittenFileIsRead)
{
    writeText(storeFile(),
              "REGEDIT4\n"
              "\"Orphan\"=\"before any key\"\n"
              "; a comment\n"
              "[HKEY_CURRENT_USER\\Software\\Hand\\Made]\r\n"
              "@=\"default\"\n"
              "\"Quote\"=\"a \\\"b\\\" \\\\ c\"\n"
              "\"Wrapped\"=hex:01,02,\\\n"
              "      03,04\n"
              "\"Upper\"=dword:DEADBEEF\n"
              "\"BadDword\"=dword:123\n"
              "\"BadHex\"=hex:1,zz\n"
              "\"Unterminated\"=\"no end\n"
              "\"Type\"=hex(b):01,00,00,00,00,00,00,00\n"
              "[HKEY_CURRENT_USER\\Software\\Broken\n"
              "\"AfterBroken\"=\"lost\"\n"
              "[HKEY_CURRENT_USER\\Software\\Second]\n"
              "\"Last\"=\"no newline at the end\"");

    EXPECT_EQ(queryString("Software\\Hand\\Made", nullptr), "default");
    EXPECT_EQ(queryString("Software\\hand\\MADE", "quote"), "a \"b\" \\ c");
    EXPECT_EQ(queryString("Software\\Second", "Last"), "no newline at the end");
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(query(HKEY_CURRENT_USER, "Software\\Hand\\Made", "Wrapped", type, data));
    EXPECT_EQ(type, DWORD(REG_BINARY));
    EXPECT_EQ(data, (std::vector<BYTE>{1, 2, 3, 4}));
    ASSERT_TRUE(query(HKEY_CURRENT_USER, "Software\\Hand\\Made", "Upper", type, data));
    EXPECT_EQ(data, (std::vector<BYTE>{0xEF, 0xBE, 0xAD, 0xDE}));
    ASSERT_TRUE(query(HKEY_CURRENT_USER, "Software\\Hand\\Made", "Type", type, data));
    EXPECT_EQ(type, DWORD(REG_QWORD));
    EXPECT_EQ(data.size(), 8u);
    for (const char *bad : {"BadDword", "BadHex", "Unterminated"})
        EXPECT_FALSE(query(HKEY_CURRENT_USER, "Software\\Hand\\Made", bad, type, data)) << bad;
    EXPECT_FALSE(query(HKEY_CURRENT_USER, "Software", "Orphan", type, data));
    EXPECT_FALSE(query(HKEY_CURRENT_USER, "Software\\Broken", "AfterBroken", type, data));
    HKEY parent;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Hand", 0, KEY_READ, &parent), ERROR_SUCCESS)
        << "parents of a section exist";
    RegCloseKey(parent);
}

TEST_F(RegistryStore, EveryPrefixOfAFileIsReadSafely)
{
    ASSERT_EQ(setString("Software\\Cut\\Text", "some \"quoted\" text"), 1);
    std::vector<BYTE> blob(100, 0x5A);
    ASSERT_EQ(SetRegValue(nullptr, "Software\\Cut\\Blob", blob.data(), DWORD(blob.size()), REG_BINARY), 1);
    ASSERT_EQ(setDword("Software\\Cut\\Number", 5), 1);
    std::string whole = readText(storeFile());
    for (size_t length = 0; length <= whole.size(); ++length) {
        writeText(storeFile(), whole.substr(0, length));
        DWORD type;
        std::vector<BYTE> data;
        if (query(HKEY_CURRENT_USER, "Software\\Cut", "Blob", type, data)) {
            EXPECT_TRUE(data.size() <= 100 && std::all_of(data.begin(), data.end(), [](BYTE b) { return b == 0x5A; }))
                << "cut at " << length;
        }
        query(HKEY_CURRENT_USER, "Software\\Cut", "Text", type, data);
    }
    EXPECT_EQ(queryString("Software\\Cut", "Text"), "some \"quoted\" text") << "the whole file again";
}

TEST_F(RegistryStore, AnotherProcessSeesTheValues)
{
    ASSERT_EQ(setDword("Software\\Concurrent\\Before", 1), 1);
    EXPECT_EQ(waitChild(startChild("Writer", "7 3")), 0);
    DWORD type;
    std::vector<BYTE> data;
    ASSERT_TRUE(query(HKEY_CURRENT_USER, "Software\\Concurrent", "w7_2", type, data))
        << "the store is read again after another process changed it";
    EXPECT_EQ(data, (std::vector<BYTE>{0x5A, 0x1B, 0, 0}));  // 7002
    EXPECT_TRUE(query(HKEY_CURRENT_USER, "Software\\Concurrent", "Before", type, data)) << "and kept ours";
}

TEST_F(RegistryStore, ConcurrentWritersLoseNothing)
{
    constexpr int kWriters = 4, kValues = 40;
    std::vector<pid_t> children;
    for (int id = 0; id < kWriters; ++id)
        children.push_back(startChild("Writer", std::to_string(id) + " " + std::to_string(kValues)));
    // This process writes too, between the others.
    for (int n = 0; n < kValues; ++n)
        ASSERT_EQ(setDword(("Software\\Concurrent\\parent_" + std::to_string(n)).c_str(), DWORD(n)), 1);
    for (pid_t child : children) EXPECT_EQ(waitChild(child), 0);

    int found = 0;
    for (int id = 0; id < kWriters; ++id) {
        for (int n = 0; n < kValues; ++n) {
            DWORD type;
            std::vector<BYTE> data;
            std::string name = "w" + std::to_string(id) + "_" + std::to_string(n);
            if (query(HKEY_CURRENT_USER, "Software\\Concurrent", name.c_str(), type, data) && data.size() == 4 &&
                DWORD(data[0] | data[1] << 8) == DWORD(id * 1000 + n))
                ++found;
        }
    }
    EXPECT_EQ(found, kWriters * kValues);
    DWORD type;
    std::vector<BYTE> data;
    EXPECT_TRUE(query(HKEY_CURRENT_USER, "Software\\Concurrent", "parent_39", type, data));
}

TEST_F(RegistryStore, InterruptedSaveLeavesTheOldStore)
{
    pid_t child = startChild("EndlessSaver", "go");
    // Wait until the saver is well under way, then kill it wherever it is.
    for (int tries = 0; tries < 20000; ++tries) {
        DWORD type;
        std::vector<BYTE> data;
        if (query(HKEY_CURRENT_USER, "Software\\Saver", "Counter", type, data) && data.size() == 4 && data[0] >= 25)
            break;
        usleep(1000);
    }
    kill(child, SIGKILL);
    waitChild(child);

    std::string text = readText(storeFile());
    ASSERT_EQ(text.compare(0, 10, "REGEDIT4\r\n"), 0);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << "a whole file";
    DWORD type;
    std::vector<BYTE> payload, counter;
    ASSERT_TRUE(query(HKEY_CURRENT_USER, "Software\\Saver", "Payload", type, payload));
    ASSERT_TRUE(query(HKEY_CURRENT_USER, "Software\\Saver", "Counter", type, counter));
    ASSERT_EQ(payload.size(), 20000u);
    EXPECT_TRUE(std::all_of(payload.begin(), payload.end(), [&](BYTE b) { return b == payload[0]; }));
    // The counter is saved after its payload: it equals the payload's byte
    // or is one behind it.
    EXPECT_TRUE(payload[0] == counter[0] || payload[0] == BYTE(counter[0] + 1))
        << int(payload[0]) << " " << int(counter[0]);

    // A half-written new file of the killed process is no obstacle.
    ASSERT_EQ(setString("Software\\Saver\\After", "saved"), 1);
    EXPECT_EQ(queryString("Software\\Saver", "After"), "saved");
}

TEST_F(RegistryStore, ReadOnlyStoreDeniesChanges)
{
    ASSERT_EQ(setString("Software\\Locked\\Name", "before"), 1);
    std::string before = readText(storeFile());
    ASSERT_EQ(chmod(storeFile().c_str(), 0444), 0);

    HKEY key;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Locked\\New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_ACCESS_DENIED);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Locked", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS)
        << "reading still works";
    EXPECT_EQ(RegSetValueExA(key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE *>("after"), 6), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueA(key, "Name"), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    EXPECT_EQ(queryString("Software\\Locked", "Name"), "before") << "the refused change is not kept in memory";
    EXPECT_EQ(setString("Software\\Locked\\Name", "after"), 0);
    EXPECT_EQ(readText(storeFile()), before);

    ASSERT_EQ(chmod(storeFile().c_str(), 0644), 0);
    EXPECT_EQ(setString("Software\\Locked\\Name", "after"), 1);
    EXPECT_EQ(queryString("Software\\Locked", "Name"), "after");
}

TEST_F(RegistryStore, KeysAndHandles)
{
    HKEY first, second;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Handles\\A\\B", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &first, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "software\\handles\\a\\b", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &second, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));

    BYTE small[2];
    DWORD size = sizeof small, type = 0;
    ASSERT_EQ(RegSetValueExA(first, "v", 0, REG_SZ, reinterpret_cast<const BYTE *>("four"), 5), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(second, "V", nullptr, &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 5u) << "the size needed";

    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Handles\\A"), ERROR_ACCESS_DENIED) << "it has a subkey";
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Handles\\A\\B"), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(first, "v", 0, REG_SZ, reinterpret_cast<const BYTE *>("x"), 2), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(first), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(second), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(first), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Handles\\A\\B", 0, KEY_READ, &first), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Handles\\A"), ERROR_SUCCESS);
}
