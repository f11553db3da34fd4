// The hosted registry against hostile names, paths and store files: names of
// any bytes survive the REGEDIT4 text, Windows' limits hold in the calls and
// in a loaded file, and a store that another process saved, that cannot be
// read, or whose disk is full is never lost or mistaken.
#include <vekkit.h>

#include <gtest/gtest.h>

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

fs::path prefixFile(const char *name)
{
    return fs::path(std::getenv("VEKHOST_PREFIX")) / name;
}

std::string readText(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

LONG createKey(HKEY parent, const std::string &subKey, HKEY *key = nullptr)
{
    HKEY opened;
    LONG error = RegCreateKeyExA(parent, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr);
    if (error == ERROR_SUCCESS) {
        if (key)
            *key = opened;
        else
            RegCloseKey(opened);
    }
    return error;
}

LONG setBytes(const std::string &key, const std::string &name, DWORD type, const std::string &bytes)
{
    HKEY opened;
    LONG error = createKey(HKEY_CURRENT_USER, key, &opened);
    if (error) return error;
    error = RegSetValueExA(opened, name.c_str(), 0, type, reinterpret_cast<const BYTE *>(bytes.data()),
                           DWORD(bytes.size()));
    RegCloseKey(opened);
    return error;
}

// The value's type and bytes, or "<error n>".
std::string query(const std::string &key, const std::string &name, DWORD *type = nullptr)
{
    HKEY opened;
    LONG error = RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened);
    if (error) return "<error " + std::to_string(error) + ">";
    DWORD size = 1 << 16, kind = 0;
    std::string bytes(size, '\0');
    error = RegQueryValueExA(opened, name.c_str(), nullptr, &kind, reinterpret_cast<BYTE *>(bytes.data()), &size);
    RegCloseKey(opened);
    if (error) return "<error " + std::to_string(error) + ">";
    if (type) *type = kind;
    return bytes.substr(0, size);
}

// Makes the next call read user.reg again, as a new process would: the file
// is replaced by a copy of itself with one more key, which must then be seen.
void reread()
{
    const fs::path store = prefixFile("user.reg"), copy = prefixFile("user.reg.copy");
    std::ofstream(copy, std::ios::binary) << readText(store) << "\r\n[HKEY_CURRENT_USER\\Reread]\r\n";
    fs::rename(copy, store);
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Reread", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

class RegistryHostile : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *name : {"user.reg", "user.reg.new"}) fs::remove(prefixFile(name));
    }
};

}  // namespace

TEST_F(RegistryHostile, NamesAndDataOfAnyBytesSurviveTheStore)
{
    struct Value {
        std::string name;
        DWORD type;
        std::string data;
    };
    std::string everyByte;
    for (int b = 0; b < 256; ++b) everyByte += char(b);
    const std::vector<Value> values = {
        {"line\r\n[HKEY_CURRENT_USER\\Software\\Policies]\r\n\"Evil\"=\"1", REG_SZ, std::string("v\0", 2)},
        {"quote\" back\\slash ]", REG_EXPAND_SZ, std::string("%PATH%\0", 7)},
        {"\r", REG_MULTI_SZ, std::string("a\0b\0\0", 5)},
        {"\n", REG_DWORD, "\x01\x02\x03"},
        {"\t\x01\x7f\xff", REG_BINARY, ""},
        {"@", REG_SZ, "no terminator"},
        {"", REG_SZ, std::string("line\r\nbreak\0", 12)},
        {"=hex:00,\\", REG_SZ, std::string("ends in a backslash\\\0", 21)},
        {"\\", REG_QWORD, everyByte.substr(250)},
        {std::string(16383, 'n'), 0x12345678, everyByte},
    };
    const std::string key = "Software\\Names\\[Brackets] \"quoted\" \xC3\xA9";
    for (const Value &v : values) ASSERT_EQ(setBytes(key, v.name, v.type, v.data), ERROR_SUCCESS) << v.name;
    // A key name is a line of the store: control characters are refused.
    for (const char *bad : {"Software\\a\r\n[HKEY_CURRENT_USER\\Software\\Policies]", "Software\\\x01", "Software\\\x7f"})
        EXPECT_EQ(createKey(HKEY_CURRENT_USER, bad), ERROR_INVALID_PARAMETER) << bad;

    reread();
    for (const Value &v : values) {
        DWORD type = 0;
        EXPECT_EQ(query(key, v.name, &type), v.data) << v.name;
        EXPECT_EQ(type, v.type) << v.name;
    }
    EXPECT_EQ(query("Software\\Policies", "Evil"), "<error 2>") << "no key forged";
}

TEST_F(RegistryHostile, KeyDepthAndNameLengthsFollowWindows)
{
    auto levels = [](int n, char c) {
        std::string path(1, c);
        for (int i = 1; i < n; ++i) path += std::string("\\") + c;
        return path;
    };
    EXPECT_EQ(createKey(HKEY_CURRENT_USER, levels(33, 'w')), ERROR_INVALID_PARAMETER) << "32 levels a call";
    HKEY deep = HKEY_CURRENT_USER, next = nullptr;
    for (int call = 0; call < 16; ++call) {
        ASSERT_EQ(createKey(deep, levels(32, 'd'), &next), ERROR_SUCCESS) << call;
        if (deep != HKEY_CURRENT_USER) RegCloseKey(deep);
        deep = next;
    }
    EXPECT_EQ(createKey(deep, "beyond"), ERROR_INVALID_PARAMETER) << "512 levels below the root";
    EXPECT_EQ(RegSetValueExA(deep, "at 512", 0, REG_BINARY, reinterpret_cast<const BYTE *>("x"), 1), ERROR_SUCCESS);
    RegCloseKey(deep);
    EXPECT_EQ(query(levels(512, 'd'), "at 512"), "x");

    EXPECT_EQ(createKey(HKEY_CURRENT_USER, "Software\\" + std::string(255, 'k')), ERROR_SUCCESS);
    EXPECT_EQ(createKey(HKEY_CURRENT_USER, "Software\\" + std::string(256, 'k')), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(setBytes("Software", std::string(16383, 'v'), REG_BINARY, "x"), ERROR_SUCCESS);
    EXPECT_EQ(setBytes("Software", std::string(16384, 'v'), REG_BINARY, "x"), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryHostile, StoreFileBeyondTheLimitsLoadsTheRest)
{
    auto section = [](int depth, const std::string &name) {
        std::string path = "HKEY_CURRENT_USER";
        for (int i = 0; i < depth; ++i) path += "\\" + name;
        return "[" + path + "]\r\n\"v\"=\"" + std::to_string(depth) + "\"\r\n";
    };
    std::ofstream(prefixFile("user.reg"), std::ios::binary)
        << "REGEDIT4\r\n"
        << section(20000, "a") << section(513, "b") << section(512, "c") << section(1, std::string(256, 'n'))
        << "[HKEY_CURRENT_USER\\Names]\r\n\"" << std::string(16384, 'x') << "\"=\"long\"\r\n"
        << "\"" << std::string(16383, 'x') << "\"=\"longest\"\r\n" << section(1, "after");
    EXPECT_EQ(query(std::string("a") + "\\a", "v"), "<error 2>") << "20000 levels: skipped";
    EXPECT_EQ(query("b", "v"), "<error 2>") << "513 levels: skipped";
    std::string c512 = "c";
    for (int i = 1; i < 512; ++i) c512 += "\\c";
    EXPECT_EQ(query(c512, "v"), std::string("512\0", 4));
    EXPECT_EQ(query("Names", std::string(16383, 'x')), std::string("longest\0", 8));
    EXPECT_EQ(query("Names", std::string(16384, 'x')), "<error 2>");
    EXPECT_EQ(query("after", "v"), std::string("1\0", 2));
}

TEST_F(RegistryHostile, AnotherProcessSaveIsSeenWhenTheFileLooksTheSame)
{
    ASSERT_EQ(setBytes("Software\\Mark", "V", REG_SZ, "aaaa"), ERROR_SUCCESS);
    const fs::path store = prefixFile("user.reg"), kept = prefixFile("user.reg.kept");
    struct stat before;
    ASSERT_EQ(stat(store.c_str(), &before), 0);
    ASSERT_EQ(link(store.c_str(), kept.c_str()), 0) << "keeps the inode from reuse by anyone else";
    pid_t child = fork();
    if (child == 0) _exit(setBytes("Software\\Mark", "V", REG_SZ, "bbbb") == ERROR_SUCCESS ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_EQ(status, 0);
    // The other save, moved into the old inode with the old size and time:
    // the save of a file system that gave the inode back at once.
    const std::string saved = readText(store);
    ASSERT_EQ(saved.size(), size_t(before.st_size));
    std::ofstream(kept, std::ios::binary | std::ios::trunc) << saved;
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, kept.c_str(), times, 0), 0);
    fs::rename(kept, store);
    struct stat after;
    ASSERT_EQ(stat(store.c_str(), &after), 0);
    ASSERT_TRUE(after.st_ino == before.st_ino && after.st_size == before.st_size &&
                after.st_mtim.tv_nsec == before.st_mtim.tv_nsec);
    EXPECT_EQ(query("Software\\Mark", "V"), "bbbb");
}

TEST_F(RegistryHostile, WritersShareNothingWhileOtherFilesComeAndGo)
{
    constexpr int kWriters = 3, kValues = 25;
    std::vector<pid_t> children;
    for (int id = 0; id < kWriters; ++id) {
        pid_t child = fork();
        if (child == 0) {
            for (int n = 0; n < kValues; ++n)
                if (setBytes("Software\\Shared", std::to_string(id) + "_" + std::to_string(n), REG_SZ, "x"))
                    _exit(1);
            _exit(0);
        }
        children.push_back(child);
    }
    // Whatever else lies beside the stores (a lock file of another design)
    // is deleted while the writers run.
    for (size_t running = children.size(); running;) {
        for (const auto &entry : fs::directory_iterator(prefixFile("")))
            if (entry.path().extension() == ".lock") fs::remove(entry.path());
        running = 0;
        for (pid_t &child : children) {
            int status = 0;
            if (child > 0 && waitpid(child, &status, WNOHANG) == child) {
                EXPECT_EQ(status, 0);
                child = 0;
            }
            running += child > 0;
        }
    }
    for (int id = 0; id < kWriters; ++id)
        for (int n = 0; n < kValues; ++n)
            EXPECT_EQ(query("Software\\Shared", std::to_string(id) + "_" + std::to_string(n)), "x") << id << " " << n;
}

TEST_F(RegistryHostile, UnreadableStoreRefusesEveryCall)
{
    const fs::path store = prefixFile("user.reg");
    struct Setup {
        const char *what;
        void (*make)(const fs::path &);
    };
    const Setup setups[] = {
        {"symbolic link loop", [](const fs::path &p) { fs::create_symlink(p.filename(), p); }},
        {"pipe", [](const fs::path &p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }},
        {"larger than a store may be", [](const fs::path &p) {
             std::ofstream(p) << "REGEDIT4\r\n";
             fs::resize_file(p, 65 << 20);
         }}};
    for (const Setup &setup : setups) {
        setup.make(store);
        const fs::file_status status = fs::symlink_status(store);
        const auto size = status.type() == fs::file_type::regular ? fs::file_size(store) : 0;
        EXPECT_EQ(setBytes("Software\\Unread", "V", REG_SZ, "x"), ERROR_CANTREAD) << setup.what;
        EXPECT_EQ(query("Software", "V"), "<error 1012>") << setup.what;
        EXPECT_EQ(fs::symlink_status(store).type(), status.type()) << setup.what;
        if (status.type() == fs::file_type::regular) {
            EXPECT_EQ(fs::file_size(store), size);
        }
        fs::remove(store);
    }
}

TEST_F(RegistryHostile, FullDiskReportsItAndKeepsTheStore)
{
    ASSERT_EQ(setBytes("Software\\Full", "V", REG_SZ, "before"), ERROR_SUCCESS);
    const std::string before = readText(prefixFile("user.reg"));
    // The next save's new file writes to a device that is always full.
    fs::create_symlink("/dev/full", prefixFile("user.reg.new"));
    EXPECT_EQ(setBytes("Software\\Full", "V", REG_SZ, "after"), ERROR_DISK_FULL);
    EXPECT_EQ(readText(prefixFile("user.reg")), before);
    EXPECT_EQ(query("Software\\Full", "V"), "before");
    EXPECT_FALSE(fs::exists(fs::symlink_status(prefixFile("user.reg.new"))));
    EXPECT_EQ(setBytes("Software\\Full", "V", REG_SZ, "after"), ERROR_SUCCESS);
}
