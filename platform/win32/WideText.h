#pragma once

#include "base/AppError.h"

#include <windows.h>

#include <string>

// The program's UTF-8 text to and from the UTF-16 of the wide APIs; a lone
// surrogate survives the round trip (see platform/Utf8.h). Throws AppError on
// UTF-8 that is not valid.
std::wstring Widen(const std::string &utf8);
std::string Narrow(const std::wstring &utf16);

// The system's description of a Win32 error code, without trailing line breaks.
std::string SystemErrorText(DWORD code);
// An AppError carrying a Win32 error code and its system description, raised
// by source (the procedure or system call that failed).
AppError Win32Error(DWORD code, std::string source = {});
// The same for a failure on subject (a path, a key), which the description
// names first.
AppError Win32ErrorOn(DWORD code, const std::string &subject, std::string source);
