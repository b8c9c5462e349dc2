// The installation's record: what the extraction program created in the installation folder
// (files with their size and checksum, folders), what the kit's own programs write there, and
// the desktop shortcut the kit wizard made. The removal takes away what it lists and nothing
// else. It is a text file in the installation folder, Windows-1252 with CR LF line ends:
//
//   ; Kit Telvora : ce que l'installation a mis sur cet ordinateur
//   Cle=<key under ...\CurrentVersion\Uninstall>
//   Espace=<file name of the subscriber's space program>
//   Dossier=<full path of a folder the installation made>
//   Fichier=<size>,<CRC-32, 8 hex digits>,<cree|remplace>,<full path>
//   Programme=<full path of a file the kit's programs write>
//   Raccourci=<full path of a shortcut>
//
// A line that is not whole (no line end: the writer was stopped) or not understood is left out:
// what it named stays on the machine, which is the safe side.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kit {

constexpr const char* kRecordName = "kitextract.lst";
// The record is written whole beside its place under this name, then takes the place: a
// program stopped while writing it never leaves half a record.
constexpr const char* kRecordNewName = "kitextract.ls~";

struct RecordedFile {
    std::string path;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    // A file of that name was in the folder before the kit was first installed there.
    bool replaced = false;
};

struct InstallRecord {
    std::string entryKey;
    std::string espace;
    std::vector<std::string> folders;
    std::vector<RecordedFile> files;
    std::vector<std::string> programFiles;
    std::vector<std::string> shortcuts;

    bool Empty() const {
        return folders.empty() && files.empty() && programFiles.empty() && shortcuts.empty() &&
               entryKey.empty();
    }
};

std::string FormatRecord(const InstallRecord& record);
InstallRecord ParseRecord(const std::string& text);

// Reads the record of `folder` (or, when a write was stopped between its two steps, the new
// one beside it). False when there is none.
bool LoadRecord(const std::string& folder, InstallRecord* record);
// Writes the record of `folder`. False when it could not be written.
bool SaveRecord(const std::string& folder, const InstallRecord& record);
// Deletes the record of `folder` and a new one left beside it.
void DeleteRecord(const std::string& folder);

// Adding merges: a path already there is not listed twice, and a file keeps what the first
// installation said of it (created or replaced), with its new size and checksum.
void AddFolder(InstallRecord* record, const std::string& path);
void AddFile(InstallRecord* record, const RecordedFile& file);
void AddProgramFile(InstallRecord* record, const std::string& path);
void AddShortcut(InstallRecord* record, const std::string& path);
// Takes a file out of the record again (one that could not be listed after all).
void ForgetFile(InstallRecord* record, const std::string& path);
// Whether the record lists `path` among the files the kit's programs write.
bool IsProgramFile(const InstallRecord& record, const std::string& path);
// The recorded file of that path, or null.
const RecordedFile* FindFile(const InstallRecord& record, const std::string& path);

// `folder` and `name` joined with one '\'.
std::string JoinPath(const std::string& folder, const std::string& name);
// Paths compared as the file system does: ASCII letters without regard to case.
bool SamePath(const std::string& a, const std::string& b);
// Whether `path` lies inside `folder` (not the folder itself) and names no "." or ".." part.
bool IsInsideFolder(const std::string& path, const std::string& folder);

// The size and CRC-32 of a file's contents. False when it cannot be read.
bool FileFingerprint(const std::string& path, std::uint64_t* size, std::uint32_t* crc);
std::uint32_t Crc32(const std::string& bytes);
// A CRC-32 as the record writes it: 8 hexadecimal digits, upper case (the C runtime's printf
// would add its whole formatting engine to the programs for this one number).
std::string Hex8(std::uint32_t value);

}  // namespace kit
