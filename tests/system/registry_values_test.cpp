// Registry values by path, checked through the registry calls themselves:
// types, roots, default values, deletes, missing keys and values, the
// remembered value. No window is passed, so no message box appears.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

// A value read back by GetRegValue: its 2048-byte block, or empty.
struct Read {
    bool ok = false;
    DWORD size = 0xDEAD, type = 0xDEAD;
    Bytes bytes;
    std::string text() const { return ok ? reinterpret_cast<const char *>(bytes.data()) : "<none>"; }
};

Read get(const char *path)
{
    Read r;
    void *block = GetRegValue(nullptr, path, &r.size, &r.type);
    r.ok = block != nullptr;
    if (block) {
        HGLOBAL memory = GlobalHandle(block);
        EXPECT_EQ(GlobalSize(memory), 2048u);
        r.bytes.assign(static_cast<BYTE *>(block), static_cast<BYTE *>(block) + 2048);
        GlobalUnlock(memory);
        GlobalFree(memory);
    }
    return r;
}

BOOL setText(const char *path, const std::string &text)
{
    return SetRegValue(nullptr, path, reinterpret_cast<const BYTE *>(text.c_str()), DWORD(text.size() + 1), REG_SZ);
}
BOOL removePath(const char *path) { return SetRegValue(nullptr, path, nullptr, 0, 0); }

// The value through the registry calls: its bytes, or "absent".
Bytes raw(HKEY root, const char *key, const char *name, DWORD *type = nullptr)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return {'a', 'b', 's', 'e', 'n', 't'};
    BYTE buffer[256];
    DWORD size = sizeof buffer, kind = 0;
    const LONG error = RegQueryValueExA(opened, name, nullptr, &kind, buffer, &size);
    RegCloseKey(opened);
    if (type) *type = kind;
    return error == ERROR_SUCCESS ? Bytes(buffer, buffer + size) : Bytes{'a', 'b', 's', 'e', 'n', 't'};
}
const Bytes kAbsent = {'a', 'b', 's', 'e', 'n', 't'};

bool keyExists(HKEY root, const char *key)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

}  // namespace

TEST(RegistryValues, TypesRootsAndDefaults)
{
    const BYTE blob[] = {0, 1, 2, 0xFE, 0xFF, 0};
    const struct {
        const char *path;
        DWORD type;
        Bytes data;
        HKEY root;
        const char *key, *name;  // where it lands
    } cases[] = {
        {"Software\\vekkit tests\\Types\\Name", REG_SZ, {'S', 'p', 'r', 'i', 't', 'e', 0}, HKEY_CURRENT_USER,
         "Software\\vekkit tests\\Types", "name"},  // value names ignore case
        {"Software\\vekkit tests\\Types\\Count", REG_DWORD, Bytes({0x78, 0x56, 0x34, 0x12}), HKEY_CURRENT_USER,
         "Software\\vekkit tests\\Types", "Count"},
        {"Software\\vekkit tests\\Types\\Blob", REG_BINARY, Bytes(blob, blob + 6), HKEY_CURRENT_USER,
         "Software\\vekkit tests\\Types", "Blob"},  // bytes after a zero kept
        {"software/VEKKIT TESTS/types/COUNT", REG_DWORD, Bytes({7, 0, 0, 0}), HKEY_CURRENT_USER,
         "Software\\vekkit tests\\Types", "Count"},  // slashes and any case reach the same value
        {"*Software\\vekkit tests\\Machine", REG_SZ, {'*', 0}, HKEY_LOCAL_MACHINE, "Software\\vekkit tests", "Machine"},
        {"HKEY_LOCAL_MACHINE\\Software\\vekkit tests\\Machine", REG_SZ, {'m', 0}, HKEY_LOCAL_MACHINE,
         "Software\\vekkit tests", "Machine"},
        {"HKEY_CLASSES_ROOT\\.vektest\\", REG_SZ, {'d', 0}, HKEY_CLASSES_ROOT, ".vektest", ""},
        // Every prefix ends in a backslash: with a slash it is a key name.
        {"HKEY_CURRENT_USER/vekkit tests/Slash", REG_SZ, {'s', 0}, HKEY_CURRENT_USER, "HKEY_CURRENT_USER\\vekkit tests",
         "Slash"},
        {"Software\\vekkit tests\\Default\\", REG_SZ, {'d', 0}, HKEY_CURRENT_USER, "Software\\vekkit tests\\Default",
         nullptr},
        {"vekkit test root value", REG_DWORD, Bytes({99, 0, 0, 0}), HKEY_CURRENT_USER, nullptr, "vekkit test root value"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        ASSERT_EQ(SetRegValue(nullptr, c.path, c.data.data(), DWORD(c.data.size()), c.type), 1);
        DWORD type = 0;
        EXPECT_EQ(raw(c.root, c.key, c.name, &type), c.data);
        EXPECT_EQ(type, c.type);
        std::string readPath = c.path;  // a default value read through a trailing slash
        if (readPath.back() == '\\') readPath.back() = '/';
        const Read r = get(readPath.c_str());
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.type, c.type);
        EXPECT_EQ(r.size, c.data.size());
        EXPECT_EQ(Bytes(r.bytes.begin(), r.bytes.begin() + c.data.size()), c.data);
        EXPECT_TRUE(std::all_of(r.bytes.begin() + c.data.size(), r.bytes.end(), [](BYTE x) { return x == 0; }))
            << "zero-filled";
    }
    EXPECT_EQ(raw(HKEY_CURRENT_USER, "Software\\vekkit tests", "Machine"), kAbsent);
    EXPECT_EQ(removePath("HKEY_CLASSES_ROOT\\.vektest"), 1);
    EXPECT_EQ(removePath("HKEY_CURRENT_USER/vekkit tests"), 1);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "HKEY_CURRENT_USER"), ERROR_SUCCESS);
    EXPECT_EQ(removePath("vekkit test root value"), 1);
    EXPECT_EQ(raw(HKEY_CURRENT_USER, nullptr, "vekkit test root value"), kAbsent);
}

TEST(RegistryValues, DeletesAndMissingValues)
{
    ASSERT_EQ(setText("Software\\vekkit tests\\Del\\Leaf\\Value", "v"), 1);
    ASSERT_EQ(setText("Software\\vekkit tests\\Del\\Only", "value only"), 1);
    EXPECT_EQ(removePath("Software\\vekkit tests\\Del\\Only"), 1) << "a value";
    EXPECT_EQ(raw(HKEY_CURRENT_USER, "Software\\vekkit tests\\Del", "Only"), kAbsent);
    EXPECT_EQ(removePath("Software\\vekkit tests\\Del"), 0) << "a key with subkeys is not deleted";
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, "Software\\vekkit tests\\Del\\Leaf"));
    EXPECT_EQ(removePath("Software\\vekkit tests\\Del\\Leaf"), 1) << "a key without subkeys goes with its values";
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "Software\\vekkit tests\\Del\\Leaf"));
    EXPECT_EQ(removePath("Software\\vekkit tests\\Del\\Leaf"), 0) << "nothing to delete";
    EXPECT_EQ(setText("", "x"), 0);
    EXPECT_EQ(setText(("Software\\vekkit tests\\" + std::string(300, 'k') + "\\Value").c_str(), "x"), 0)
        << "key names hold at most 255 characters";

    Read r = get("Software\\vekkit tests\\No Such Key\\Value");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.size, 0u);
    EXPECT_EQ(r.type, 0xDEADu) << "the type is not set";
    // A missing value, and one larger than the block, give a zero block.
    ASSERT_EQ(SetRegValue(nullptr, "Software\\vekkit tests\\Present\\Big", Bytes(3000, 0xAB).data(), 3000, REG_BINARY), 1);
    for (const char *path : {"Software\\vekkit tests\\Present\\Missing", "Software\\vekkit tests\\Present\\Big"}) {
        r = get(path);
        ASSERT_TRUE(r.ok) << path;
        EXPECT_LE(r.size, 2048u);
        EXPECT_TRUE(std::all_of(r.bytes.begin(), r.bytes.end(), [](BYTE x) { return x == 0; })) << path;
    }
}

TEST(RegistryValues, RememberedValueIsSubstituted)
{
    ASSERT_EQ(setText("Software\\vekkit tests\\Config\\Where", "Software\\vekkit tests\\Profiles\\Second"), 1);
    ASSERT_EQ(setText("Software\\vekkit tests\\Config\\Other", "First"), 1);
    ASSERT_EQ(setText("Software\\vekkit tests\\Profiles\\First\\Level", "1"), 1);
    ASSERT_EQ(setText("Software\\vekkit tests\\Profiles\\Second\\Level", "2"), 1);
    // The colon marks the value to remember (after the prefix, or first);
    // a read without it leaves the remembered value alone.
    const std::pair<const char *, const char *> steps[] = {
        {"HKEY_CURRENT_USER\\:Software\\vekkit tests\\Config\\Where", "Software\\vekkit tests\\Profiles\\Second"},
        {"HKEY_CURRENT_USER\\%s\\Level", "2"},
        {":Software\\vekkit tests\\Config\\Other", "First"},
        {"Software\\vekkit tests\\Profiles\\%s\\Level", "1"},
        {"Software\\vekkit tests\\Config\\Where", "Software\\vekkit tests\\Profiles\\Second"},
        {"Software\\vekkit tests\\Profiles\\%s\\Level", "1"},
        // A remembered value without data remembers the empty text: %s then
        // names Profiles itself, which has no Level value.
        {":Software\\vekkit tests\\Config\\Missing", ""},
        {"Software\\vekkit tests\\Profiles\\%s\\Level", ""},
    };
    for (const auto &[path, text] : steps) EXPECT_EQ(get(path).text(), text) << path;

    ASSERT_EQ(setText("Software\\vekkit tests\\Config\\Long", std::string(400, 'a')), 1);
    ASSERT_TRUE(get(":Software\\vekkit tests\\Config\\Long").ok);
    const Read r = get("Software\\%s\\%s\\Value");
    EXPECT_FALSE(r.ok) << "more than 511 characters after substitution";
    EXPECT_EQ(r.size, 0u);
}
