#include "platform/win32/LocalAppData.h"

#include "platform/win32/RegistryNames.h"
#include "platform/win32/RegistryText.h"

#include <algorithm>

namespace {

constexpr wchar_t UserProfileVariable[] = L"%USERPROFILE%";

// Where pattern next occurs in text from start on, without regard to case.
std::size_t FindIgnoringCase(const std::wstring &text, const std::wstring &pattern,
                             std::size_t start) {
    const int length = static_cast<int>(pattern.size());
    for (std::size_t at = start; at + pattern.size() <= text.size(); ++at) {
        if (CompareStringOrdinal(text.data() + at, length, pattern.data(), length, TRUE) ==
            CSTR_EQUAL) {
            return at;
        }
    }
    return std::wstring::npos;
}

} // namespace

std::optional<std::wstring> LocalAppDataOf(HKEY root, const std::wstring &userKey,
                                           const std::wstring &profileFolder,
                                           const std::string &where) {
    // As stored, unexpanded: the variables are the user's, not this
    // process's.
    const std::wstring key =
        userKey.empty() ? UserShellFoldersKey : userKey + L"\\" + UserShellFoldersKey;
    const std::optional<StoredText> stored = ReadText(root, key, L"Local AppData", where);
    if (!stored) {
        return std::nullopt;
    }
    const std::wstring &text = stored->text;
    const std::wstring variable = UserProfileVariable;
    std::wstring expanded;
    std::wstring literal; // the text around the variable, where others would be
    std::size_t from = 0;
    for (std::size_t at = FindIgnoringCase(text, variable, 0); at != std::wstring::npos;
         at = FindIgnoringCase(text, variable, from)) {
        literal += text.substr(from, at - from);
        expanded += text.substr(from, at - from) + profileFolder;
        from = at + variable.size();
    }
    literal += text.substr(from);
    expanded += text.substr(from);
    if (std::count(literal.begin(), literal.end(), L'%') >= 2) {
        return std::nullopt;
    }
    return expanded;
}
