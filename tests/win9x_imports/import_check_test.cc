#include "tools/win9x_imports/import_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/win9x_imports/pe_builder.h"

namespace {

using win9x::Availability;
using win9x::CheckResult;
using win9x_test::PeBuilder;

win9x::ExportLists SmallLists() {
    win9x::ExportLists lists;
    for (const char* name : {"CreateFileA", "ExitProcess", "GetHandleInformation"}) {
        lists.Add("KERNEL32.DLL", name, Availability::kWindows95);
    }
    lists.Add("KERNEL32.DLL", "IsDebuggerPresent", Availability::kWindows98);
    lists.Add("KERNEL32.DLL", "TryEnterCriticalSection", Availability::kWindows98);
    lists.Add("MSVCRT.DLL", "malloc", Availability::kWindows95);
    lists.Add("MSVCRT.DLL", "__lc_collate_cp", Availability::kWindows98Se);
    return lists;
}

PeBuilder Good() {
    PeBuilder b;
    b.imports = {{"KERNEL32.dll", {"CreateFileA", "ExitProcess"}}, {"msvcrt.dll", {"malloc"}}};
    return b;
}

CheckResult Check(const PeBuilder& b, const win9x::ExportLists& lists = SmallLists()) {
    std::vector<std::uint8_t> bytes = b.Build();
    win9x::PeImage image;
    std::string error;
    EXPECT_TRUE(win9x::ParsePeImage(bytes.data(), bytes.size(), &image, &error)) << error;
    return win9x::CheckImage(image, lists);
}

std::vector<std::string> One(const std::string& text) { return {text}; }

TEST(ImportCheckImports, GoodImagePassesAndCountsWhatItImports) {
    CheckResult r = Check(Good());
    EXPECT_TRUE(r.Passed());
    EXPECT_TRUE(r.problems.empty());
    EXPECT_TRUE(r.notes.empty());
    EXPECT_EQ(r.functionCount, 3u);
    EXPECT_EQ(r.dllCount, 2u);
}

TEST(ImportCheckImports, DllNamesMatchWhateverTheirCase) {
    PeBuilder b;
    b.imports = {{"kernel32.DLL", {"CreateFileA"}}, {"KERNEL32.dll", {"ExitProcess"}}};
    CheckResult r = Check(b);
    EXPECT_TRUE(r.Passed()) << r.problems[0];
    EXPECT_EQ(r.dllCount, 1u);
    EXPECT_EQ(r.functionCount, 2u);
}

TEST(ImportCheckImports, FunctionNamesMatchExactly) {
    PeBuilder b;
    b.imports = {{"KERNEL32.dll", {"createfilea"}}};
    EXPECT_EQ(Check(b).problems, One("KERNEL32.dll!createfilea: not exported by Windows 95/98"));
}

TEST(ImportCheckImports, UnknownFunctionFailsNamingDllAndFunction) {
    PeBuilder b = Good();
    b.imports[0].functions.push_back("GetTickCount64");
    b.imports[1].functions.push_back("__lc_collate_cp");
    CheckResult r = Check(b);
    EXPECT_FALSE(r.Passed());
    EXPECT_EQ(r.problems,
              (std::vector<std::string>{
                  "KERNEL32.dll!GetTickCount64: not exported by Windows 95/98",
                  "msvcrt.dll!__lc_collate_cp: not exported by Windows 95/98 (Windows 98 SE adds "
                  "it)"}));
}

TEST(ImportCheckImports, DllWithoutAListFailsOnce) {
    PeBuilder b = Good();
    b.imports.push_back({"WS2_32.dll", {"WSAStartup", "connect"}});
    b.imports.push_back({"ws2_32.dll", {"send"}});
    CheckResult r = Check(b);
    EXPECT_EQ(r.problems, One("WS2_32.dll: no list of Windows 95/98 exports for this DLL"));
    EXPECT_EQ(r.dllCount, 3u);
    EXPECT_EQ(r.functionCount, 6u);
}

TEST(ImportCheckImports, UnprintableBytesInNamesAreEscaped) {
    PeBuilder b;
    b.imports = {{"BAD\n\xe9.dll", {"x"}}, {"KERNEL32.dll", {"Exit\x01Process"}}};
    EXPECT_EQ(Check(b).problems,
              (std::vector<std::string>{
                  "BAD\\x0a\\xe9.dll: no list of Windows 95/98 exports for this DLL",
                  "KERNEL32.dll!Exit\\x01Process: not exported by Windows 95/98"}));
}

TEST(ImportCheckImports, ImportByOrdinalFails) {
    PeBuilder b = Good();
    b.imports[0].functions.push_back("#345");
    EXPECT_EQ(Check(b).problems,
              One("KERNEL32.dll!#345: imported by ordinal; the export lists know names only"));
}

TEST(ImportCheckImports, Windows98OnlyNameIsANoteNotAFailure) {
    PeBuilder b = Good();
    b.imports[0].functions.push_back("IsDebuggerPresent");
    CheckResult r = Check(b);
    EXPECT_TRUE(r.Passed());
    EXPECT_EQ(
        r.notes,
        One("KERNEL32.dll!IsDebuggerPresent: Windows 98 only, Windows 95 does not export it"));
}

TEST(ImportCheckImports, StubsPassWithANote) {
    PeBuilder b = Good();
    b.imports[0].functions = {"GetHandleInformation", "TryEnterCriticalSection"};
    CheckResult r = Check(b);
    EXPECT_TRUE(r.Passed());
    EXPECT_EQ(r.notes, (std::vector<std::string>{
                           "stub on Windows 95/98: KERNEL32.dll!GetHandleInformation",
                           "KERNEL32.dll!TryEnterCriticalSection: Windows 98 only, Windows 95 "
                           "does not export it",
                           "stub on Windows 95/98: KERNEL32.dll!TryEnterCriticalSection"}));
}

TEST(ImportCheckHeaders, OnlyI386Pe32Loads) {
    PeBuilder b = Good();
    b.machine = 0x8664;
    EXPECT_EQ(Check(b).problems,
              One("machine 0x8664 (x86-64) is not i386 (0x14c): Windows 95/98 load only i386 "
                  "images"));
    b.pe32Plus = true;
    CheckResult r = Check(b);
    ASSERT_EQ(r.problems.size(), 2u);
    EXPECT_EQ(r.problems[1],
              "optional header magic 0x20b is not PE32 (0x10b): Windows 95/98 load no PE32+ image");
    // The imports of a PE32+ image are read and checked all the same.
    EXPECT_EQ(r.functionCount, 3u);
}

TEST(ImportCheckHeaders, SubsystemVersionMustBeExactly40) {
    PeBuilder b = Good();
    b.subsystemMajor = 5;
    b.subsystemMinor = 1;
    EXPECT_EQ(Check(b).problems,
              One("subsystem version 5.1 is not 4.0: Windows 95/98 need exactly 4.0"));
    b.subsystemMajor = 3;
    b.subsystemMinor = 10;
    EXPECT_EQ(Check(b).problems,
              One("subsystem version 3.10 is not 4.0: Windows 95/98 need exactly 4.0"));
    b.subsystemMajor = 4;
    b.subsystemMinor = 10;
    EXPECT_FALSE(Check(b).Passed());
}

TEST(ImportCheckHeaders, OsAndImageVersionsAtMost40) {
    PeBuilder b = Good();
    b.osMajor = 6;
    b.osMinor = 0;
    EXPECT_EQ(Check(b).problems, One("OS version 6.0 is above 4.0 (Windows 95/98)"));
    b.osMajor = 4;
    b.osMinor = 1;
    EXPECT_EQ(Check(b).problems, One("OS version 4.1 is above 4.0 (Windows 95/98)"));
    b.osMajor = 3;
    b.osMinor = 10;
    b.imageMajor = 4;
    b.imageMinor = 0;
    EXPECT_TRUE(Check(b).Passed());
    b.imageMajor = 5;
    EXPECT_EQ(Check(b).problems, One("image version 5.0 is above 4.0 (Windows 95/98)"));
}

TEST(ImportCheckHeaders, DelayImportsFail) {
    PeBuilder b = Good();
    b.delayImports = true;
    EXPECT_EQ(Check(b).problems,
              One("delay-load imports are not checked: the image has a delay-import directory"));
}

TEST(ImportCheckRealLists, TypicalProgramPassesAndNewerCallsFail) {
    win9x::ExportLists lists;
    std::string error;
    ASSERT_TRUE(lists.Load(W9X_EXPORTS_DIR, &error)) << error;
    PeBuilder b;
    b.imports = {
        {"ADVAPI32.dll", {"RegOpenKeyExA", "RegCloseKey"}},
        {"KERNEL32.dll", {"CreateFileA", "GetModuleHandleA", "GetProcAddress", "ExitProcess"}},
        {"msvcrt.dll", {"__getmainargs", "malloc", "free", "_iob"}},
        {"USER32.dll", {"MessageBoxA", "DialogBoxParamA"}},
    };
    CheckResult r = Check(b, lists);
    EXPECT_TRUE(r.Passed()) << r.problems[0];
    EXPECT_TRUE(r.notes.empty());

    // What the posix thread model of MinGW brings in.
    b.imports[1].functions.push_back("GetTickCount64");
    b.imports[1].functions.push_back("AddVectoredExceptionHandler");
    b.imports[1].functions.push_back("InterlockedCompareExchange");
    r = Check(b, lists);
    EXPECT_EQ(r.problems, (std::vector<std::string>{
                              "KERNEL32.dll!GetTickCount64: not exported by Windows 95/98",
                              "KERNEL32.dll!AddVectoredExceptionHandler: not exported by Windows "
                              "95/98"}));
    EXPECT_EQ(r.notes, One("KERNEL32.dll!InterlockedCompareExchange: Windows 98 only, Windows 95 "
                           "does not export it"));
}

}  // namespace
