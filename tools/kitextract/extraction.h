// What the kit's extraction program does, apart from its window: reading its command line,
// walking the payload folder, making folders, copying files safely and keeping its log.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kitextract {

// The payload lies beside the program: everything inside the folder kPayloadFolder, its empty
// folders included, is copied into the destination.
constexpr const char* kPayloadFolder = "contenu";
// Folders nested deeper than this inside the payload are not walked: no kit needs as many, and a
// folder that somehow contains itself must not make the program run forever.
constexpr int kMaxPayloadDepth = 32;
// Written into the destination folder.
constexpr const char* kLogName = "kitextract.log";
// Added to a file's name while its new contents are written beside it.
constexpr const char* kTemporarySuffix = ".kx~";
// Added to the old file's name while the new one takes its place.
constexpr const char* kBackupSuffix = ".kx-";

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// What a subscriber reads when the program was started without its folder: the kit that
// started it is damaged, which is all that can be done about it.
constexpr const char* kDamagedKit =
    "Le Kit Telvora est endommagé : son programme de copie n'a pas reçu le répertoire "
    "d'installation.\r\nRecommencez l'installation depuis le CD ; si le problème persiste, "
    "demandez un nouveau kit à Telvora.";

// The name of the claim that one extraction into `destination` holds while it runs, so that a
// second one into the same folder is refused.
std::string ClaimName(const std::string& destination);
// The French reason for a Win32 error code of a folder that could not be made (FormatMessage
// answers in English under Wine, and not at all for some codes on Windows 95).
std::string FolderErrorReason(unsigned long code);

// The destination named by "/auto <directory>": everything after "/auto " (blanks included),
// without surrounding blanks and one pair of surrounding quotes. False when the command line is
// anything else or names no directory.
bool DestinationFromCommandLine(const char* commandLine, std::string* destination);

// "/supprimer", alone (the uninstaller started by the control panel from the installation
// folder: the folder is its own) or followed by the folder (its copy in the temporary folder),
// in any letter case. False for anything else. `folder` is empty for the first form.
bool RemovalFromCommandLine(const char* commandLine, std::string* folder);

// One file or folder of the payload.
struct Entry {
    std::string path;  // relative to the payload folder, with '\' separators, no trailing '\'
    bool folder = false;
};

class Log;

// Every file and folder inside `payload`, walked depth first with each folder's entries sorted
// by name (letter case aside), so that two runs copy and log in the same order; a folder comes
// before what it holds. A subfolder that cannot be read or lies deeper than kMaxPayloadDepth is
// logged and counted in `errors`. False, with nothing logged, when `payload` itself cannot be
// read.
bool ListPayload(const std::string& payload, std::vector<Entry>* entries, Log* log, int* errors);

// The folder of a program path: "C:\KIT\kitextract.exe" gives "C:\KIT".
std::string FolderOf(const std::string& path);
// `folder` and `name` joined with one '\'.
std::string Join(const std::string& folder, const std::string& name);

// The log, rewritten whole after each line so that it is complete whenever the program stops.
class Log {
  public:
    explicit Log(std::string path) : path_(std::move(path)) {}
    void Line(const std::string& line);
    // False when the last write failed (each write holds every line so far).
    bool Written() const { return written_; }
    const std::string& Text() const { return text_; }

  private:
    std::string path_;
    std::string text_;
    bool written_ = true;
};

// Makes `folder` and every missing parent; each folder made is logged and, when `made` is given,
// added to it. False, logged, when one cannot be made or is a file; `why`, when given, then
// receives the French reason.
bool MakeFolders(const std::string& folder, Log* log, std::string* why = nullptr,
                 std::vector<std::string>* made = nullptr);

// Copies `source` onto `target` without holding it in memory: the file is copied to a temporary
// file in the target's folder first (the target's name followed by kTemporarySuffix), and only
// once it is there whole (its size the source's) does the old target step aside (renamed with
// kBackupSuffix) for the temporary file to take its name; the old file is then deleted. A
// read-only target is refused before anything is written. On failure the temporary file is
// removed and the target keeps, or gets back, its old contents. `why` receives the French
// reason.
bool CopyOneFile(const std::string& source, const std::string& target, std::string* why);

// What a whole extraction reports as it goes: the file being copied (empty at the end), and the
// bytes of the files done so far out of the total.
using Progress =
    std::function<void(const std::string& file, std::uint64_t done, std::uint64_t total)>;

struct Outcome {
    int copied = 0;
    int errors = 0;
    // Empty unless the destination folder could not be made: then the French reason, and
    // nothing else was done (there is no log either).
    std::string destinationError;
    // Whether the log holds every line: a last write that failed loses no file.
    bool logWritten = true;
};

// Copies the payload that lies in `kitFolder` into `destination`, logging into the destination.
// What it creates there goes into the installation's record (merged with the record of an
// earlier installation into the same folder), each file before it is copied, so that a copy
// stopped half-way is known too. With an `uninstaller` (the running program's own file), that
// file is first copied into the destination as the uninstaller and the kit's entry is written
// in the control panel's list: an installation stopped half-way can be removed as well.
Outcome Extract(const std::string& kitFolder, const std::string& destination,
                const Progress& progress, const std::string& uninstaller = std::string());

}  // namespace kitextract
