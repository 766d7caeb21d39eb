// The fair floor of the all-users quiet job: the least console program that
// does what `Torvane.exe /quiet /allusers` must do for each user, run as an
// administrator or as System. For each person's profile Windows lists, it
// reads the user's setting and Local AppData from their hive (where the
// system has it loaded, in place; else the profile's NTUSER.MAN or
// NTUSER.DAT, loaded for the reads and unloaded at once; with no hive, the
// default path and the profile's own Local AppData). Then, for the path and
// the user's VirtualStore copy of it where Windows keeps one, it sets each
// file aside as GroupRename.h says: a shared file and every user's
// VirtualStore copy of it move together. A path from a user's setting is
// moved only as an .mdb file inside their profile or the product's own
// folder. It writes no lines, takes no lock and looks for no hive an earlier
// run left: those are paid once a run, not per user.
//
// The exit code is 0, or the first failure of the last group that failed.

#include "EveryUser.h"
#include "GroupRename.h"
#include "QuietJob.h"
#include "platform/win32/UniqueHandles.h"

#include <optional>

namespace {

constexpr wchar_t DefaultDatabase[] = L"C:\\Program Files\\Quorvex\\QvxData.mdb";
constexpr wchar_t ProductFolderName[] = L"\\Quorvex";
constexpr wchar_t CurrentVersion[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr wchar_t UserShellFolders[] =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr wchar_t UserProfileVariable[] = L"%USERPROFILE%";
// A mandatory profile's hive, which Windows takes over an NTUSER.DAT beside
// it, then the ordinary one.
constexpr const wchar_t *HiveFiles[] = {L"\\NTUSER.MAN", L"\\NTUSER.DAT"};
constexpr DWORD PathCapacity = 32768;

// Where Windows keeps VirtualStore copies, and the product's own folders in
// them, as the machine defines them; looked up once a run.
struct MachineFolders {
    std::vector<std::wstring> virtualized;
    std::vector<std::wstring> product;
};

// The machine's own (64-bit) view of a key, also from a 32-bit process,
// whose view would give Program Files (x86) for every Program Files.
unique_hkey MachineKey(const wchar_t *key) {
    unique_hkey opened;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, opened.put());
    return opened;
}

MachineFolders LookUpMachineFolders() {
    MachineFolders folders;
    const unique_hkey currentVersion = MachineKey(CurrentVersion);
    for (const wchar_t *name : {L"ProgramFilesDir", L"ProgramW6432Dir", L"ProgramFilesDir (x86)"}) {
        const std::wstring programFiles = ReadRegistryText(currentVersion.get(), {}, name);
        if (!programFiles.empty()) {
            folders.virtualized.push_back(programFiles);
            folders.product.push_back(programFiles + ProductFolderName);
        }
    }
    folders.virtualized.push_back(
        ReadRegistryText(MachineKey(ProfileList).get(), {}, L"ProgramData"));
    wchar_t windows[MAX_PATH + 1] = {};
    if (const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH + 1);
        length > 0 && length <= MAX_PATH) {
        folders.virtualized.emplace_back(windows);
    }
    return folders;
}

// What a user's hive says: their database path and their Local AppData.
struct UserSettings {
    std::wstring path;
    bool fromUser; // the user's setting, not the default
    std::wstring localAppData;
};

std::string Ascii(const std::wstring &text) {
    std::string ascii;
    for (const wchar_t c : text) {
        ascii += static_cast<char>(c);
    }
    return ascii;
}

// Local AppData as the hive stores it, with %USERPROFILE% the profile's
// folder; nothing when it holds another variable, which only the user's own
// environment could expand.
std::optional<std::wstring> LocalAppDataIn(const std::wstring &hive,
                                           const std::wstring &profileFolder) {
    const std::wstring stored =
        ReadRegistryText(HKEY_USERS, hive + UserShellFolders, L"Local AppData",
                         RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND);
    if (stored.empty()) {
        return std::nullopt;
    }
    const std::wstring variable = UserProfileVariable;
    const int variableLength = static_cast<int>(variable.size());
    std::wstring expanded;
    int percents = 0;
    for (std::size_t at = 0; at < stored.size();) {
        if (stored.size() - at >= variable.size() &&
            CompareStringOrdinal(stored.data() + at, variableLength, variable.data(),
                                 variableLength, TRUE) == CSTR_EQUAL) {
            expanded += profileFolder;
            at += variable.size();
            continue;
        }
        percents += stored[at] == L'%' ? 1 : 0;
        expanded += stored[at++];
    }
    if (percents >= 2) {
        return std::nullopt;
    }
    return expanded;
}

// The hive file Windows would load for the profile, or empty.
std::wstring HiveFileOf(const std::wstring &profileFolder) {
    for (const wchar_t *name : HiveFiles) {
        const std::wstring file = profileFolder + name;
        const DWORD attributes = GetFileAttributesW(file.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return file;
        }
    }
    return {};
}

bool IsLoaded(const std::wstring &name) {
    unique_hkey hive;
    return RegOpenKeyExW(HKEY_USERS, name.c_str(), 0, KEY_QUERY_VALUE, hive.put()) == ERROR_SUCCESS;
}

// Reads the user's settings from their hive; the hive loaded here is
// unloaded on the way out.
UserSettings ReadUser(const UserEntry &user) {
    UserSettings settings{DefaultDatabase, false, user.folder + L"\\AppData\\Local"};
    std::wstring hive = user.name;
    unique_hive loaded;
    if (!IsLoaded(hive)) {
        const std::wstring file = HiveFileOf(user.folder);
        if (file.empty() || loaded.load(HKEY_USERS, FloorHiveName, file) != ERROR_SUCCESS) {
            return settings;
        }
        hive = FloorHiveName;
    }
    std::wstring path;
    if (ReadDatabasePath(HKEY_USERS, Ascii(hive) + "\\", path) == ERROR_SUCCESS && !path.empty()) {
        settings.fromUser = path != DefaultDatabase;
        settings.path = std::move(path);
    }
    if (std::optional<std::wstring> localAppData = LocalAppDataIn(hive, user.folder)) {
        settings.localAppData = std::move(*localAppData);
    }
    return settings;
}

std::wstring FullPath(const std::wstring &path) {
    std::wstring full(PathCapacity, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), PathCapacity, full.data(), nullptr);
    full.resize(length < PathCapacity ? length : 0);
    return full;
}

bool EndsWithMdb(const std::wstring &path) {
    constexpr int Length = 4;
    return path.size() > Length && CompareStringOrdinal(path.data() + path.size() - Length, Length,
                                                        L".mdb", Length, TRUE) == CSTR_EQUAL;
}

const std::wstring *FolderHolding(const std::vector<std::wstring> &folders,
                                  const std::wstring &path) {
    for (const std::wstring &folder : folders) {
        if (LiesInFolder(path, folder)) {
            return &folder;
        }
    }
    return nullptr;
}

bool SamePath(const std::wstring &a, const std::wstring &b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Every file to set aside, each group a file and the VirtualStore copies
// that move with it (those first, as a legacy program holds them open).
class Groups {
public:
    explicit Groups(const MachineFolders &machine) : machine_(machine) {}

    // The user's copies of their path; ERROR_ACCESS_DENIED when it came from
    // them and lies where they could not rename it themselves.
    DWORD Add(const UserEntry &user, const UserSettings &settings) {
        const std::wstring path = FullPath(settings.path);
        FloorCopy file{path, {}};
        if (settings.fromUser) {
            if (!EndsWithMdb(path)) {
                return ERROR_ACCESS_DENIED;
            }
            if (const std::wstring *product = FolderHolding(machine_.product, path)) {
                file.allowedFolder = *product;
            } else if (FolderHolding(machine_.virtualized, path) != nullptr) {
                return ERROR_ACCESS_DENIED;
            } else {
                file.allowedFolder = user.folder;
            }
        }
        std::vector<FloorCopy> &group = GroupOf(file);
        const bool hasDrive = path.size() > 3 && path[1] == L':' && path[2] == L'\\';
        if (hasDrive && FolderHolding(machine_.virtualized, path) != nullptr) {
            const std::wstring store = settings.localAppData + L"\\VirtualStore";
            group.insert(group.end() - 1, FloorCopy{store + path.substr(2), store});
        }
        return ERROR_SUCCESS;
    }

    DWORD SetAsideEach() const {
        DWORD result = ERROR_SUCCESS;
        for (const std::vector<FloorCopy> &group : groups_) {
            if (const DWORD error = SetAsideTogether(group); error != ERROR_SUCCESS) {
                result = error;
            }
        }
        return result;
    }

private:
    // The group of file, listed once, for the first user it came from.
    std::vector<FloorCopy> &GroupOf(const FloorCopy &file) {
        for (std::vector<FloorCopy> &group : groups_) {
            if (SamePath(group.back().path, file.path)) {
                return group;
            }
        }
        return groups_.emplace_back(std::vector<FloorCopy>{file});
    }

    const MachineFolders &machine_;
    std::vector<std::vector<FloorCopy>> groups_;
};

} // namespace

int wmain() {
    const MachineFolders machine = LookUpMachineFolders();
    Groups groups(machine);
    const DWORD search =
        ForEveryUser([&](const UserEntry &user) { return groups.Add(user, ReadUser(user)); });
    if (search == ERROR_PRIVILEGE_NOT_HELD) {
        return static_cast<int>(search);
    }
    const DWORD moves = groups.SetAsideEach();
    return static_cast<int>(moves != ERROR_SUCCESS ? moves : search);
}
