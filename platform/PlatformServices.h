#pragma once

// What the program's logic needs from the operating system, as small
// interfaces so the logic runs and is tested without Windows. All text is
// UTF-8 except the registry's, which travels as ANSI code page bytes.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A predefined root key as the registry defines it: a signed 32-bit value.
using RootKeyValue = std::int32_t;
constexpr RootKeyValue HKEY_CURRENT_USER_VALUE = static_cast<RootKeyValue>(0x80000001u);
constexpr RootKeyValue HKEY_LOCAL_MACHINE_VALUE = static_cast<RootKeyValue>(0x80000002u);
constexpr RootKeyValue HKEY_USERS_VALUE = static_cast<RootKeyValue>(0x80000003u);

// An open key as handed out by the registry; only the registry interprets it.
using RegistryHandle = std::uintptr_t;

using RegistryStatus = std::int32_t; // 0 is success, else a Win32 error code
constexpr RegistryStatus REGISTRY_SUCCESS = 0;

namespace RegistryType {
constexpr std::uint32_t String = 1; // REG_SZ
constexpr std::uint32_t ExpandString = 2;
constexpr std::uint32_t Binary = 3;
constexpr std::uint32_t DWord = 4;
constexpr std::uint32_t MultiString = 7;
} // namespace RegistryType

// The ANSI registry entry points, with their own result codes and semantics:
// a query with no buffer reports type and size; a short buffer gives
// ERROR_MORE_DATA with the size needed. A query always asks for the type, and
// size holds the buffer's size going in and the data's coming out.
class IRegistry {
public:
    virtual ~IRegistry() = default;
    virtual RegistryStatus OpenKey(RootKeyValue root, const std::string &subKey,
                                   std::uint32_t options, std::uint32_t access,
                                   RegistryHandle &key) = 0;
    virtual RegistryStatus CreateKey(RootKeyValue root, const std::string &subKey,
                                     std::uint32_t options, std::uint32_t access,
                                     RegistryHandle &key) = 0;
    virtual RegistryStatus QueryValue(RegistryHandle key, const std::string &valueName,
                                      std::uint32_t &type, unsigned char *data,
                                      std::uint32_t &size) = 0;
    virtual RegistryStatus SetValue(RegistryHandle key, const std::string &valueName,
                                    std::uint32_t type, const unsigned char *data,
                                    std::uint32_t size) = 0;
    virtual RegistryStatus CloseKey(RegistryHandle key) = 0;
    // A string value's text as it is stored, read through the wide entry
    // point, as UTF-8 and without its one terminating NUL: the ANSI read
    // gives only its nearest look-alike in the code page.
    virtual RegistryStatus QueryStoredText(RegistryHandle key, const std::string &valueName,
                                           std::string &text) = 0;
};

// Conversion between the program's text and the system's ANSI code page.
// Throws AppError when the text cannot be converted.
class IAnsiCodePage {
public:
    virtual ~IAnsiCodePage() = default;
    virtual std::string ToAnsi(const std::string &text) = 0;
    virtual std::string FromAnsi(const std::string &ansiBytes) = 0;
    // True when every character of text has its own exact form in the code
    // page: no look-alike stands in for it, and no default character.
    virtual bool Represents(const std::string &text) = 0;
};

// What is at a path, taken literally (no wildcards).
enum class PathKind {
    Nothing,    // no file or folder of that name (or no folder to hold one)
    NormalFile, // what the existence test counts
    HiddenFile, // a file with the hidden attribute (and not the system one)
    SystemFile, // a file with the system attribute
    Folder,
};

// A file opened for its move, every check made. The handle is held, so
// nothing else can open the file until it is renamed or let go; letting it
// go changes nothing.
class IHeldFile {
public:
    virtual ~IHeldFile() = default;
    // Gives the file the name it was opened for, through the held handle,
    // never over an existing file. Once only. Throws AppError.
    virtual void Rename() = 0;
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // Name of the first normal file matching path (wildcards allowed in the
    // last component), or "" when none does. Hidden, system and directory
    // entries never match. Throws AppError on a path it cannot search.
    virtual std::string FirstMatchingFile(const std::string &path) = 0;
    // Opens the file at from (a full path) for its move to to (a full path,
    // a new name in the same folder) as the rename opens it, and tests that
    // a name can be added to its folder (FILE_ADD_FILE). With allowedFolder
    // not empty (a file a user controls) it also proves the file an
    // ordinary one (not a link, folder, hidden or system file) whose final
    // path lies inside the final path of allowedFolder, and the new name
    // goes in the folder the file's final path names. Throws AppError: of
    // ErrorCategory::Refusal when the file is refused, else the Win32
    // failure (32 when another program has the file open).
    virtual std::unique_ptr<IHeldFile> OpenForMove(const std::string &from, const std::string &to,
                                                   const std::string &allowedFolder) = 0;

    // The full form of path: relative parts resolved against the current
    // folder, and every part that exists in its long form (not 8.3), so
    // that two spellings of one path compare equal without regard to case.
    // Throws AppError on a path that has no full form.
    virtual std::string FullPath(const std::string &path) = 0;
    // What is at path. Throws AppError on a path it cannot look at.
    virtual PathKind KindOf(const std::string &path) = 0;
    // True when a and b are the same name as the file system compares
    // names: without regard to case.
    virtual bool SameName(const std::string &a, const std::string &b) = 0;
    // True when a and b are the same existing file (the same volume and
    // file index: a hard link or another spelling of the path); false when
    // either does not exist.
    virtual bool SameExistingFile(const std::string &a, const std::string &b) = 0;

    // True when a and b name one entry of one existing folder, however each
    // is spelt: their folders are the same folder (the same volume and file
    // index, as through a share, the \\?\ form or another drive letter)
    // and their last names are the same without regard to case, the 8.3
    // name of an existing entry taken in its long form. Whether the entry
    // itself exists does not matter. Throws AppError on a path it cannot
    // look at.
    virtual bool SameEntry(const std::string &a, const std::string &b) = 0;

    // The path every link on the way to path leads to, in full form by
    // drive letter; nothing when nothing is at path. Throws AppError on a
    // path it cannot look at.
    virtual std::optional<std::string> FinalPath(const std::string &path) = 0;
    // True when the system calls the drive whose root is root ("X:\") a
    // network drive (a share mapped to a letter).
    virtual bool IsNetworkDrive(const std::string &root) = 0;
};

// The folders of this machine that matter for a legacy program: where it
// keeps its files, and where Windows keeps its own copy of them for it.
class ISystemFolders {
public:
    virtual ~ISystemFolders() = default;
    // The folders whose files Windows virtualizes for a legacy program:
    // Program Files (64-bit and 32-bit), ProgramData and Windows, each in
    // its full form, as this machine has them. Throws AppError.
    virtual std::vector<std::string> VirtualizedFolders() = 0;
    // Of those, the Program Files folders (64-bit and 32-bit, one on a
    // 32-bit Windows), where programs are installed. Throws AppError.
    virtual std::vector<std::string> ProgramFilesFolders() = 0;
    // The running user's Local AppData folder, in its full form. Throws
    // AppError.
    virtual std::string LocalAppData() = 0;
};

// What the open-file dialog is given: "description|pattern" pairs, the
// extension added to a typed name without one, and the preset file name.
struct OpenFileRequest {
    std::string filter;
    std::string defaultExt;
    std::string fileName;
};

class IDialogs {
public:
    virtual ~IDialogs() = default;
    // Modal message box; without a title it carries the application title.
    virtual void ShowMessage(const std::string &prompt, std::uint32_t style,
                             const std::optional<std::string> &title = std::nullopt) = 0;
    // The chosen full path, or nothing when cancelled. Throws AppError when
    // the dialog itself fails.
    virtual std::optional<std::string> ShowOpenFile(const OpenFileRequest &request) = 0;
    // Modal Yes/No question carrying the application title; true for Yes.
    virtual bool AskYesNo(const std::string &prompt) = 0;
};

struct AppInfo {
    std::string productName;
    int major = 0;
    int minor = 0;
    int revision = 0;
};

namespace ExitCode {
constexpr int Normal = 0;
constexpr int Failure = 1;
} // namespace ExitCode

class IApplication {
public:
    virtual ~IApplication() = default;
    virtual AppInfo Info() = 0;
    // Ends the program once the running event returns; nothing else runs.
    virtual void End(int exitCode) = 0;
    // True when the process has full administrator rights, and also when
    // that cannot be told, so no offer is made that cannot be kept.
    virtual bool IsElevated() = 0;
    // Starts this program again with administrator rights and these
    // command-line parameters. Throws AppError when it cannot, or when the
    // user declines.
    virtual void StartElevated(const std::string &parameters) = 0;
    // The system's description of a Win32 error code.
    virtual std::string ErrorText(std::int32_t code) = 0;
    // True when the process runs as the LocalSystem account, and also when
    // that cannot be told, so its stricter rules hold.
    virtual bool RunsAsSystem() = 0;
};

struct PlatformServices {
    IRegistry &registry;
    IAnsiCodePage &codePage;
    IFileSystem &files;
    IDialogs &dialogs;
    IApplication &application;
    ISystemFolders &folders;
};

constexpr std::uint32_t MESSAGE_OK_ONLY = 0; // OK button, no icon
