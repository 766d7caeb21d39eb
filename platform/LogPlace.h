#pragma once

// Where a run's log may be written. A privileged run (elevated or System)
// writing under a folder that users can add to (ProgramData) must not
// create or append to a file a user chose by planting a folder, a link or
// the log itself there first: the rules below decide, over a provider that
// only looks and acts.

#include <optional>
#include <string>

// The security every log folder a privileged run makes is given as it is
// created: full control for SYSTEM and Administrators, read for Users,
// nothing inherited from the folder above, owned by Administrators.
extern const char ProtectedLogFolderSddl[];

// Owners whose folders and logs a privileged run trusts, besides its own
// account: SYSTEM, Administrators and TrustedInstaller.
bool IsTrustedOwner(const std::string &sid);

// A folder or log as seen through a handle that did not follow a link.
struct LogPlaceEntry {
    // A reparse point whose tag is a name surrogate (a junction, a symbolic
    // link); a cloud or deduplicated file is an ordinary file.
    bool link = false;
    std::string ownerSid;  // as S-1-5-18
    std::string ownerName; // as NT AUTHORITY\SYSTEM, or the SID
    // The path the system reaches it by, every link on the way followed.
    std::string finalPath;
    // How many names (hard links) a file has: one for a log of its own.
    unsigned long names = 1;
};

struct OpenedLog {
    bool existed = false; // opened, not created
    LogPlaceEntry entry;  // known only when opened guarded
};

// The file system as the log's rules (and those of the folder the users
// lock is kept in) see it. Paths are full unless said.
class ILogPlaces {
public:
    virtual ~ILogPlaces() = default;
    // path made full: absolute, every existing part in its long form.
    // Throws AppError.
    virtual std::string FullPath(const std::string &path) = 0;
    // Whether two full paths are the same as the file system compares names.
    virtual bool SamePath(const std::string &a, const std::string &b) = 0;
    // Whether anything is at path.
    virtual bool Exists(const std::string &path) = 0;
    // The folder at path, or nothing when there is none. Throws AppError.
    virtual std::optional<LogPlaceEntry> LookAt(const std::string &path) = 0;
    // Makes one folder, with the security sddl describes given in the call
    // that creates it, or the default security when sddl is empty. Throws
    // AppError, also when the folder exists.
    virtual void MakeFolder(const std::string &path, const std::string &sddl) = 0;
    // Opens path for appending, creating it if need be; guarded, without
    // following a link, and says what it opened. Throws AppError.
    virtual OpenedLog OpenLogFile(const std::string &path, bool guarded) = 0;
    // Closes the log opened last, never to write to it.
    virtual void CloseLogFile() = 0;
    // Removes the log opened last, which that open created, through the
    // handle it was created by, and closes it: whatever else is at its
    // path by then stays.
    virtual void RemoveLogFile() = 0;
    // The account the run runs as (its token's user), as a SID.
    virtual std::string RunUserSid() = 0;
};

// Opens the log at path through places. Unprivileged, as any program does:
// its missing folders are made, and what the user can reach is used. A
// privileged run makes each missing folder with ProtectedLogFolderSddl, and
// uses the nearest existing folder, the log's folder and an existing log
// only when each is no link, is owned by a trusted owner or the run's own
// account, and its final path is its path, and an existing log only when
// it has no other name (a hard link); the log's folder is checked
// before the log is opened, and a log the open created is removed when it
// is refused. Throws AppError, of ErrorCategory::Refusal saying why for a
// place it refuses; nothing is written then.
void OpenGuardedLog(ILogPlaces &places, const std::string &path, bool privileged);

// Makes folder, a full path, as a privileged run makes a log's: each
// missing folder with ProtectedLogFolderSddl, in the nearest existing one
// only when that is no link, owned by a trusted owner or the run's own
// account, with its own final path; a folder another process made
// meanwhile, and folder itself once made, checked the same way. Throws
// AppError, of ErrorCategory::Refusal saying why for a folder it refuses.
void MakeGuardedFolder(ILogPlaces &places, const std::string &folder);
