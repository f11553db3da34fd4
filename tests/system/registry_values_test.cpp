// Registry values by path: types, roots, defaults, deletes and the
// remembered value. No window is passed, so no message box appears.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A value read back by GetRegValue, its block freed.
struct Read {
    bool ok = false;
    DWORD size = 0xDEAD;
    DWORD type = 0xDEAD;
    std::vector<BYTE> bytes;  // the whole 2048-byte block
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

BOOL setString(const char *path, const char *text)
{
    return SetRegValue(nullptr, path, reinterpret_cast<const BYTE *>(text), DWORD(std::strlen(text) + 1), REG_SZ);
}

BOOL setDword(const char *path, DWORD value)
{
    return SetRegValue(nullptr, path, reinterpret_cast<const BYTE *>(&value), 4, REG_DWORD);
}

// The value through the registry calls themselves.
bool rawValue(HKEY root, const char *key, const char *name, DWORD &type, std::vector<BYTE> &data)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    BYTE buffer[256];
    DWORD size = sizeof buffer;
    LONG error = RegQueryValueExA(opened, name, nullptr, &type, buffer, &size);
    RegCloseKey(opened);
    if (error != ERROR_SUCCESS) return false;
    data.assign(buffer, buffer + size);
    return true;
}

bool keyExists(HKEY root, const char *key)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

}  // namespace

TEST(RegistryValues, EachTypeRoundTrips)
{
    ASSERT_EQ(setString("Software\\vekkit tests\\Types\\Name", "Sprite Studio"), 1);
    ASSERT_EQ(setDword("Software\\vekkit tests\\Types\\Count", 0x12345678), 1);
    const BYTE blob[] = {0, 1, 2, 0xFE, 0xFF, 0};
    ASSERT_EQ(SetRegValue(nullptr, "Software\\vekkit tests\\Types\\Blob", blob, sizeof blob, REG_BINARY), 1);

    Read s = get("Software\\vekkit tests\\Types\\Name");
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.type, DWORD(REG_SZ));
    EXPECT_EQ(s.size, 14u);
    EXPECT_STREQ(reinterpret_cast<const char *>(s.bytes.data()), "Sprite Studio");

    Read d = get("Software\\vekkit tests\\Types\\Count");
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.type, DWORD(REG_DWORD));
    EXPECT_EQ(d.size, 4u);
    EXPECT_EQ(std::vector<BYTE>(d.bytes.begin(), d.bytes.begin() + 4), (std::vector<BYTE>{0x78, 0x56, 0x34, 0x12}));

    Read b = get("Software\\vekkit tests\\Types\\Blob");
    ASSERT_TRUE(b.ok);
    EXPECT_EQ(b.type, DWORD(REG_BINARY));
    EXPECT_EQ(b.size, sizeof blob);
    EXPECT_EQ(std::vector<BYTE>(b.bytes.begin(), b.bytes.begin() + 6), std::vector<BYTE>(blob, blob + 6));
    EXPECT_TRUE(std::all_of(b.bytes.begin() + 6, b.bytes.end(), [](BYTE x) { return x == 0; })) << "zero-filled";

    // The same values through the registry calls, under HKEY_CURRENT_USER.
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(rawValue(HKEY_CURRENT_USER, "Software\\vekkit tests\\Types", "count", type, data))
        << "value names ignore case";
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(data, (std::vector<BYTE>{0x78, 0x56, 0x34, 0x12}));

    ASSERT_EQ(setDword("software/VEKKIT TESTS/types/COUNT", 7), 1) << "slashes and any case reach the same value";
    ASSERT_TRUE(rawValue(HKEY_CURRENT_USER, "Software\\vekkit tests\\Types", "Count", type, data));
    EXPECT_EQ(data, (std::vector<BYTE>{7, 0, 0, 0}));
}

TEST(RegistryValues, RootPrefixes)
{
    ASSERT_EQ(setString("*Software\\vekkit tests\\Machine", "star"), 1);
    Read r = get("hkey_local_machine\\Software\\vekkit tests\\Machine");
    ASSERT_TRUE(r.ok);
    EXPECT_STREQ(reinterpret_cast<const char *>(r.bytes.data()), "star") << "* is HKEY_LOCAL_MACHINE";
    DWORD type;
    std::vector<BYTE> data;
    EXPECT_TRUE(rawValue(HKEY_LOCAL_MACHINE, "Software\\vekkit tests", "Machine", type, data));
    EXPECT_FALSE(rawValue(HKEY_CURRENT_USER, "Software\\vekkit tests", "Machine", type, data));

    ASSERT_EQ(setString("HKEY_CURRENT_USER\\Software\\vekkit tests\\User", "user"), 1);
    EXPECT_TRUE(rawValue(HKEY_CURRENT_USER, "Software\\vekkit tests", "User", type, data));
    ASSERT_EQ(setString("HKEY_CLASSES_ROOT\\.vektest\\", "vekkit.document"), 1);
    EXPECT_TRUE(rawValue(HKEY_CLASSES_ROOT, ".vektest", "", type, data));
    EXPECT_EQ(SetRegValue(nullptr, "HKEY_CLASSES_ROOT\\.vektest", nullptr, 0, 0), 1);

    // Every prefix ends in a backslash: with a slash it is a key name.
    ASSERT_EQ(setString("HKEY_CURRENT_USER/vekkit tests/Slash", "slash"), 1);
    EXPECT_TRUE(rawValue(HKEY_CURRENT_USER, "HKEY_CURRENT_USER\\vekkit tests", "Slash", type, data));
    EXPECT_EQ(SetRegValue(nullptr, "HKEY_CURRENT_USER/vekkit tests", nullptr, 0, 0), 1);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "HKEY_CURRENT_USER"), ERROR_SUCCESS);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "HKEY_CURRENT_USER"));
}

TEST(RegistryValues, DefaultValueAndRootValue)
{
    ASSERT_EQ(setString("Software\\vekkit tests\\Default\\", "the default"), 1);
    DWORD type;
    std::vector<BYTE> data;
    ASSERT_TRUE(rawValue(HKEY_CURRENT_USER, "Software\\vekkit tests\\Default", nullptr, type, data));
    EXPECT_STREQ(reinterpret_cast<const char *>(data.data()), "the default");
    Read r = get("Software\\vekkit tests\\Default/");
    ASSERT_TRUE(r.ok);
    EXPECT_STREQ(reinterpret_cast<const char *>(r.bytes.data()), "the default");

    ASSERT_EQ(setDword("vekkit test root value", 99), 1) << "one component: a value of the root";
    ASSERT_TRUE(rawValue(HKEY_CURRENT_USER, nullptr, "vekkit test root value", type, data));
    EXPECT_EQ(data, (std::vector<BYTE>{99, 0, 0, 0}));
    EXPECT_EQ(SetRegValue(nullptr, "vekkit test root value", nullptr, 0, 0), 1);
    EXPECT_FALSE(rawValue(HKEY_CURRENT_USER, nullptr, "vekkit test root value", type, data));
}

TEST(RegistryValues, Deletes)
{
    ASSERT_EQ(setString("Software\\vekkit tests\\Del\\Leaf\\Value", "v"), 1);
    ASSERT_EQ(setString("Software\\vekkit tests\\Del\\Only", "value only"), 1);

    EXPECT_EQ(SetRegValue(nullptr, "Software\\vekkit tests\\Del\\Only", nullptr, 0, 0), 1) << "a value";
    DWORD type;
    std::vector<BYTE> data;
    EXPECT_FALSE(rawValue(HKEY_CURRENT_USER, "Software\\vekkit tests\\Del", "Only", type, data));

    EXPECT_EQ(SetRegValue(nullptr, "Software\\vekkit tests\\Del", nullptr, 0, 0), 0)
        << "a key with subkeys is not deleted";
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, "Software\\vekkit tests\\Del\\Leaf"));

    EXPECT_EQ(SetRegValue(nullptr, "Software\\vekkit tests\\Del\\Leaf", nullptr, 0, 0), 1)
        << "a key without subkeys goes with its values";
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "Software\\vekkit tests\\Del\\Leaf"));
    EXPECT_EQ(SetRegValue(nullptr, "Software\\vekkit tests\\Del\\Leaf", nullptr, 0, 0), 0) << "nothing to delete";

    EXPECT_EQ(SetRegValue(nullptr, "Software\\vekkit tests\\Made\\On\\The\\Way\\X", nullptr, 0, 0), 0);
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, "Software\\vekkit tests\\Made\\On\\The\\Way"))
        << "the keys on the way are created before the delete";

    EXPECT_EQ(SetRegValue(nullptr, "", reinterpret_cast<const BYTE *>("x"), 2, REG_SZ), 0);
    EXPECT_EQ(SetRegValue(nullptr, nullptr, reinterpret_cast<const BYTE *>("x"), 2, REG_SZ), 0);
}

TEST(RegistryValues, MissingKeysAndValues)
{
    Read r = get("Software\\vekkit tests\\No Such Key\\Value");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.size, 0u);
    EXPECT_EQ(r.type, 0xDEADu) << "the type is not set";

    ASSERT_EQ(setString("Software\\vekkit tests\\Present\\Value", "v"), 1);
    Read missing = get("Software\\vekkit tests\\Present\\Missing");
    ASSERT_TRUE(missing.ok) << "a missing value gives a zero block";
    EXPECT_TRUE(std::all_of(missing.bytes.begin(), missing.bytes.end(), [](BYTE x) { return x == 0; }));
    EXPECT_LE(missing.size, 2048u);

    std::vector<BYTE> big(3000, 0xAB);
    ASSERT_EQ(SetRegValue(nullptr, "Software\\vekkit tests\\Present\\Big", big.data(), DWORD(big.size()), REG_BINARY),
              1);
    Read large = get("Software\\vekkit tests\\Present\\Big");
    ASSERT_TRUE(large.ok);
    EXPECT_LE(large.size, 2048u) << "never more than the block";
    EXPECT_TRUE(std::all_of(large.bytes.begin(), large.bytes.end(), [](BYTE x) { return x == 0; }));
}

TEST(RegistryValues, RememberedValueIsSubstituted)
{
    ASSERT_EQ(setString("Software\\vekkit tests\\Config\\Where", "Software\\vekkit tests\\Profiles\\Second"), 1);
    ASSERT_EQ(setString("Software\\vekkit tests\\Profiles\\First\\Level", "1"), 1);
    ASSERT_EQ(setString("Software\\vekkit tests\\Profiles\\Second\\Level", "2"), 1);

    Read where = get("HKEY_CURRENT_USER\\:Software\\vekkit tests\\Config\\Where");
    ASSERT_TRUE(where.ok) << "the colon marks the value to remember";
    EXPECT_STREQ(reinterpret_cast<const char *>(where.bytes.data()), "Software\\vekkit tests\\Profiles\\Second");

    Read level = get("HKEY_CURRENT_USER\\%s\\Level");
    ASSERT_TRUE(level.ok);
    EXPECT_STREQ(reinterpret_cast<const char *>(level.bytes.data()), "2");

    // Without a prefix the colon comes first.
    ASSERT_EQ(setString("Software\\vekkit tests\\Config\\Other", "First"), 1);
    ASSERT_TRUE(get(":Software\\vekkit tests\\Config\\Other").ok);
    level = get("Software\\vekkit tests\\Profiles\\%s\\Level");
    ASSERT_TRUE(level.ok);
    EXPECT_STREQ(reinterpret_cast<const char *>(level.bytes.data()), "1");

    // A read without the marker leaves the remembered value alone.
    ASSERT_TRUE(get("Software\\vekkit tests\\Config\\Where").ok);
    level = get("Software\\vekkit tests\\Profiles\\%s\\Level");
    EXPECT_STREQ(reinterpret_cast<const char *>(level.bytes.data()), "1");

    // A remembered value without data remembers nothing.
    EXPECT_TRUE(get(":Software\\vekkit tests\\Config\\Missing").ok);
    level = get("Software\\vekkit tests\\Profiles\\%s\\Level");
    ASSERT_TRUE(level.ok);
    EXPECT_EQ(level.bytes[0], 0) << "the empty text names Profiles itself, which has no Level value";
}

TEST(RegistryValues, OverlongPathsFailCleanly)
{
    std::string component(300, 'k');
    std::string path = "Software\\vekkit tests\\" + component + "\\Value";
    EXPECT_EQ(setString(path.c_str(), "x"), 0) << "key names hold at most 255 characters";
    EXPECT_FALSE(get(path.c_str()).ok);

    ASSERT_EQ(setString("Software\\vekkit tests\\Config\\Long", std::string(400, 'a').c_str()), 1);
    ASSERT_TRUE(get(":Software\\vekkit tests\\Config\\Long").ok);
    Read r = get("Software\\%s\\%s\\Value");
    EXPECT_FALSE(r.ok) << "more than 511 characters after substitution";
    EXPECT_EQ(r.size, 0u);
}
