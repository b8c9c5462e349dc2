// A dialling location entry of telephon.ini, built for the modem location from the current one.
#pragma once

#include <cstddef>
#include <string>

// An entry and the values it is built from fit 259 characters and a terminator: the buffers
// the dialler and the wizard read them into.
constexpr std::size_t kLocationEntryCapacity = 260;

// The modem location's entry: its identifier, name and prefixes, then the area code of
// `model`, country 33 and every further field of `model` unchanged. An entry's fields are the
// identifier, four quoted strings (name, outside-line prefix, long-distance prefix, area code),
// the country code, then the others. False when `model` lacks one of these, or when the entry
// would not fit its buffer: cut, it would be a corrupted setting the dialler then reads.
bool ComposeLocationEntry(const std::string& model, int id, const char* outsideAccess,
                          const char* longDistanceAccess, std::string* entry);
