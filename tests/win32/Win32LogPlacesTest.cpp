// The log's places on the real system: the security a privileged run's log
// folders (and the users lock file) are made with, and what a folder shows
// through its handle.

#include "platform/win32/Win32LogPlaces.h"
#include "TempFolder.h"
#include "platform/UsersLock.h"
#include "platform/win32/SecurityFromSddl.h"
#include "platform/win32/WideText.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
    BYTE known[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof known;
    return CreateWellKnownSid(type, nullptr, known, &size) && EqualSid(sid, known);
}

struct ExpectedAce {
    WELL_KNOWN_SID_TYPE who;
    ACCESS_MASK access;
};

struct ProtectedSecurity {
    const char *what;
    const char *sddl;
    BYTE inheritance; // of every entry
    std::vector<ExpectedAce> entries;
};

// Wine makes a file's security up from Unix permissions, so each security
// is checked as it is handed to CreateDirectoryW or CreateFileW, not read
// back.
TEST(Win32LogPlaces, WhatAPrivilegedRunMakesIsAdministratorsOwnAndInheritsNothing) {
    const ProtectedSecurity cases[] = {
        {"a log's folder",
         ProtectedLogFolderSddl,
         OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE,
         {{WinLocalSystemSid, FILE_ALL_ACCESS},
          {WinBuiltinAdministratorsSid, FILE_ALL_ACCESS},
          {WinBuiltinUsersSid, FILE_GENERIC_READ | FILE_EXECUTE}}},
        {"the users lock file",
         UsersLockFileSddl,
         0,
         {{WinLocalSystemSid, FILE_ALL_ACCESS}, {WinBuiltinAdministratorsSid, FILE_ALL_ACCESS}}},
    };
    for (const ProtectedSecurity &c : cases) {
        const unique_hlocal descriptor = SecurityFromSddl(c.sddl);
        ASSERT_TRUE(descriptor) << c.what;
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        ASSERT_TRUE(GetSecurityDescriptorControl(descriptor.get(), &control, &revision));
        EXPECT_EQ(SE_DACL_PRESENT | SE_DACL_PROTECTED,
                  control & (SE_DACL_PRESENT | SE_DACL_PROTECTED))
            << c.what;
        PSID owner = nullptr;
        BOOL defaulted = TRUE;
        ASSERT_TRUE(GetSecurityDescriptorOwner(descriptor.get(), &owner, &defaulted));
        EXPECT_TRUE(IsWellKnown(owner, WinBuiltinAdministratorsSid)) << c.what;

        BOOL present = FALSE;
        PACL dacl = nullptr;
        ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted));
        ASSERT_TRUE(present && dacl != nullptr) << c.what;
        ASSERT_EQ(c.entries.size(), dacl->AceCount) << c.what;
        for (DWORD i = 0; i < dacl->AceCount; ++i) {
            void *entry = nullptr;
            ASSERT_TRUE(GetAce(dacl, i, &entry));
            const auto *ace = static_cast<const ACCESS_ALLOWED_ACE *>(entry);
            EXPECT_EQ(ACCESS_ALLOWED_ACE_TYPE, ace->Header.AceType) << c.what << i;
            EXPECT_EQ(c.inheritance, ace->Header.AceFlags) << c.what << i;
            EXPECT_EQ(c.entries[i].access, ace->Mask) << c.what << i;
            EXPECT_TRUE(IsWellKnown(const_cast<DWORD *>(&ace->SidStart), c.entries[i].who))
                << c.what << i;
        }
    }
}

TEST(Win32LogPlaces, AFolderIsSeenThroughItsOwnHandle) {
    const TempFolder folder(L"torvane-log-places-tests");
    Win32LogPlaces places;
    const std::string path = places.FullPath(Narrow(folder.Path()));
    const std::optional<LogPlaceEntry> entry = places.LookAt(path);
    ASSERT_TRUE(entry);
    EXPECT_FALSE(entry->link);
    // A user's %TEMP%: their own, as the run is theirs.
    EXPECT_EQ(places.RunUserSid(), entry->ownerSid) << entry->ownerName;
    EXPECT_FALSE(entry->ownerName.empty());
    EXPECT_TRUE(places.SamePath(path, entry->finalPath)) << entry->finalPath;
    EXPECT_FALSE(places.LookAt(path + "\\missing").has_value());
}

TEST(Win32LogPlaces, ALogIsSeenThroughTheHandleItIsWrittenThrough) {
    const TempFolder folder(L"torvane-log-places-tests");
    Win32LogPlaces places;
    const std::string log = places.FullPath(Narrow(folder / L"Torvane.log"));
    const OpenedLog created = places.OpenLogFile(log, true);
    EXPECT_FALSE(created.existed);
    EXPECT_EQ(1u, created.entry.names);
    EXPECT_TRUE(places.SamePath(log, created.entry.finalPath)) << created.entry.finalPath;
    places.CloseLogFile();

    ASSERT_TRUE(CreateHardLinkW((folder / L"other.log").c_str(), Widen(log).c_str(), nullptr));
    const OpenedLog opened = places.OpenLogFile(log, true);
    EXPECT_TRUE(opened.existed);
    EXPECT_FALSE(opened.entry.link);
    EXPECT_EQ(2u, opened.entry.names);
    EXPECT_EQ(places.RunUserSid(), opened.entry.ownerSid) << opened.entry.ownerName;
    EXPECT_TRUE(places.TakeLog());
}

// A log the open made is removed through its own handle, while another run
// appends to it too.
TEST(Win32LogPlaces, ALogTheOpenMadeIsRemovedThroughItsHandle) {
    const TempFolder folder(L"torvane-log-places-tests");
    Win32LogPlaces places;
    const std::string log = places.FullPath(Narrow(folder / L"Torvane.log"));
    ASSERT_FALSE(places.OpenLogFile(log, true).existed);
    Win32LogPlaces other;
    EXPECT_TRUE(other.OpenLogFile(log, true).existed);
    places.RemoveLogFile();
    other.CloseLogFile();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen(log).c_str()));
}

} // namespace
