#pragma once

#include "platform/UsersLock.h"

// Lock files on Windows: each held through one handle that shares nothing
// and deletes the file when it closes, also when the process is killed.
class Win32LockFiles : public ILockFiles {
public:
    std::unique_ptr<IUsersLock> TryHold(const std::string &path, const std::string &sddl,
                                        std::int32_t &error) override;
};
