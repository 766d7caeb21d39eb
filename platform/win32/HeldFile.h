#pragma once

// A file held open for its move: opened for its deletion and shared with no
// one, every check made through that handle, and renamed through it, so the
// file checked is the file renamed and no other program opens it meanwhile.

#include "platform/PlatformServices.h"

#include <memory>
#include <string>

// Opens from, a full path, for its move to to, a new name in the same
// folder, as IFileSystem::OpenForMove says: with allowedFolder not empty
// only an ordinary file inside it, renamed in the folder its final path
// names. Throws AppError: ERROR_INVALID_PARAMETER when to is not a new name
// in the folder of from; ErrorCategory::Refusal when the file is refused;
// else the Win32 failure of the file's open or of the folder's test.
std::unique_ptr<IHeldFile> OpenHeldFile(const std::wstring &from, const std::wstring &to,
                                        const std::wstring &allowedFolder);
