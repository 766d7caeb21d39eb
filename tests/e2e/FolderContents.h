#pragma once

// What a folder holds, to show that nothing in it was renamed or changed.

#include <map>
#include <string>

// Each entry's name and bytes; a subfolder reads as "(folder)".
using FolderContents = std::map<std::wstring, std::string>;
FolderContents ContentsOf(const std::wstring &folder);
