#include "tools/win9x_imports/pe_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win9x_imports/pe_builder.h"

namespace {

using win9x::ImportedFunction;
using win9x::PeImage;
using win9x::RvaPlace;
using win9x_test::DescriptorOffset;
using win9x_test::Get32;
using win9x_test::IdataOffset;
using win9x_test::PeBuilder;
using win9x_test::Put16;
using win9x_test::Put32;

PeBuilder TwoDlls() {
    PeBuilder b;
    b.imports = {{"KERNEL32.dll", {"CreateFileA", "#17", "ExitProcess"}},
                 {"msvcrt.dll", {"malloc"}}};
    return b;
}

struct Parsed {
    bool ok;
    PeImage image;
    std::string error;
};

Parsed Parse(const std::vector<std::uint8_t>& bytes) {
    Parsed p;
    p.ok = win9x::ParsePeImage(bytes.data(), bytes.size(), &p.image, &p.error);
    return p;
}

std::vector<std::string> Labels(const PeImage& image) {
    std::vector<std::string> labels;
    for (const auto& dll : image.imports) {
        for (const ImportedFunction& f : dll.functions) {
            labels.push_back(dll.name + "!" +
                             (f.byOrdinal ? "#" + std::to_string(f.ordinal) : f.name));
        }
    }
    return labels;
}

// The error of the built image after `damage`, which must make it unreadable.
std::string ErrorAfter(PeBuilder b, void (*damage)(std::vector<std::uint8_t>*)) {
    std::vector<std::uint8_t> bytes = b.Build();
    damage(&bytes);
    Parsed p = Parse(bytes);
    EXPECT_FALSE(p.ok);
    return p.error;
}

TEST(PeImageRead, HeaderFieldsAndSections) {
    PeBuilder b = TwoDlls();
    b.osMajor = 3;
    b.osMinor = 10;
    b.imageMajor = 2;
    b.imageMinor = 5;
    b.subsystemMajor = 4;
    b.subsystemMinor = 1;
    Parsed p = Parse(b.Build());
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.image.machine, 0x14c);
    EXPECT_EQ(p.image.magic, win9x::kMagicPe32);
    EXPECT_EQ(p.image.osMajor, 3);
    EXPECT_EQ(p.image.osMinor, 10);
    EXPECT_EQ(p.image.imageMajor, 2);
    EXPECT_EQ(p.image.imageMinor, 5);
    EXPECT_EQ(p.image.subsystemMajor, 4);
    EXPECT_EQ(p.image.subsystemMinor, 1);
    EXPECT_EQ(p.image.subsystem, 2);
    EXPECT_EQ(p.image.directories.size(), 16u);
    EXPECT_FALSE(p.image.hasDelayImports);
    ASSERT_EQ(p.image.sections.size(), 1u);
    EXPECT_EQ(p.image.sections[0].name, ".idata");
    EXPECT_EQ(p.image.sections[0].virtualAddress, win9x_test::kIdataRva);
    EXPECT_EQ(p.image.sections[0].rawOffset, win9x_test::kIdataOffset);
}

TEST(PeImageRead, ImportsByNameAndOrdinalInOrder) {
    Parsed p = Parse(TwoDlls().Build());
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(Labels(p.image),
              (std::vector<std::string>{"KERNEL32.dll!CreateFileA", "KERNEL32.dll!#17",
                                        "KERNEL32.dll!ExitProcess", "msvcrt.dll!malloc"}));
    const auto& kernel = p.image.imports[0].functions;
    EXPECT_TRUE(kernel[1].byOrdinal);
    EXPECT_EQ(kernel[1].ordinal, 17);
    EXPECT_FALSE(kernel[2].byOrdinal);
    EXPECT_EQ(kernel[2].hint, 2);  // the builder writes each function's index as its hint
}

TEST(PeImageRead, Pe32PlusThunksAre64Bits) {
    PeBuilder b = TwoDlls();
    b.pe32Plus = true;
    b.machine = 0x8664;
    Parsed p = Parse(b.Build());
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.image.magic, win9x::kMagicPe32Plus);
    EXPECT_EQ(p.image.machine, 0x8664);
    EXPECT_EQ(Labels(p.image),
              (std::vector<std::string>{"KERNEL32.dll!CreateFileA", "KERNEL32.dll!#17",
                                        "KERNEL32.dll!ExitProcess", "msvcrt.dll!malloc"}));
}

TEST(PeImageRead, WithoutLookupTablesTheAddressTableNamesTheImports) {
    PeBuilder b = TwoDlls();
    b.lookupTables = false;
    Parsed p = Parse(b.Build());
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(Labels(p.image).size(), 4u);
    EXPECT_EQ(Labels(p.image)[3], "msvcrt.dll!malloc");
}

TEST(PeImageRead, DelayImportDirectoryIsReported) {
    PeBuilder b = TwoDlls();
    b.delayImports = true;
    Parsed p = Parse(b.Build());
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.image.hasDelayImports);
}

TEST(PeImageRead, NoImportDirectoryMeansNoImports) {
    std::vector<std::uint8_t> bytes = TwoDlls().Build();
    Put32(&bytes, win9x_test::kOptionalHeaderOffset + 96 + 8, 0);
    Parsed p = Parse(bytes);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.image.imports.empty());
}

TEST(PeImageMapping, RvasMapThroughSectionsAndHeaders) {
    Parsed p = Parse(TwoDlls().Build());
    ASSERT_TRUE(p.ok) << p.error;
    std::size_t offset = 0;
    EXPECT_EQ(win9x::MapRva(p.image, 0x1010, 4, &offset), RvaPlace::kInFile);
    EXPECT_EQ(offset, 0x210u);
    EXPECT_EQ(win9x::MapRva(p.image, 0x3c, 4, &offset), RvaPlace::kInFile);
    EXPECT_EQ(offset, 0x3cu);
    EXPECT_EQ(win9x::MapRva(p.image, 0x5000, 1, &offset), RvaPlace::kInNoSection);
    // The last four bytes of the section map; a range running past them does not.
    std::uint32_t end = win9x_test::kIdataRva + p.image.sections[0].rawSize;
    EXPECT_EQ(win9x::MapRva(p.image, end - 4, 4, &offset), RvaPlace::kInFile);
    EXPECT_EQ(win9x::MapRva(p.image, end - 2, 4, &offset), RvaPlace::kPastRawData);
}

TEST(PeImageMapping, MemoryBeyondTheFileDataIsZeroFillNotFile) {
    std::vector<std::uint8_t> bytes = TwoDlls().Build();
    Parsed p = Parse(bytes);
    ASSERT_TRUE(p.ok);
    p.image.sections[0].virtualSize = p.image.sections[0].rawSize + 0x1000;
    std::size_t offset = 0;
    std::uint32_t end = win9x_test::kIdataRva + p.image.sections[0].rawSize;
    EXPECT_EQ(win9x::MapRva(p.image, end, 4, &offset), RvaPlace::kPastRawData);
    // A file cut inside the section leaves the rest of it outside the file.
    p.image.fileSize = win9x_test::kIdataOffset + 0x10;
    EXPECT_EQ(win9x::MapRva(p.image, 0x100c, 4, &offset), RvaPlace::kInFile);
    EXPECT_EQ(win9x::MapRva(p.image, 0x100e, 4, &offset), RvaPlace::kPastEndOfFile);
    EXPECT_EQ(win9x::MapRva(p.image, 0x1100, 4, &offset), RvaPlace::kPastEndOfFile);
}

TEST(PeImageErrors, NotAPeFile) {
    EXPECT_EQ(Parse({}).error, "not a PE file: no MZ signature");
    EXPECT_EQ(Parse({'M'}).error, "not a PE file: no MZ signature");
    std::vector<std::uint8_t> text(300, 'x');
    EXPECT_EQ(Parse(text).error, "not a PE file: no MZ signature");
    EXPECT_EQ(Parse({'M', 'Z', 0, 0}).error, "not a PE file: DOS header cut off");

    EXPECT_EQ(ErrorAfter(TwoDlls(), [](auto* b) { Put32(b, 0x3c, 0x10000); }),
              "not a PE file: e_lfanew (0x10000) points beyond the end of the file");
    EXPECT_EQ(ErrorAfter(TwoDlls(), [](auto* b) { Put32(b, 0x3c, 0xfffffffe); }),
              "not a PE file: e_lfanew (0xfffffffe) points beyond the end of the file");
    EXPECT_EQ(ErrorAfter(TwoDlls(), [](auto* b) { (*b)[win9x_test::kPeOffset + 1] = 'X'; }),
              "not a PE file: no PE signature at e_lfanew (0x40)");
}

TEST(PeImageErrors, CutOrInconsistentHeaders) {
    EXPECT_EQ(ErrorAfter(TwoDlls(), [](auto* b) { b->resize(win9x_test::kPeOffset + 10); }),
              "COFF file header cut off");
    EXPECT_EQ(
        ErrorAfter(TwoDlls(), [](auto* b) { b->resize(win9x_test::kOptionalHeaderOffset + 50); }),
        "optional header cut off");
    EXPECT_EQ(
        ErrorAfter(TwoDlls(), [](auto* b) { Put16(b, win9x_test::kOptionalHeaderOffset, 0x107); }),
        "unknown optional header magic 0x107");
    EXPECT_EQ(
        ErrorAfter(TwoDlls(), [](auto* b) { Put16(b, win9x_test::kFileHeaderOffset + 16, 0x50); }),
        "optional header too small: SizeOfOptionalHeader is 80, its fields need 96");
    EXPECT_EQ(
        ErrorAfter(TwoDlls(), [](auto* b) { Put16(b, win9x_test::kFileHeaderOffset + 16, 100); }),
        "optional header too small for its 16 data directories");
    // A second section header that the file ends in the middle of.
    EXPECT_EQ(ErrorAfter(TwoDlls(),
                         [](auto* b) {
                             Put16(b, win9x_test::kFileHeaderOffset + 2, 2);
                             b->resize(win9x_test::kOptionalHeaderOffset + 224 + 40 + 39);
                         }),
              "section table cut off: section 1 of 2 lies outside the file");
}

TEST(PeImageErrors, ImportDescriptorCutOff) {
    EXPECT_EQ(ErrorAfter(TwoDlls(), [](auto* b) { b->resize(DescriptorOffset(1) + 10); }),
              "import table cut off: descriptor 1 lies outside the file");
    // The terminating descriptor counts too.
    EXPECT_EQ(ErrorAfter(TwoDlls(), [](auto* b) { b->resize(DescriptorOffset(2) + 19); }),
              "import table cut off: descriptor 2 lies outside the file");
}

TEST(PeImageErrors, RvasOutsideEverySection) {
    EXPECT_EQ(ErrorAfter(TwoDlls(), [](auto* b) { Put32(b, DescriptorOffset(1) + 12, 0x900000); }),
              "import table damaged: name of DLL 1 (RVA 0x900000) lies in no section");
    EXPECT_EQ(
        ErrorAfter(TwoDlls(),
                   [](auto* b) { Put32(b, win9x_test::kOptionalHeaderOffset + 104, 0x7000); }),
        "import table damaged: descriptor 0 (RVA 0x7000) lies in no section");
    EXPECT_EQ(ErrorAfter(TwoDlls(),
                         [](auto* b) {
                             std::uint32_t lookup = Get32(*b, DescriptorOffset(0));
                             Put32(b, IdataOffset(lookup) + 4 * 2, 0x123456);
                         }),
              "import table damaged: hint/name entry of thunk 2 of KERNEL32.dll (RVA 0x123456) "
              "lies in no section");
    EXPECT_EQ(ErrorAfter(TwoDlls(), [](auto* b) { Put32(b, DescriptorOffset(1), 0x7ffffff0); }),
              "import table damaged: thunk 0 of msvcrt.dll (RVA 0x7ffffff0) lies in no section");
}

TEST(PeImageErrors, IncompleteDescriptors) {
    EXPECT_EQ(ErrorAfter(TwoDlls(), [](auto* b) { Put32(b, DescriptorOffset(1) + 12, 0); }),
              "import table damaged: descriptor 1 names no DLL");
    EXPECT_EQ(ErrorAfter(TwoDlls(),
                         [](auto* b) {
                             Put32(b, DescriptorOffset(0), 0);
                             Put32(b, DescriptorOffset(0) + 16, 0);
                         }),
              "import table damaged: descriptor 0 has no thunk list");
    // A DLL name pointing at a zero byte is empty.
    EXPECT_EQ(
        ErrorAfter(TwoDlls(), [](auto* b) { Put32(b, DescriptorOffset(0) + 12, 0x1000 + 0x1f0); }),
        "import table damaged: DLL 0 has an empty name");
}

TEST(PeImageErrors, ThunkListNotTerminatedBeforeTheEndOfTheFile) {
    PeBuilder b = TwoDlls();
    b.unterminatedLastList = true;
    Parsed p = Parse(b.Build());
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.error,
              "import table cut off: thunk list of msvcrt.dll is not terminated before the end "
              "of the file");
    b.pe32Plus = true;
    EXPECT_EQ(Parse(b.Build()).error, p.error);
}

TEST(PeImageErrors, NameRunningOffTheEndOfTheFile) {
    // A file cut after its descriptors, whose first DLL name is its last three bytes.
    std::vector<std::uint8_t> bytes = TwoDlls().Build();
    std::size_t cut = DescriptorOffset(4);
    bytes.resize(cut);
    bytes[cut - 3] = bytes[cut - 2] = bytes[cut - 1] = 'A';
    Put32(&bytes, DescriptorOffset(0) + 12,
          static_cast<std::uint32_t>(win9x_test::kIdataRva + cut - 3 - win9x_test::kIdataOffset));
    EXPECT_EQ(Parse(bytes).error,
              "import table cut off: name of DLL 0 runs past the end of the file");
}

TEST(PeImageErrors, OverlongNamesAreTakenForDamage) {
    PeBuilder b;
    b.imports = {{"KERNEL32.dll", {std::string(4096, 'f')}}};
    ASSERT_TRUE(Parse(b.Build()).ok) << Parse(b.Build()).error;
    b.imports = {{"KERNEL32.dll", {std::string(4097, 'f')}}};
    EXPECT_EQ(Parse(b.Build()).error,
              "import table damaged: name in hint/name entry of thunk 0 of KERNEL32.dll is longer "
              "than 4096 bytes");
}

TEST(PeImageErrors, ThunkListsSharedTooOftenAreTakenForALoop) {
    // Seven descriptors all pointing at one long lookup table would make the reader go through
    // it seven times, more thunks than the whole file holds.
    PeBuilder b;
    std::vector<std::string> many;
    for (int i = 0; i < 200; ++i) many.push_back("f" + std::to_string(i));
    b.imports.push_back({"A.dll", many});
    for (int i = 0; i < 7; ++i) b.imports.push_back({"B.dll", {"g"}});
    std::vector<std::uint8_t> bytes = b.Build();
    ASSERT_TRUE(Parse(bytes).ok);
    std::uint32_t shared = Get32(bytes, DescriptorOffset(0));
    for (int i = 1; i <= 7; ++i) Put32(&bytes, DescriptorOffset(i), shared);
    EXPECT_EQ(Parse(bytes).error,
              "import table damaged: the thunk lists hold more entries than the file has room for");
}

TEST(PeImageErrors, ThunkThatIsNeitherOrdinalNorNameInPe32Plus) {
    PeBuilder b = TwoDlls();
    b.pe32Plus = true;
    std::vector<std::uint8_t> bytes = b.Build();
    std::uint32_t lookup = Get32(bytes, DescriptorOffset(1));
    Put32(&bytes, IdataOffset(lookup) + 4, 1);  // high half of the 64-bit thunk
    EXPECT_EQ(Parse(bytes).error.rfind("import table damaged: thunk 0 of msvcrt.dll holds 0x1", 0),
              0u)
        << Parse(bytes).error;
}

TEST(PeImageErrors, EveryCutOfAGoodImageFailsCleanly) {
    // Whatever the length at which a file is cut, reading it gives an error, never a crash or
    // a partial list passed off as whole.
    std::vector<std::uint8_t> whole = TwoDlls().Build();
    std::uint32_t lastLookup = Get32(whole, DescriptorOffset(1));
    std::size_t needed = IdataOffset(lastLookup) + 8;
    for (std::size_t size = 0; size < needed; ++size) {
        std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + size);
        Parsed p = Parse(cut);
        EXPECT_FALSE(p.ok) << size;
        EXPECT_FALSE(p.error.empty()) << size;
    }
    EXPECT_TRUE(Parse(std::vector<std::uint8_t>(whole.begin(), whole.begin() + needed)).ok);
}

}  // namespace
