// Module handles, file names and exports.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/wine.h"

#include <cstring>
#include <string>

namespace {

std::string programFileName()
{
    char name[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, name, MAX_PATH);
    EXPECT_GT(length, 0u);
    EXPECT_LT(length, (DWORD)MAX_PATH);
    return std::string(name, length);
}

}  // namespace

TEST(Module, ProgramFileNameIsAFullDosPath)
{
    std::string name = programFileName();
    ASSERT_GT(name.size(), 3u);
    EXPECT_EQ(name[1], ':');
    EXPECT_EQ(name[2], '\\');
    std::string file = name.substr(name.rfind('\\') + 1);
    EXPECT_EQ(lstrcmpiA(file.substr(0, 13).c_str(), "test_platform"), 0) << name;
    DWORD attributes = GetFileAttributesA(name.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << name;
    EXPECT_FALSE(attributes & FILE_ATTRIBUTE_DIRECTORY);

    HMODULE program = GetModuleHandleA(nullptr);
    ASSERT_NE(program, nullptr);
    char again[MAX_PATH];
    EXPECT_EQ(GetModuleFileNameA(program, again, MAX_PATH), name.size());
    EXPECT_EQ(name, again) << "the program's handle names the same file";
    EXPECT_EQ(GetModuleHandleA(name.c_str()), program) << "found by its file name";
}

TEST(Module, FileNameTruncatesToTheBuffer)
{
    std::string name = programFileName();
    auto length = static_cast<DWORD>(name.size());
    char buffer[MAX_PATH];
    std::memset(buffer, 'x', sizeof buffer);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, length), length) << "no room for the terminator";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);
    // Since Vista the last byte is the terminator; Wine keeps the XP rule
    // and fills the buffer with characters.
    EXPECT_EQ(std::string(buffer, length - 1), name.substr(0, length - 1));
    EXPECT_EQ(buffer[length - 1], onWine() ? name[length - 1] : '\0');
    EXPECT_EQ(buffer[length], 'x') << "nothing written past the buffer";
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 1), 1u);
    if (!onWine()) {
        EXPECT_EQ(buffer[0], '\0');
    }
}

TEST(Module, SystemModuleExportsItsFunctions)
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    ASSERT_NE(kernel, nullptr);
    EXPECT_EQ(GetModuleHandleA("KERNEL32"), kernel) << "names ignore case and the extension";

    using Length = int(WINAPI *)(LPCSTR);
    // Through void (*)(void), the one function type any other casts to quietly.
    auto length = reinterpret_cast<Length>(reinterpret_cast<void (*)(void)>(GetProcAddress(kernel, "lstrlenA")));
    ASSERT_NE(length, nullptr);
    EXPECT_EQ(length("four"), 4);

    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetProcAddress(kernel, "NoSuchExport"), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_PROC_NOT_FOUND);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetProcAddress(kernel, "lstrlena"), nullptr) << "export names keep their case";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_PROC_NOT_FOUND);
}

TEST(Module, ProgramExportsNothingItImports)
{
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetProcAddress(GetModuleHandleA(nullptr), "lstrlenA"), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_PROC_NOT_FOUND);
}

TEST(Module, UnknownModulesFail)
{
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetModuleHandleA("NoSuchModule.dll"), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_MOD_NOT_FOUND);

    auto bogus = reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0xdeadbee0));
    char buffer[MAX_PATH];
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetModuleFileNameA(bogus, buffer, MAX_PATH), 0u);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_MOD_NOT_FOUND);
}
