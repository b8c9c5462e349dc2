#include "plugmaj/plugin_setup.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/bounded_text.h"
#include "common/cle_registre.h"
#include "common/format_text.h"
#include "common/split_path.h"
#include "platform/draw.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace plug {

namespace {

constexpr std::size_t kLineSize = 1024;
constexpr std::size_t kPathSize = 260;
// The path split works on buffers of this size, so a directory is at most 255 characters.
constexpr std::size_t kSplitSize = 256;

const char* const kBlankLine = "        ";

// A directory (with its trailing backslash, or empty) and whether the text holds all of it.
// A directory that had to be cut names another place: nothing is copied to, copied from or
// deleted in it, and such an action is reported as failed.
struct Directory {
    char text[kPathSize] = {};
    bool whole = true;
};

// snprintf into a fixed buffer; false when the result had to be cut.
__attribute__((format(printf, 3, 4))) bool Format(char* buffer, std::size_t size,
                                                  const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int length = kit::FormatTextV(buffer, size, format, arguments);
    va_end(arguments);
    return length >= 0 && static_cast<std::size_t>(length) < size;
}

// Reads a value of the key as text into `out` (`size` bytes); a missing value reads as empty.
// False when the value is longer than the buffer: `out` then holds only its beginning.
bool ReadWholeText(CCleRegistre& key, const char* name, char* out, std::size_t size) {
    kit::CopyCut(out, size, "");
    plat::Dword stored = 0;
    if (!key.QueryBinary(name, nullptr, &stored)) return true;
    std::vector<char> all(static_cast<std::size_t>(stored) + 1, '\0');
    if (!key.QueryString(name, all.data(), static_cast<plat::Dword>(all.size()))) return true;
    kit::CopyCut(out, size, all.data());
    return std::strlen(all.data()) < size;
}

// The directory of `path` as the path split gives it: up to and with the last backslash,
// empty when the path is 3 characters or fewer or has no backslash.
Directory DirectoryOf(const char* path, bool pathWhole) {
    char directory[kSplitSize];
    char name[kSplitSize];
    Directory result;
    kit::SplitPath(path, directory, sizeof directory, name, sizeof name);
    kit::CopyCut(result.text, sizeof result.text, directory);
    const char* slash = std::strrchr(path, '\\');
    bool splitWhole =
        slash == nullptr || static_cast<std::size_t>(slash - path) + 1 < sizeof directory;
    result.whole = pathWhole && splitWhole;
    return result;
}

// The browser's "Path" value (HKEY_LOCAL_MACHINE `browserKey`) without its final ";"; missing
// key or value give an empty text.
Directory BrowserPath(const char* browserKey) {
    Directory result;
    CCleRegistre key(plat::kHkeyLocalMachine, browserKey, false);
    if (key.IsOpen()) result.whole = ReadWholeText(key, "Path", result.text, sizeof result.text);
    std::size_t length = std::strlen(result.text);
    if (length > 0 && result.text[length - 1] == ';') result.text[length - 1] = '\0';
    return result;
}

void AppendBackslash(Directory* directory) {
    std::size_t length = std::strlen(directory->text);
    if (length + 1 < sizeof directory->text) {
        directory->text[length] = '\\';
        directory->text[length + 1] = '\0';
    } else {
        directory->whole = false;
    }
}

bool EndsWithBackslash(const char* text) {
    std::size_t length = std::strlen(text);
    return length > 0 && text[length - 1] == '\\';
}

// The registered open command, cut at its first " %1", gives the plug-in's directory.
Directory CommandDirectory(const char* command, bool commandWhole) {
    char path[kPathSize];
    kit::CopyCut(path, sizeof path, command);
    if (char* argument = std::strstr(path, " %1")) *argument = '\0';
    return DirectoryOf(path, commandWhole);
}

}  // namespace

PluginSetup::PluginSetup() {
    kit::CopyCut(m_exeName, sizeof m_exeName, "quadterm.exe");
    kit::CopyCut(m_iniName, sizeof m_iniName, "quadterm.ini");
    kit::CopyCut(m_mimeKey, sizeof m_mimeKey,
                 "MIME\\Database\\Content Type\\application/x-quadrel");
    kit::CopyCut(m_extKey, sizeof m_extKey, ".vtx");
    kit::CopyCut(m_fileTypeKey, sizeof m_fileTypeKey, "vtxfile");
    kit::CopyCut(m_commandKey, sizeof m_commandKey, "vtxfile\\Shell\\open\\command");
    kit::CopyCut(m_browserKey, sizeof m_browserKey,
                 "software\\microsoft\\windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE");
}

void PluginSetup::Log(const char* text, plat::Hwnd window) {
    // Without a window the actions still run; only their lines are not shown.
    if (window != plat::kNoWindow) {
        plat::Hdc dc = plat::GetDC(window);
        if (dc != 0) {
            plat::TextOut(dc, 0, m_logY, text, static_cast<int>(std::strlen(text)));
            plat::ReleaseDC(window, dc);
        }
    }
    m_logY += 20;
}

bool PluginSetup::Install(plat::Hwnd window) {
    bool success = true;
    char line[kLineSize];

    // 1. The program's own directory holds the files to copy.
    char modulePath[kLineSize] = {};
    plat::Dword moduleLength = plat::GetModuleFileName(modulePath, sizeof modulePath);
    Directory programDirectory = DirectoryOf(modulePath, moduleLength + 1 < sizeof modulePath);
    Format(line, sizeof line, "Repertoire courant : %s", programDirectory.text);
    Log(line, window);

    // 2. A registered open command means a previous installation.
    char command[kPathSize] = {};
    bool commandWhole = true;
    bool registered = ReadRegisteredCommand(window, command, sizeof command, &commandWhole);

    auto copyFile = [&](const char* name, const Directory& installDirectory) {
        char source[kPathSize];
        char destination[kPathSize];
        bool sourceFormed = Format(source, sizeof source, "%s%s", programDirectory.text, name);
        bool destinationFormed =
            Format(destination, sizeof destination, "%s%s", installDirectory.text, name);
        bool copied = sourceFormed && destinationFormed && programDirectory.whole &&
                      installDirectory.whole && plat::CopyFile(source, destination, false);
        if (!copied) success = false;
        Format(line, sizeof line, "Copie de    %s    vers   %s    %s", source, destination,
               copied ? "OK" : "INCORRECTE !!!");
        Log(line, window);
    };

    if (registered) {
        // 3. Only the files are refreshed, where the registered command points.
        Log("Le plug-in est déjà enregistré, j'écrase les 2 fichiers déjà présents", window);
        Directory installDirectory = CommandDirectory(command, commandWhole);
        Format(line, sizeof line, "Chemin d'installation existant : %s", installDirectory.text);
        Log(line, window);
        copyFile(m_exeName, installDirectory);
        copyFile(m_iniName, installDirectory);
    } else {
        // 4. A first installation: into the browser's directory, then the registry.
        Log("Le plug-in n'y est pas : installation", window);
        Directory installDirectory = BrowserPath(m_browserKey);
        if (!EndsWithBackslash(installDirectory.text)) AppendBackslash(&installDirectory);
        Format(line, sizeof line, "repertoire de destination : %s", installDirectory.text);
        Log(line, window);
        copyFile(m_exeName, installDirectory);
        copyFile(m_iniName, installDirectory);

        auto logWrite = [&](const char* keyName, const char* valueName, const char* shown,
                            bool written) {
            if (!written) success = false;
            Format(line, sizeof line, "HKCR\\%s : %s = %s ---> %s", keyName, valueName, shown,
                   written ? "OK" : "INCORRECT");
            Log(line, window);
        };
        auto writeText = [&](CCleRegistre& key, const char* keyName, const char* valueName,
                             const char* text) {
            logWrite(keyName, valueName, text, key.SetString(valueName, text));
        };

        {
            CCleRegistre key(plat::kHkeyClassesRoot, m_mimeKey, true);
            key.StoreEmptyTextAsTerminator(true);
            writeText(key, m_mimeKey, "Extension", m_extKey);
        }
        {
            CCleRegistre key(plat::kHkeyClassesRoot, m_extKey, true);
            key.StoreEmptyTextAsTerminator(true);
            writeText(key, m_extKey, "", m_fileTypeKey);
            writeText(key, m_extKey, "Content Type", m_fileTypeKey);
        }
        {
            CCleRegistre key(plat::kHkeyClassesRoot, m_fileTypeKey, true);
            key.StoreEmptyTextAsTerminator(true);
            writeText(key, m_fileTypeKey, "", "Win-Quadrel");
            writeText(key, m_fileTypeKey, "AlwaysShowExt", "");
            const std::uint8_t editFlags[4] = {0x00, 0x00, 0x01, 0x00};
            logWrite(m_fileTypeKey, "EditFlags", "00,00,01,00",
                     key.SetBinary("EditFlags", editFlags, sizeof editFlags));
        }
        {
            CCleRegistre key(plat::kHkeyClassesRoot, m_commandKey, true);
            key.StoreEmptyTextAsTerminator(true);
            char value[kLineSize];
            bool formed = Format(value, sizeof value, "%s%s %%1", installDirectory.text, m_exeName);
            // A command made from a cut directory would send documents to another program.
            bool written = formed && installDirectory.whole && key.SetString("", value);
            logWrite(m_commandKey, "", value, written);
        }
    }

    // 5. The summary.
    Log(kBlankLine, window);
    Log(success ? "Tout à l'air d'avoir bien fonctionné...." : "Il y a eu un problème !....",
        window);
    return success;
}

bool PluginSetup::ReadRegisteredCommand(plat::Hwnd window, char* command, std::size_t size,
                                        bool* whole) {
    char line[kLineSize];
    bool registered = false;
    {
        CCleRegistre key(plat::kHkeyClassesRoot, m_commandKey, false);
        if (key.IsOpen()) {
            *whole = ReadWholeText(key, "", command, size);
            Format(line, sizeof line, "Valeur par défaut de la clé HKCR\\%s   --->   %s",
                   m_commandKey, command);
            registered = true;
        } else {
            Format(line, sizeof line, "La clé de départ n'est pas dans la BdR : %s", m_commandKey);
        }
    }
    Log(line, window);
    return registered;
}

void PluginSetup::Remove(plat::Hwnd window) {
    char line[kLineSize];

    // 1. Where the registered open command points, if there is one.
    char command[kPathSize] = {};
    bool commandWhole = true;
    bool registered = ReadRegisteredCommand(window, command, sizeof command, &commandWhole);

    // 2. The plug-in's directory: the command's, else the browser's.
    Directory directory;
    if (registered) {
        directory = CommandDirectory(command, commandWhole);
    } else {
        directory = BrowserPath(m_browserKey);
        AppendBackslash(&directory);
        Format(line, sizeof line, "recherche dans le repertoire : %s", directory.text);
        Log(line, window);
    }

    // 3, 4. The two files.
    for (const char* name : {m_exeName, m_iniName}) {
        char path[kLineSize];
        bool formed = Format(path, sizeof path, "%s%s", directory.text, name);
        bool deleted = formed && directory.whole && plat::DeleteFile(path);
        if (deleted) {
            Format(line, sizeof line, "suppression du fichier %s OK", path);
        } else {
            Format(line, sizeof line, "pas de suppression du fichier %s", path);
        }
        Log(line, window);
    }

    // 5. The three keys; the command key lies below the file type's and goes with it.
    for (const char* keyName : {m_extKey, m_fileTypeKey, m_mimeKey}) {
        {
            CCleRegistre key(plat::kHkeyClassesRoot, keyName, false);
            if (key.DeleteKey()) {
                Format(line, sizeof line, "suppression de la clé HKCR\\%s OK", keyName);
            } else {
                Format(line, sizeof line, "pas de suppression de clé HKCR\\%s", keyName);
            }
        }
        Log(line, window);
    }

    // 6.
    Log(kBlankLine, window);
    Log("Terminé....", window);
}

}  // namespace plug
