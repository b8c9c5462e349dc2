// Portable types shared by every platform family. Values that cross the platform boundary keep
// the Win32 numbers (error codes, value types, root keys, attributes), so the win32 back end
// passes them through unchanged and the simulated machine answers with the same numbers.
#pragma once

#include <cstdint>

namespace plat {

using Dword = std::uint32_t;
using Long = std::int32_t;

// Win32 error codes that the programs and the tests look at.
constexpr Long kErrorSuccess = 0;
constexpr Long kErrorFileNotFound = 2;
constexpr Long kErrorPathNotFound = 3;
constexpr Long kErrorAccessDenied = 5;
constexpr Long kErrorInvalidHandle = 6;
constexpr Long kErrorInvalidParameter = 87;
constexpr Long kErrorMoreData = 234;
constexpr Long kErrorNoMoreItems = 259;
constexpr Long kErrorKeyDeleted = 1018;

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct Size {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
};

}  // namespace plat
