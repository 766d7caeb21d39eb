#pragma once

// Whether a path leads to another computer: a run as System reaches a
// share as the computer's own account, whose files no privileged run's
// owner rule accepts and whose folders it cannot make Administrators'.

#include "platform/PlatformServices.h"

#include <string>

// True when path, a full path, names a share (\\server\share,
// \\?\UNC\server\share, \\.\UNC\server\share) or a drive that files calls
// a network drive (a mapped share).
bool IsNetworkPath(IFileSystem &files, const std::string &path);
