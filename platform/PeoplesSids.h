#pragma once

// Which entries of the machine's ProfileList are people. The one rule: the
// Windows provider lists users by it, and its table-driven test holds it.

#include "base/AsciiText.h"

#include <string_view>

enum class ProfileEntryKind {
    NotAPerson, // System, the service accounts, services, hosts, anything else
    Person,     // "<SID>": the profile the user signs in with
    // "<SID>.bak": the profile Windows could not load and set aside while
    // the user works in a temporary one; it holds the user's real data.
    SetAsideProfile,
};

// The SID prefixes of people's accounts. Each is followed by the account's
// numbers: digits, separated by single dashes, and nothing else.
inline constexpr std::string_view PeoplesSidPrefixes[] = {
    "S-1-5-21-", // local and domain accounts
    "S-1-12-1-", // Microsoft Entra ID accounts
};
inline constexpr std::string_view SetAsideSuffix = ".bak";
// The local System account's, which is no person's.
inline constexpr std::string_view SystemSid = "S-1-5-18";

namespace PeoplesSidsDetail {

// "1-2-3-1001": numbers separated by single dashes.
inline bool AreNumbers(std::string_view text) {
    bool digitBefore = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digitBefore = true;
        } else if (c == '-' && digitBefore) {
            digitBefore = false;
        } else {
            return false;
        }
    }
    return digitBefore;
}

} // namespace PeoplesSidsDetail

// What a ProfileList entry named name is.
inline ProfileEntryKind KindOfProfileEntry(std::string_view name) {
    using namespace PeoplesSidsDetail;
    ProfileEntryKind kind = ProfileEntryKind::Person;
    if (name.size() > SetAsideSuffix.size() &&
        AsciiText::SameIgnoringCase(name.substr(name.size() - SetAsideSuffix.size()),
                                    SetAsideSuffix)) {
        name.remove_suffix(SetAsideSuffix.size());
        kind = ProfileEntryKind::SetAsideProfile;
    }
    for (const std::string_view prefix : PeoplesSidPrefixes) {
        if (name.size() > prefix.size() && AsciiText::StartsIgnoringCase(name, prefix) &&
            AreNumbers(name.substr(prefix.size()))) {
            return kind;
        }
    }
    return ProfileEntryKind::NotAPerson;
}
