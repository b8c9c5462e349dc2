// The names each system DLL of Windows 95 and 98 exports, read from the allow-lists in
// tools/win9x_imports/exports: <dll>.txt holds what Windows 95 exports,
// <dll>-win98-additions.txt what only Windows 98 adds, <dll>-win98se-additions.txt what only
// Windows 98 SE adds. They are kept apart so that a report can say which system a name needs.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace win9x {

// The oldest system that exports a name.
enum class Availability {
    kNowhere,     // no list has the name
    kWindows95,   // <dll>.txt
    kWindows98,   // <dll>-win98-additions.txt
    kWindows98Se  // <dll>-win98se-additions.txt
};

class ExportLists {
  public:
    // Reads every list in `folder`. Returns false with `*error` set when the folder cannot be
    // read, holds no list, or a list is inconsistent (a name given twice, an additions file
    // without its DLL's list, a line that is not a name).
    bool Load(const std::string& folder, std::string* error);

    // Adds one name, as a list line would (for callers that build lists in memory).
    void Add(std::string_view dll, std::string_view name, Availability availability);

    // DLL names compare without case ("kernel32.dll" is "KERNEL32.DLL"), as the loader does;
    // function names compare exactly, as GetProcAddress does.
    bool HasDll(std::string_view dll) const;
    Availability Find(std::string_view dll, std::string_view name) const;

    // The DLLs with a list, upper-cased ("KERNEL32.DLL").
    std::vector<std::string> Dlls() const;

  private:
    std::map<std::string, std::map<std::string, Availability, std::less<>>, std::less<>> dlls_;
};

// "KERNEL32.DLL" for "kernel32.dll": the key under which a DLL's list is kept.
std::string DllKey(std::string_view dll);

}  // namespace win9x
