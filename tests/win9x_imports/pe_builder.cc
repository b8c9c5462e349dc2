#include "tests/win9x_imports/pe_builder.h"

#include <cstring>

namespace win9x_test {
namespace {

constexpr std::size_t kFileAlignment = 0x200;
constexpr std::size_t kSectionAlignment = 0x1000;

std::size_t AlignUp(std::size_t value, std::size_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

void Put64(std::vector<std::uint8_t>* bytes, std::size_t offset, std::uint64_t value) {
    Put32(bytes, offset, static_cast<std::uint32_t>(value));
    Put32(bytes, offset + 4, static_cast<std::uint32_t>(value >> 32));
}

// Where each piece of .idata goes, as offsets from its start.
struct IdataLayout {
    std::vector<std::size_t> addressTables;
    std::vector<std::size_t> dllNames;
    std::vector<std::vector<std::size_t>> hintNames;  // 0 for an ordinal
    std::vector<std::size_t> lookupTables;
    std::size_t size = 0;
};

IdataLayout LayOut(const PeBuilder& b, std::size_t thunkSize) {
    IdataLayout layout;
    std::size_t at = (b.imports.size() + 1) * 20;
    for (const TestImport& dll : b.imports) {
        layout.addressTables.push_back(at);
        at += (dll.functions.size() + 1) * thunkSize;
    }
    for (const TestImport& dll : b.imports) {
        layout.dllNames.push_back(at);
        at = AlignUp(at + dll.dll.size() + 1, 2);
        layout.hintNames.emplace_back();
        for (const std::string& function : dll.functions) {
            bool byOrdinal = !function.empty() && function[0] == '#';
            layout.hintNames.back().push_back(byOrdinal ? 0 : at);
            if (!byOrdinal) at = AlignUp(at + 2 + function.size() + 1, 2);
        }
    }
    // The lookup tables come last, so that a cut file loses the end of the last one.
    for (std::size_t i = 0; i < b.imports.size(); ++i) {
        layout.lookupTables.push_back(at);
        at += (b.imports[i].functions.size() + 1) * thunkSize;
    }
    if (b.unterminatedLastList && !b.imports.empty()) at -= thunkSize;
    layout.size = at;
    return layout;
}

std::vector<std::uint8_t> BuildIdata(const PeBuilder& b, const IdataLayout& layout,
                                     std::size_t thunkSize) {
    std::vector<std::uint8_t> idata(layout.size + thunkSize, 0);
    const std::uint64_t ordinalFlag = thunkSize == 8 ? 1ull << 63 : 1ull << 31;
    for (std::size_t i = 0; i < b.imports.size(); ++i) {
        const TestImport& dll = b.imports[i];
        std::size_t descriptor = i * 20;
        Put32(&idata, descriptor, b.lookupTables ? kIdataRva + layout.lookupTables[i] : 0);
        Put32(&idata, descriptor + 12, kIdataRva + layout.dllNames[i]);
        Put32(&idata, descriptor + 16, kIdataRva + layout.addressTables[i]);
        std::memcpy(&idata[layout.dllNames[i]], dll.dll.c_str(), dll.dll.size());
        for (std::size_t j = 0; j < dll.functions.size(); ++j) {
            const std::string& function = dll.functions[j];
            std::uint64_t thunk = 0;
            std::size_t hintName = layout.hintNames[i][j];
            if (hintName == 0) {
                thunk = ordinalFlag | std::stoul(function.substr(1));
            } else {
                thunk = kIdataRva + hintName;
                Put16(&idata, hintName, static_cast<std::uint16_t>(j));
                std::memcpy(&idata[hintName + 2], function.c_str(), function.size());
            }
            for (std::size_t table : {layout.addressTables[i], layout.lookupTables[i]}) {
                std::size_t at = table + j * thunkSize;
                if (thunkSize == 8) {
                    Put64(&idata, at, thunk);
                } else {
                    Put32(&idata, at, static_cast<std::uint32_t>(thunk));
                }
            }
        }
    }
    if (b.unterminatedLastList && !b.imports.empty()) {
        // The thunk after the last table would be its terminator; make sure it is not there.
        idata.resize(layout.size);
    }
    return idata;
}

}  // namespace

std::uint32_t Get32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes.at(offset)) | bytes.at(offset + 1) << 8 |
           bytes.at(offset + 2) << 16 | static_cast<std::uint32_t>(bytes.at(offset + 3)) << 24;
}

void Put16(std::vector<std::uint8_t>* bytes, std::size_t offset, std::uint16_t value) {
    bytes->at(offset) = static_cast<std::uint8_t>(value);
    bytes->at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::vector<std::uint8_t>* bytes, std::size_t offset, std::uint32_t value) {
    Put16(bytes, offset, static_cast<std::uint16_t>(value));
    Put16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::vector<std::uint8_t> PeBuilder::Build() const {
    const std::size_t thunkSize = pe32Plus ? 8 : 4;
    IdataLayout layout = LayOut(*this, thunkSize);
    std::vector<std::uint8_t> idata = BuildIdata(*this, layout, thunkSize);
    // A cut file still has the section header of the whole file it came from.
    std::size_t rawSize = AlignUp(layout.size + thunkSize, kFileAlignment);

    std::vector<std::uint8_t> file(kIdataOffset, 0);
    file[0] = 'M';
    file[1] = 'Z';
    Put32(&file, 0x3c, kPeOffset);
    std::memcpy(&file[kPeOffset], "PE\0\0", 4);

    const std::size_t optionalSize = pe32Plus ? 240 : 224;
    Put16(&file, kFileHeaderOffset, machine);
    Put16(&file, kFileHeaderOffset + 2, 1);  // one section
    Put16(&file, kFileHeaderOffset + 16, static_cast<std::uint16_t>(optionalSize));
    Put16(&file, kFileHeaderOffset + 18, pe32Plus ? 0x0022 : 0x0102);

    const std::size_t o = kOptionalHeaderOffset;
    Put16(&file, o, pe32Plus ? 0x20b : 0x10b);
    if (pe32Plus) {
        Put64(&file, o + 24, 0x140000000ull);
    } else {
        Put32(&file, o + 28, 0x400000);
    }
    Put32(&file, o + 32, kSectionAlignment);
    Put32(&file, o + 36, kFileAlignment);
    Put16(&file, o + 40, osMajor);
    Put16(&file, o + 42, osMinor);
    Put16(&file, o + 44, imageMajor);
    Put16(&file, o + 46, imageMinor);
    Put16(&file, o + 48, subsystemMajor);
    Put16(&file, o + 50, subsystemMinor);
    Put32(&file, o + 56, kIdataRva + AlignUp(rawSize, kSectionAlignment));
    Put32(&file, o + 60, kIdataOffset);
    Put16(&file, o + 68, 2);  // GUI
    const std::size_t directories = o + (pe32Plus ? 112 : 96);
    Put32(&file, o + (pe32Plus ? 108 : 92), 16);
    Put32(&file, directories + 8, kIdataRva);
    Put32(&file, directories + 12, static_cast<std::uint32_t>((imports.size() + 1) * 20));
    if (delayImports) {
        Put32(&file, directories + 13 * 8, kIdataRva);
        Put32(&file, directories + 13 * 8 + 4, 32);
    }

    const std::size_t section = o + optionalSize;
    std::memcpy(&file[section], ".idata", 6);
    Put32(&file, section + 8, static_cast<std::uint32_t>(rawSize));
    Put32(&file, section + 12, kIdataRva);
    Put32(&file, section + 16, static_cast<std::uint32_t>(rawSize));
    Put32(&file, section + 20, kIdataOffset);
    Put32(&file, section + 36, 0xc0000040);

    file.insert(file.end(), idata.begin(), idata.end());
    if (!unterminatedLastList) file.resize(kIdataOffset + rawSize, 0);
    return file;
}

}  // namespace win9x_test
