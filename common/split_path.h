// Splitting a path into its directory and file name.
#pragma once

#include <cstddef>

namespace kit {

// Both outputs are emptied first. A path of 3 characters or fewer, or one without a backslash,
// gives false and empty outputs. Otherwise the directory is everything up to and including the
// last backslash, the name is the rest (empty when the path ends with a backslash), and the
// result is true. Each output is cut to its capacity (in bytes, the terminator included).
bool SplitPath(const char* path, char* directory, std::size_t directoryCapacity, char* name,
               std::size_t nameCapacity);

}  // namespace kit
