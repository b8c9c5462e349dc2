// A small reader of PE images (.exe, .dll), enough to list what an image imports and the header
// fields that decide whether Windows 95/98 load it at all. It reads untrusted bytes: every read
// is bounds-checked and a damaged file gives a sentence saying what is wrong, never a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace win9x {

constexpr std::uint16_t kMachineI386 = 0x14c;
constexpr std::uint16_t kMagicPe32 = 0x10b;
constexpr std::uint16_t kMagicPe32Plus = 0x20b;
constexpr std::size_t kImportDirectory = 1;
constexpr std::size_t kDelayImportDirectory = 13;

struct DataDirectory {
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
};

struct Section {
    std::string name;  // up to 8 characters, without the padding zeros
    std::uint32_t virtualAddress = 0;
    std::uint32_t virtualSize = 0;
    std::uint32_t rawOffset = 0;  // PointerToRawData
    std::uint32_t rawSize = 0;    // SizeOfRawData
};

struct ImportedFunction {
    bool byOrdinal = false;
    std::uint16_t ordinal = 0;  // when byOrdinal
    std::uint16_t hint = 0;     // when imported by name
    std::string name;           // when imported by name
};

struct ImportedDll {
    std::string name;  // as written in the image, e.g. "KERNEL32.dll"
    std::vector<ImportedFunction> functions;
};

struct PeImage {
    std::uint16_t machine = 0;
    std::uint16_t sectionCount = 0;
    std::uint16_t optionalHeaderSize = 0;
    std::uint16_t magic = 0;  // kMagicPe32 or kMagicPe32Plus
    std::uint16_t osMajor = 0;
    std::uint16_t osMinor = 0;
    std::uint16_t imageMajor = 0;
    std::uint16_t imageMinor = 0;
    std::uint16_t subsystemMajor = 0;
    std::uint16_t subsystemMinor = 0;
    std::uint16_t subsystem = 0;
    std::uint32_t sizeOfHeaders = 0;
    std::size_t fileSize = 0;
    std::vector<DataDirectory> directories;  // at most 16
    std::vector<Section> sections;
    std::vector<ImportedDll> imports;
    bool hasDelayImports = false;
};

// Where a range of bytes given by RVA lies in the file.
enum class RvaPlace {
    kInFile,         // wholly inside the file bytes of one section (or of the headers)
    kInNoSection,    // the RVA belongs to no section and not to the headers
    kPastEndOfFile,  // the section's file bytes end with the file before the range does
    kPastRawData,    // the range runs past the section's file bytes: memory the loader zero-fills
};

// Maps `length` bytes at `rva` to `*offset` in the file. A range must lie in one section: the
// loader places sections apart, so file bytes that follow a section are not what follows it in
// memory.
RvaPlace MapRva(const PeImage& image, std::uint32_t rva, std::uint32_t length, std::size_t* offset);

// Reads the headers, the section table and the import directory of the image in `data`.
// Returns false with `*error` set to what is wrong when the bytes are not a readable PE image.
bool ParsePeImage(const std::uint8_t* data, std::size_t size, PeImage* image, std::string* error);

}  // namespace win9x
