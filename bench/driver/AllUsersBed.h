#pragma once

// Users for the all-users run to act for: each a profile of its own, logged
// off, with an NTUSER.DAT whose setting names a database in the profile.
// Torvane and its floor find them the same way, in ProfileList; everything
// is removed when the bed goes away.

#include "TestProfile.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class AllUsersBed {
public:
    explicit AllUsersBed(int users);

    int Users() const { return static_cast<int>(databases_.size()); }
    // Every user's database under its own name, with no renamed copy.
    void Reset() const;
    // Throws, naming who, unless every user's database is set aside: a run
    // that did less is not timed as if it had done the job.
    void CheckSetAside(const std::string &who) const;

private:
    std::vector<std::unique_ptr<TestProfile>> profiles_;
    std::vector<std::wstring> databases_;
};
