// Writes small PE images in memory for the checker's tests: an i386 PE32 (or PE32+) image with
// one .idata section holding the given imports, and knobs that damage it the ways real files
// are damaged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace win9x_test {

struct TestImport {
    std::string dll;
    std::vector<std::string> functions;  // "#7" imports ordinal 7
};

// The fixed layout of every built image, for tests that patch it.
constexpr std::size_t kPeOffset = 0x40;          // e_lfanew
constexpr std::size_t kFileHeaderOffset = 0x44;  // COFF file header
constexpr std::size_t kOptionalHeaderOffset = 0x58;
constexpr std::size_t kIdataOffset = 0x200;  // file offset of .idata
constexpr std::uint32_t kIdataRva = 0x1000;

struct PeBuilder {
    std::uint16_t machine = 0x14c;
    bool pe32Plus = false;
    std::uint16_t osMajor = 4, osMinor = 0;
    std::uint16_t imageMajor = 1, imageMinor = 0;
    std::uint16_t subsystemMajor = 4, subsystemMinor = 0;
    bool lookupTables = true;           // false: OriginalFirstThunk 0, FirstThunk alone names
    bool delayImports = false;          // a non-empty delay-import directory
    bool unterminatedLastList = false;  // the last lookup table loses its null thunk and the
                                        // file ends right after it
    std::vector<TestImport> imports;

    std::vector<std::uint8_t> Build() const;
};

// File offset of import descriptor `index`.
constexpr std::size_t DescriptorOffset(std::size_t index) { return kIdataOffset + 20 * index; }

// File offset of a .idata RVA.
constexpr std::size_t IdataOffset(std::uint32_t rva) { return kIdataOffset + (rva - kIdataRva); }

std::uint32_t Get32(const std::vector<std::uint8_t>& bytes, std::size_t offset);
void Put16(std::vector<std::uint8_t>* bytes, std::size_t offset, std::uint16_t value);
void Put32(std::vector<std::uint8_t>* bytes, std::size_t offset, std::uint32_t value);

}  // namespace win9x_test
