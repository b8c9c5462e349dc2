// One open registry key, closed by the destructor. Every operation answers true or false; none
// raises an error. All the registry work of the connection wizard and the plug-in installer
// goes through this class.
#pragma once

#include <cstdint>

#include "platform/registry.h"

class CCleRegistre {
  public:
    CCleRegistre() = default;
    // Opens `subKey` under `root`: without creating it (create false), or creating it with
    // full access (create true). A failure leaves the key closed.
    CCleRegistre(plat::RegKey root, const char* subKey, bool create);
    ~CCleRegistre();
    CCleRegistre(const CCleRegistre&) = delete;
    CCleRegistre& operator=(const CCleRegistre&) = delete;

    // Closes any key held, then opens as the constructor does.
    void Open(plat::RegKey root, const char* subKey, bool create);
    void Close();
    bool IsOpen() const { return m_hkey != 0; }

    // Reads a value (of whatever type) as text into `buffer` of `size` bytes. The text is
    // always terminated, also when the stored value has no terminator of its own.
    bool QueryString(const char* name, char* buffer, plat::Dword size);
    // Reads up to `size` bytes; `size` receives the count read.
    bool QueryBinary(const char* name, std::uint8_t* buffer, plat::Dword* size);
    bool QueryDword(const char* name, plat::Dword* value);

    // REG_SZ with a byte count equal to the text's length, without the terminator. With
    // StoreEmptyTextAsTerminator(true), the empty text is stored as one byte, the terminator
    // alone (the plug-in installer's way).
    bool SetString(const char* name, const char* text);
    bool SetBinary(const char* name, const std::uint8_t* bytes, plat::Dword count);
    bool SetDword(const char* name, plat::Dword value);
    // Calls the platform even when the key is not open (and then fails).
    bool DeleteValue(const char* name);
    // Deletes the key held open, with its subkeys where the platform does so.
    bool DeleteKey();

    void StoreEmptyTextAsTerminator(bool enabled) { m_emptyAsTerminator = enabled; }

  private:
    plat::RegKey m_hkey = 0;
    bool m_emptyAsTerminator = false;
};
