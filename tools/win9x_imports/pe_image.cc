#include "tools/win9x_imports/pe_image.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace win9x {
namespace {

// A longer DLL or function name is taken for damage rather than scanned any further: real names,
// C++ ones included, stay far below it, and the cap keeps a hostile file from making the reader
// walk the same long run of bytes once per thunk.
constexpr std::size_t kMaxNameLength = 4096;
constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kDescriptorSize = 20;
constexpr std::size_t kMaxDirectories = 16;

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(U16(p)) | (static_cast<std::uint32_t>(U16(p + 2)) << 16);
}

std::uint64_t U64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(U32(p)) | (static_cast<std::uint64_t>(U32(p + 4)) << 32);
}

std::string Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

bool Has(std::size_t size, std::uint64_t offset, std::uint64_t length) {
    return offset <= size && length <= size - offset;
}

bool Fail(std::string* error, const std::string& text) {
    *error = text;
    return false;
}

// Where one RVA lies: the file offset of its byte and how many bytes of the same section (or of
// the headers) follow it in the file.
struct Location {
    RvaPlace place = RvaPlace::kInNoSection;
    std::size_t offset = 0;
    std::size_t available = 0;
    bool fileCut = false;  // the file ends before the section's data does
};

Location Locate(const PeImage& image, std::uint32_t rva) {
    Location where;
    for (const Section& section : image.sections) {
        // A section without a virtual size occupies as much memory as it has file bytes.
        std::uint64_t span = section.virtualSize != 0 ? section.virtualSize : section.rawSize;
        if (rva < section.virtualAddress || rva - section.virtualAddress >= span) continue;
        std::uint64_t delta = rva - section.virtualAddress;
        // The loader copies no more file bytes than fit in the section's memory.
        std::uint64_t mapped = std::min<std::uint64_t>(section.rawSize, span);
        std::uint64_t inFile =
            section.rawOffset >= image.fileSize
                ? 0
                : std::min<std::uint64_t>(mapped, image.fileSize - section.rawOffset);
        where.fileCut = inFile < mapped;
        if (delta < inFile) {
            where.place = RvaPlace::kInFile;
            where.offset = static_cast<std::size_t>(section.rawOffset + delta);
            where.available = static_cast<std::size_t>(inFile - delta);
        } else {
            where.place = delta < mapped ? RvaPlace::kPastEndOfFile : RvaPlace::kPastRawData;
        }
        return where;
    }
    // The headers are loaded at the image base, so RVAs below SizeOfHeaders read them.
    if (rva < image.sizeOfHeaders) {
        std::uint64_t inFile = std::min<std::uint64_t>(image.sizeOfHeaders, image.fileSize);
        where.fileCut = inFile < image.sizeOfHeaders;
        if (rva < inFile) {
            where.place = RvaPlace::kInFile;
            where.offset = rva;
            where.available = static_cast<std::size_t>(inFile - rva);
        } else {
            where.place = RvaPlace::kPastEndOfFile;
        }
    }
    return where;
}

std::string Describe(RvaPlace place) {
    switch (place) {
        case RvaPlace::kInFile:
            return "lies in the file";
        case RvaPlace::kInNoSection:
            return "lies in no section";
        case RvaPlace::kPastEndOfFile:
            return "lies outside the file";
        case RvaPlace::kPastRawData:
            return "lies past its section's file data";
    }
    return "lies nowhere";
}

// "import table cut off" when the file simply ends too soon, "import table damaged" otherwise.
std::string ImportError(RvaPlace place, const std::string& what, std::uint64_t rva) {
    if (place == RvaPlace::kPastEndOfFile) {
        return "import table cut off: " + what + " " + Describe(place);
    }
    return "import table damaged: " + what + " (RVA " + Hex(rva) + ") " + Describe(place);
}

class ImportReader {
  public:
    ImportReader(const std::uint8_t* data, PeImage* image, std::string* error)
        : data_(data), image_(image), error_(error) {}

    bool Read(std::uint32_t directoryRva) {
        std::vector<Descriptor> descriptors;
        if (!ReadDescriptors(directoryRva, &descriptors)) return false;
        // Thunks shared between lists could otherwise make the work grow with the square of the
        // file size; a real image never has more thunks than fit in its bytes.
        thunkBudget_ = image_->fileSize / ThunkSize();
        for (std::size_t i = 0; i < descriptors.size(); ++i) {
            ImportedDll dll;
            if (!ReadName(descriptors[i].name, "name of DLL " + std::to_string(i), &dll.name)) {
                return false;
            }
            if (dll.name.empty()) {
                return Fail(error_, "import table damaged: DLL " + std::to_string(i) +
                                        " has an empty name");
            }
            std::uint32_t list =
                descriptors[i].lookup != 0 ? descriptors[i].lookup : descriptors[i].addresses;
            if (!ReadThunks(list, &dll)) return false;
            image_->imports.push_back(std::move(dll));
        }
        return true;
    }

  private:
    struct Descriptor {
        std::uint32_t lookup;     // OriginalFirstThunk
        std::uint32_t name;       // RVA of the DLL name
        std::uint32_t addresses;  // FirstThunk
    };

    std::size_t ThunkSize() const { return image_->magic == kMagicPe32Plus ? 8 : 4; }

    bool ReadDescriptors(std::uint32_t directoryRva, std::vector<Descriptor>* descriptors) {
        // Overlapping sections could map the same bytes at many RVAs; no real table has more
        // descriptors than the file has room for.
        std::size_t limit = image_->fileSize / kDescriptorSize;
        for (std::size_t i = 0;; ++i) {
            std::string what = "descriptor " + std::to_string(i);
            if (i > limit) {
                return Fail(error_, "import table damaged: no terminating descriptor within " +
                                        std::to_string(limit) + " descriptors");
            }
            std::uint64_t rva = directoryRva + static_cast<std::uint64_t>(i) * kDescriptorSize;
            if (rva + kDescriptorSize > 0xffffffffu) {
                return Fail(error_, "import table damaged: " + what + " lies beyond 4 GB");
            }
            std::size_t offset = 0;
            RvaPlace place =
                MapRva(*image_, static_cast<std::uint32_t>(rva), kDescriptorSize, &offset);
            // The loader zero-fills memory past a section's file data, so a table reaching it
            // ends there.
            if (place == RvaPlace::kPastRawData &&
                Locate(*image_, static_cast<std::uint32_t>(rva)).place == RvaPlace::kPastRawData) {
                return true;
            }
            if (place != RvaPlace::kInFile) return Fail(error_, ImportError(place, what, rva));
            const std::uint8_t* p = data_ + offset;
            Descriptor d{U32(p), U32(p + 12), U32(p + 16)};
            bool allZero =
                std::all_of(p, p + kDescriptorSize, [](std::uint8_t b) { return b == 0; });
            if (allZero) return true;
            if (d.name == 0) return Fail(error_, "import table damaged: " + what + " names no DLL");
            if (d.lookup == 0 && d.addresses == 0) {
                return Fail(error_, "import table damaged: " + what + " has no thunk list");
            }
            descriptors->push_back(d);
        }
    }

    bool ReadName(std::uint64_t rva, const std::string& what, std::string* name) {
        Location where = Locate(*image_, static_cast<std::uint32_t>(rva));
        if (rva > 0xffffffffu) where.place = RvaPlace::kInNoSection;
        if (where.place != RvaPlace::kInFile) {
            return Fail(error_, ImportError(where.place, what, rva));
        }
        const std::uint8_t* start = data_ + where.offset;
        std::size_t scan = std::min(where.available, kMaxNameLength + 1);
        const void* end = std::memchr(start, 0, scan);
        if (end == nullptr) {
            if (scan > kMaxNameLength) {
                return Fail(error_, "import table damaged: " + what + " is longer than " +
                                        std::to_string(kMaxNameLength) + " bytes");
            }
            if (where.fileCut) {
                return Fail(error_,
                            "import table cut off: " + what + " runs past the end of the file");
            }
            return Fail(error_,
                        "import table damaged: " + what + " runs past its section's file data");
        }
        name->assign(reinterpret_cast<const char*>(start),
                     static_cast<const std::uint8_t*>(end) - start);
        return true;
    }

    bool ReadThunks(std::uint32_t list, ImportedDll* dll) {
        const std::size_t thunkSize = ThunkSize();
        for (std::size_t j = 0;; ++j) {
            std::string what = "thunk " + std::to_string(j) + " of " + dll->name;
            if (thunkBudget_ == 0) {
                return Fail(error_,
                            "import table damaged: the thunk lists hold more entries than "
                            "the file has room for");
            }
            --thunkBudget_;
            std::uint64_t rva = list + static_cast<std::uint64_t>(j) * thunkSize;
            if (rva + thunkSize > 0xffffffffu) {
                return Fail(error_, "import table damaged: " + what + " lies beyond 4 GB");
            }
            std::size_t offset = 0;
            RvaPlace place = MapRva(*image_, static_cast<std::uint32_t>(rva),
                                    static_cast<std::uint32_t>(thunkSize), &offset);
            // Zero-filled memory reads as the terminating null thunk.
            if (place == RvaPlace::kPastRawData &&
                Locate(*image_, static_cast<std::uint32_t>(rva)).place == RvaPlace::kPastRawData) {
                return true;
            }
            if (place == RvaPlace::kPastEndOfFile) {
                return Fail(error_, "import table cut off: thunk list of " + dll->name +
                                        " is not terminated before the end of the file");
            }
            if (place != RvaPlace::kInFile) return Fail(error_, ImportError(place, what, rva));
            std::uint64_t value = thunkSize == 8 ? U64(data_ + offset) : U32(data_ + offset);
            if (value == 0) return true;
            std::uint64_t ordinalFlag = thunkSize == 8 ? 1ull << 63 : 1ull << 31;
            ImportedFunction function;
            if ((value & ordinalFlag) != 0) {
                function.byOrdinal = true;
                function.ordinal = static_cast<std::uint16_t>(value & 0xffff);
            } else if (value > 0x7fffffffu) {
                return Fail(error_, "import table damaged: " + what + " holds " + Hex(value) +
                                        ", neither an ordinal nor a hint/name RVA");
            } else if (!ReadHintName(static_cast<std::uint32_t>(value), what, &function)) {
                return false;
            }
            dll->functions.push_back(std::move(function));
        }
    }

    bool ReadHintName(std::uint32_t rva, const std::string& thunk, ImportedFunction* function) {
        std::string what = "hint/name entry of " + thunk;
        std::size_t offset = 0;
        RvaPlace place = MapRva(*image_, rva, 2, &offset);
        if (place != RvaPlace::kInFile) return Fail(error_, ImportError(place, what, rva));
        function->hint = U16(data_ + offset);
        return ReadName(static_cast<std::uint64_t>(rva) + 2, "name in " + what, &function->name);
    }

    const std::uint8_t* data_;
    PeImage* image_;
    std::string* error_;
    std::size_t thunkBudget_ = 0;
};

bool ReadOptionalHeader(const std::uint8_t* data, std::size_t size, std::size_t offset,
                        PeImage* image, std::string* error) {
    if (image->optionalHeaderSize < 2) {
        return Fail(error, "not an image: SizeOfOptionalHeader is " +
                               std::to_string(image->optionalHeaderSize));
    }
    if (!Has(size, offset, 2)) return Fail(error, "optional header cut off");
    image->magic = U16(data + offset);
    // The fields up to the data directories; PE32+ widens the image base and the stack and
    // heap sizes to 64 bits.
    std::size_t fixedSize = 0;
    std::size_t countOffset = 0;
    if (image->magic == kMagicPe32) {
        fixedSize = 96;
        countOffset = 92;
    } else if (image->magic == kMagicPe32Plus) {
        fixedSize = 112;
        countOffset = 108;
    } else {
        return Fail(error, "unknown optional header magic " + Hex(image->magic));
    }
    if (image->optionalHeaderSize < fixedSize) {
        return Fail(error, "optional header too small: SizeOfOptionalHeader is " +
                               std::to_string(image->optionalHeaderSize) + ", its fields need " +
                               std::to_string(fixedSize));
    }
    if (!Has(size, offset, fixedSize)) return Fail(error, "optional header cut off");
    const std::uint8_t* p = data + offset;
    image->osMajor = U16(p + 40);
    image->osMinor = U16(p + 42);
    image->imageMajor = U16(p + 44);
    image->imageMinor = U16(p + 46);
    image->subsystemMajor = U16(p + 48);
    image->subsystemMinor = U16(p + 50);
    image->sizeOfHeaders = U32(p + 60);
    image->subsystem = U16(p + 68);
    // The loader looks at no more than 16 directories, whatever the count says.
    std::size_t count = std::min<std::size_t>(U32(p + countOffset), kMaxDirectories);
    if (fixedSize + 8 * count > image->optionalHeaderSize) {
        return Fail(error, "optional header too small for its " + std::to_string(count) +
                               " data directories");
    }
    if (!Has(size, offset + fixedSize, 8 * count)) return Fail(error, "data directories cut off");
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = p + fixedSize + 8 * i;
        image->directories.push_back({U32(entry), U32(entry + 4)});
    }
    return true;
}

bool ReadSections(const std::uint8_t* data, std::size_t size, std::size_t offset, PeImage* image,
                  std::string* error) {
    for (std::size_t i = 0; i < image->sectionCount; ++i) {
        std::uint64_t at = offset + static_cast<std::uint64_t>(i) * kSectionHeaderSize;
        if (!Has(size, at, kSectionHeaderSize)) {
            return Fail(error, "section table cut off: section " + std::to_string(i) + " of " +
                                   std::to_string(image->sectionCount) + " lies outside the file");
        }
        const std::uint8_t* p = data + at;
        Section section;
        const char* name = reinterpret_cast<const char*>(p);
        section.name.assign(name, std::find(name, name + 8, '\0'));
        section.virtualSize = U32(p + 8);
        section.virtualAddress = U32(p + 12);
        section.rawSize = U32(p + 16);
        section.rawOffset = U32(p + 20);
        image->sections.push_back(std::move(section));
    }
    return true;
}

}  // namespace

RvaPlace MapRva(const PeImage& image, std::uint32_t rva, std::uint32_t length,
                std::size_t* offset) {
    Location where = Locate(image, rva);
    if (where.place != RvaPlace::kInFile) return where.place;
    if (where.available < length) {
        return where.fileCut ? RvaPlace::kPastEndOfFile : RvaPlace::kPastRawData;
    }
    *offset = where.offset;
    return RvaPlace::kInFile;
}

bool ParsePeImage(const std::uint8_t* data, std::size_t size, PeImage* image, std::string* error) {
    *image = PeImage();
    image->fileSize = size;
    if (size < 2 || data[0] != 'M' || data[1] != 'Z') {
        return Fail(error, "not a PE file: no MZ signature");
    }
    if (size < kDosHeaderSize) return Fail(error, "not a PE file: DOS header cut off");
    std::uint32_t peOffset = U32(data + 0x3c);
    if (!Has(size, peOffset, 4)) {
        return Fail(error, "not a PE file: e_lfanew (" + Hex(peOffset) +
                               ") points beyond the end of the file");
    }
    if (std::memcmp(data + peOffset, "PE\0\0", 4) != 0) {
        return Fail(error, "not a PE file: no PE signature at e_lfanew (" + Hex(peOffset) + ")");
    }
    std::size_t fileHeader = static_cast<std::size_t>(peOffset) + 4;
    if (!Has(size, fileHeader, kFileHeaderSize)) return Fail(error, "COFF file header cut off");
    image->machine = U16(data + fileHeader);
    image->sectionCount = U16(data + fileHeader + 2);
    image->optionalHeaderSize = U16(data + fileHeader + 16);
    std::size_t optionalHeader = fileHeader + kFileHeaderSize;
    if (!ReadOptionalHeader(data, size, optionalHeader, image, error)) return false;
    if (!ReadSections(data, size, optionalHeader + image->optionalHeaderSize, image, error)) {
        return false;
    }
    if (image->directories.size() > kDelayImportDirectory) {
        const DataDirectory& delay = image->directories[kDelayImportDirectory];
        image->hasDelayImports = delay.rva != 0 || delay.size != 0;
    }
    // The loader walks the descriptors up to the zero one whatever the directory's size says, so
    // only a zero RVA means "no imports".
    if (image->directories.size() <= kImportDirectory) return true;
    std::uint32_t importRva = image->directories[kImportDirectory].rva;
    if (importRva == 0) return true;
    return ImportReader(data, image, error).Read(importRva);
}

}  // namespace win9x
