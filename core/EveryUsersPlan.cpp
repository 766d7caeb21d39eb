#include "core/EveryUsersPlan.h"

#include <algorithm>

namespace {

bool EndsWithMdb(IFileSystem &files, const std::string &path) {
    constexpr std::size_t extension = 4; // ".mdb"
    return path.size() > extension && files.SameName(path.substr(path.size() - extension), ".mdb");
}

// Why a copy that came from a user is left alone, or nothing when the run
// may act on it, with the folder it is allowed in set: no more than that
// user could do. An .mdb file inside the user's own profile, or inside the
// product's own folder; anything else in the folders Windows virtualizes is
// another program's. A path written elsewhere is allowed in the profile,
// which the rename then proves its final path lies in (a profile reached
// through one of Windows' compatibility junctions). The rename never
// follows a link.
std::optional<LeftAloneReason> WhyLeftAlone(IFileSystem &files, const EveryUsersCopies &everyone,
                                            const UserCopies &user, DatabaseCopy &copy) {
    if (!copy.userControlled) {
        return std::nullopt;
    }
    if (!EndsWithMdb(files, copy.path)) {
        return LeftAloneReason{LeftAloneReason::Why::NotMdb, {}, {}};
    }
    const auto inside = [&](const std::string &folder) {
        return IsInsideFolder(files, copy.path, folder);
    };
    copy.allowedFolder = user.profileFolder;
    if (inside(user.profileFolder)) {
        return std::nullopt;
    }
    const std::vector<std::string> &product = everyone.productFolders;
    if (const auto own = std::find_if(product.begin(), product.end(), inside);
        own != product.end()) {
        copy.allowedFolder = *own;
        return std::nullopt;
    }
    const std::vector<std::string> &virtualized = everyone.virtualizedFolders;
    if (const auto other = std::find_if(virtualized.begin(), virtualized.end(), inside);
        other != virtualized.end()) {
        return LeftAloneReason{LeftAloneReason::Why::OtherProgramsFolder, *other, product};
    }
    return std::nullopt;
}

// One claim of a file: a user's copy of it.
struct Claim {
    const UserCopies *user;
    DatabaseCopy copy;
    // From no user's setting, or inside the claiming user's own profile.
    bool firstInLine;
};

// A group under construction: its members, each the claims of one file.
struct Group {
    std::vector<std::vector<Claim>> copies; // VirtualStore copies
    std::vector<Claim> file;
};

class EveryUsersUnits {
public:
    EveryUsersUnits(IFileSystem &files, const EveryUsersCopies &everyone)
        : files_(files), everyone_(everyone) {}

    Plan Gather(Direction direction) {
        Plan plan;
        plan.direction = direction;
        for (const UserCopies &user : everyone_.users) {
            plan.users.push_back({user.user, user.copies.back().path});
            const DatabaseCopy &file = user.copies.back();
            Group &group = GroupOf(file.path);
            AddClaim(group.file, user, file);
            for (std::size_t i = 0; i + 1 < user.copies.size(); ++i) {
                AddCopy(group, user, user.copies[i]);
            }
        }
        for (Group &group : groups_) {
            plan.units.push_back(UnitOf(group));
        }
        return plan;
    }

private:
    Group &GroupOf(const std::string &path) {
        for (Group &group : groups_) {
            if (files_.SameName(group.file.front().copy.path, path)) {
                return group;
            }
        }
        groups_.emplace_back();
        return groups_.back();
    }

    void AddCopy(Group &group, const UserCopies &user, const DatabaseCopy &copy) {
        for (std::vector<Claim> &claims : group.copies) {
            if (files_.SameName(claims.front().copy.path, copy.path)) {
                return AddClaim(claims, user, copy);
            }
        }
        group.copies.emplace_back();
        AddClaim(group.copies.back(), user, copy);
    }

    void AddClaim(std::vector<Claim> &claims, const UserCopies &user, const DatabaseCopy &copy) {
        const bool firstInLine =
            !copy.userControlled || IsInsideFolder(files_, copy.path, user.profileFolder);
        claims.push_back({&user, copy, firstInLine});
    }

    PlanUnit UnitOf(Group &group) {
        PlanUnit unit;
        unit.order = UnitOrder::Group;
        for (std::vector<Claim> &claims : group.copies) {
            AddMember(unit, claims);
        }
        AddMember(unit, group.file);
        return unit;
    }

    void AddMember(PlanUnit &unit, std::vector<Claim> &claims) {
        std::stable_partition(claims.begin(), claims.end(),
                              [](const Claim &claim) { return claim.firstInLine; });
        bool later = false;
        for (Claim &claim : claims) {
            PlannedCopy planned;
            planned.copy = claim.copy;
            planned.user = claim.user->user;
            planned.leftAlone = WhyLeftAlone(files_, everyone_, *claim.user, planned.copy);
            planned.laterClaim = later;
            later = true;
            unit.copies.push_back(std::move(planned));
        }
    }

    IFileSystem &files_;
    const EveryUsersCopies &everyone_;
    std::vector<Group> groups_;
};

} // namespace

Plan EveryUsersPlan(IFileSystem &files, const EveryUsersCopies &everyone, Direction direction) {
    return EveryUsersUnits(files, everyone).Gather(direction);
}
