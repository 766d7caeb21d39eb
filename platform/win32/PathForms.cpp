#include "platform/win32/PathForms.h"

#include "platform/win32/WideText.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace {

constexpr wchar_t ExtendedPrefix[] = L"\\\\?\\";
constexpr wchar_t ExtendedSharePrefix[] = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring &text, const wchar_t *prefix) {
    return text.rfind(prefix, 0) == 0;
}

// How much of an extended path is its root, which has no long form of its
// own: "\\?\C:\" or "\\?\UNC\server\share\".
std::size_t RootLength(const std::wstring &extended) {
    if (StartsWith(extended, ExtendedSharePrefix)) {
        const std::size_t server = std::size(ExtendedSharePrefix) - 1;
        const std::size_t share = extended.find(L'\\', server);
        if (share == std::wstring::npos) {
            return extended.size();
        }
        const std::size_t end = extended.find(L'\\', share + 1);
        return end == std::wstring::npos ? extended.size() : end + 1;
    }
    const std::size_t end = extended.find(L'\\', std::size(ExtendedPrefix) - 1);
    return end == std::wstring::npos ? extended.size() : end + 1;
}

// The long form of an existing path, or nothing when some part of it cannot
// be found (or looked at).
std::optional<std::wstring> ExistingLongForm(const std::wstring &path) {
    DWORD needed = GetLongPathNameW(path.c_str(), nullptr, 0);
    while (needed != 0) {
        std::wstring longForm(needed, L'\0');
        const DWORD written = GetLongPathNameW(path.c_str(), longForm.data(), needed);
        if (written != 0 && written < needed) {
            longForm.resize(written);
            return longForm;
        }
        needed = written; // larger if a name changed meanwhile
    }
    return std::nullopt;
}

// An extended path in ordinary form when that names the same path and is
// short enough: Wine's GetLongPathNameW, for one, gives a \\?\ path back
// unchanged.
std::wstring UsualForm(const std::wstring &extended) {
    std::wstring ordinary = OrdinaryForm(extended);
    // The file APIs would trim a trailing dot or space that the \\?\ form
    // keeps.
    if (ordinary.size() < MAX_PATH && SamePathText(AbsolutePath(ordinary), ordinary)) {
        return ordinary;
    }
    return extended;
}

} // namespace

std::wstring AbsolutePath(const std::wstring &path) {
    DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    for (;;) {
        if (needed == 0) {
            throw Win32Error(GetLastError(), "GetFullPathNameW");
        }
        std::wstring full(needed, L'\0');
        const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
        if (written != 0 && written < needed) {
            full.resize(written);
            return full;
        }
        needed = written; // 0 on failure; larger if the current folder changed meanwhile
    }
}

std::wstring ExtendedForm(const std::wstring &path) {
    if (StartsWith(path, ExtendedPrefix)) {
        return path;
    }
    const std::wstring full = AbsolutePath(path);
    if (StartsWith(full, L"\\\\")) {
        return ExtendedSharePrefix + full.substr(2);
    }
    return ExtendedPrefix + full;
}

std::wstring LongPathForm(const std::wstring &path) {
    return path.size() < MAX_PATH ? path : ExtendedForm(path);
}

std::wstring OrdinaryForm(const std::wstring &path) {
    if (StartsWith(path, ExtendedSharePrefix)) {
        return L"\\\\" + path.substr(std::size(ExtendedSharePrefix) - 1);
    }
    if (StartsWith(path, ExtendedPrefix)) {
        return path.substr(std::size(ExtendedPrefix) - 1);
    }
    return path;
}

std::wstring FullForm(const std::wstring &path) {
    // Cut at separators of the \\?\ form, whose root is plain to see.
    const std::wstring extended = ExtendedForm(path);
    // Only an 8.3 name has a long form other than itself, and every short
    // name the file system makes for a longer one holds a tilde: a path
    // without one is its own long form. Asking costs a folder search for
    // each part of the path, several milliseconds under Wine.
    if (extended.find(L'~') == std::wstring::npos) {
        return UsualForm(extended);
    }
    const std::size_t root = RootLength(extended);
    // The longest part that exists takes its long form; what follows it
    // does not exist yet and stays as given.
    std::size_t end = extended.size();
    std::wstring full = extended;
    for (;;) {
        if (const auto existing = ExistingLongForm(UsualForm(extended.substr(0, end)))) {
            full = ExtendedForm(*existing) + extended.substr(end);
            break;
        }
        if (end <= root) {
            break;
        }
        const std::size_t separator = extended.find_last_of(L'\\', end - 1);
        end = separator == std::wstring::npos || separator < root ? root : separator;
    }
    return UsualForm(full);
}

bool SamePathText(const std::wstring &a, const std::wstring &b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool LiesInside(const std::wstring &path, const std::wstring &folder) {
    std::size_t length = folder.size();
    while (length > 0 && folder[length - 1] == L'\\') {
        --length; // a root, or a folder written with its closing backslash
    }
    return length > 0 && path.size() > length + 1 && path[length] == L'\\' &&
           SamePathText(path.substr(0, length), folder.substr(0, length));
}

std::wstring FolderOf(const std::wstring &path) {
    const std::size_t separator = path.find_last_of(L'\\');
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

std::wstring OpenableFolderOf(const std::wstring &path) {
    std::wstring folder = FolderOf(path);
    const std::wstring ordinary = OrdinaryForm(folder);
    const bool drive = ordinary.size() == 2 && ordinary[1] == L':';
    const bool share =
        StartsWith(ordinary, L"\\\\") && std::count(ordinary.begin(), ordinary.end(), L'\\') < 4;
    // A volume named by its GUID: "\\?\Volume{...}".
    const bool volume = !StartsWith(folder, ExtendedSharePrefix) &&
                        StartsWith(folder, ExtendedPrefix) &&
                        folder.find(L'\\', std::size(ExtendedPrefix) - 1) == std::wstring::npos;
    if (!folder.empty() && (drive || share || volume)) {
        folder.push_back(L'\\');
    }
    return folder;
}
