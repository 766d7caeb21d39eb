#include "core/CopyJob.h"

#include "base/Win32Codes.h"
#include "core/DatabaseRules.h"

#include <string>

namespace {

// What one copy's two names hold: the name it moves from, and the one it
// moves to.
struct CopyState {
    PathKind from = PathKind::Nothing;
    PathKind to = PathKind::Nothing;

    bool HasFrom() const { return from == PathKind::NormalFile; }
    bool HasTo() const { return to == PathKind::NormalFile; }
    // Anything at the name, hidden or not, would make the move fail.
    bool ToTaken() const { return to != PathKind::Nothing; }
};

// A name the existence test could not search.
struct SearchFailure {
    std::string path;
    AppError error;
};

// A normal file by the existence test's rule, else what is there.
PathKind Probe(IFileSystem &files, const std::string &path) {
    try {
        if (DatabaseRules::FileExists(files, path)) {
            return PathKind::NormalFile;
        }
        const PathKind kind = files.KindOf(path);
        return kind == PathKind::NormalFile ? PathKind::Nothing : kind;
    } catch (const std::exception &failure) {
        throw SearchFailure{path, ToAppError(failure)};
    }
}

std::vector<CopyState> Look(IFileSystem &files, const std::vector<DatabaseCopy> &copies,
                            Direction direction) {
    std::vector<CopyState> states;
    states.reserve(copies.size());
    for (const DatabaseCopy &copy : copies) {
        states.push_back(
            {Probe(files, FromName(copy, direction)), Probe(files, ToName(copy, direction))});
    }
    return states;
}

enum class Found { ToMove, AlreadyDone, Neither, BothTaken };

Found Decide(const std::vector<CopyState> &states) {
    bool toMove = false;
    bool done = false;
    for (const CopyState &state : states) {
        if (state.HasFrom() && state.ToTaken()) {
            return Found::BothTaken;
        }
        toMove = toMove || state.HasFrom();
        done = done || state.HasTo();
    }
    return toMove ? Found::ToMove : done ? Found::AlreadyDone : Found::Neither;
}

// What sits at a name that the existence test does not count, so a person
// reading the line is not misled.
std::string Note(const std::string &path, PathKind kind, const char *consequence) {
    switch (kind) {
    case PathKind::HiddenFile:
        return "; " + path + " is a hidden file: " + consequence;
    case PathKind::SystemFile:
        return "; " + path + " is a system file: " + consequence;
    case PathKind::Folder:
        return "; " + path + " is a folder: " + consequence;
    case PathKind::Nothing:
    case PathKind::NormalFile:
        break;
    }
    return {};
}

std::string NotesOn(const DatabaseCopy &copy, const CopyState &state, Direction direction) {
    return Note(FromName(copy, direction), state.from, "not renamed") +
           Note(ToName(copy, direction), state.to, "not replaced");
}

bool HasWildcard(const std::string &path) {
    const std::size_t name = path.rfind('\\');
    return path.find_first_of("*?", name == std::string::npos ? 0 : name + 1) != std::string::npos;
}

// "A nor B", "A, B, C nor D".
std::string NeitherNor(const std::vector<std::string> &names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " nor " : ", ") + names[i];
    }
    return text;
}

class CopyMove {
public:
    CopyMove(const PlatformServices &services, const std::vector<DatabaseCopy> &copies,
             Direction direction)
        : services_(services), copies_(copies), direction_(direction) {}

    CopyOutcome Run() {
        std::vector<CopyState> states = Look(services_.files, copies_, direction_);
        Found found = Decide(states);
        // Another run may be moving these very names: a state that stops
        // the job is answered only once a second look finds it still so.
        if (found == Found::Neither || found == Found::BothTaken) {
            states = Look(services_.files, copies_, direction_);
            found = Decide(states);
        }
        outcome_.foundAny = found != Found::Neither;
        switch (found) {
        case Found::Neither:
            Neither(states);
            break;
        case Found::BothTaken:
            BothTaken(states);
            break;
        case Found::AlreadyDone:
        case Found::ToMove:
            MoveEach(states);
            break;
        }
        return outcome_;
    }

private:
    void Neither(const std::vector<CopyState> &states) {
        std::vector<std::string> names;
        std::string notes;
        for (std::size_t i = 0; i < copies_.size(); ++i) {
            names.push_back(copies_[i].path);
            names.push_back(RenamedPath(copies_[i].path));
            notes += NotesOn(copies_[i], states[i], direction_);
        }
        Fail("Nothing to do: neither " + NeitherNor(names) + " exists" + notes,
             Win32Code::FileNotFound);
    }

    void BothTaken(const std::vector<CopyState> &states) {
        for (std::size_t i = 0; i < copies_.size(); ++i) {
            if (states[i].HasFrom() && states[i].ToTaken()) {
                const DatabaseCopy &copy = copies_[i];
                Fail("Nothing changed: both " + copy.path + " and " + RenamedPath(copy.path) +
                         " exist" + NotesOn(copy, states[i], direction_),
                     Win32Code::AlreadyExists);
                return;
            }
        }
    }

    void MoveEach(const std::vector<CopyState> &states) {
        for (std::size_t i = 0; i < copies_.size(); ++i) {
            const DatabaseCopy &copy = copies_[i];
            if (!states[i].HasFrom()) {
                if (states[i].HasTo()) {
                    AlreadyDone(copy, states[i]);
                }
                continue;
            }
            try {
                DatabaseRules::MoveCopy(services_.files, copy, direction_);
                outcome_.lines.push_back(
                    std::string(direction_ == Direction::SetAside ? "Renamed " : "Restored ") +
                    From(copy) + " to " + To(copy) + ".");
                ++outcome_.moved;
            } catch (const std::exception &failure) {
                if (MovedMeanwhile(copy)) {
                    AlreadyDone(copy, states[i]);
                    continue;
                }
                const bool first = outcome_.moved == 0;
                const std::string what =
                    first ? "Nothing changed: cannot rename " : "Cannot rename ";
                const std::string rest = first ? "" : " (the renames above stand)";
                outcome_.exitCode = ExitCodeFor(ToAppError(failure));
                outcome_.lines.push_back(
                    FailureLine(what + From(copy) + " to " + To(copy) + rest, ToAppError(failure)));
                return;
            }
        }
    }

    // After a rename failed: true when another run has moved the copy in
    // the meantime, so it is in the desired state after all.
    bool MovedMeanwhile(const DatabaseCopy &copy) {
        try {
            return Probe(services_.files, From(copy)) != PathKind::NormalFile &&
                   Probe(services_.files, To(copy)) == PathKind::NormalFile;
        } catch (const SearchFailure &) {
            return false;
        }
    }

    void AlreadyDone(const DatabaseCopy &copy, const CopyState &state) {
        ++outcome_.alreadyDone;
        outcome_.lines.push_back(
            "Nothing to do: " + To(copy) + " exists and " + From(copy) + " does not (" +
            (direction_ == Direction::SetAside ? "already renamed" : "already restored") +
            NotesOn(copy, state, direction_) + ").");
    }

    void Fail(const std::string &what, int code) {
        outcome_.exitCode = code;
        outcome_.lines.push_back(FailureLine(what, services_.application, code));
    }

    std::string From(const DatabaseCopy &copy) const { return FromName(copy, direction_); }
    std::string To(const DatabaseCopy &copy) const { return ToName(copy, direction_); }

    const PlatformServices &services_;
    const std::vector<DatabaseCopy> &copies_;
    Direction direction_;
    CopyOutcome outcome_;
};

} // namespace

CopyOutcome MoveCopies(const PlatformServices &services, const std::vector<DatabaseCopy> &copies,
                       Direction direction) {
    for (const DatabaseCopy &copy : copies) {
        if (HasWildcard(copy.path)) {
            CopyOutcome outcome;
            outcome.exitCode = Win32Code::InvalidName;
            outcome.lines.push_back(FailureLine("Nothing changed: " + copy.path +
                                                    " holds a wildcard (* or ?), so it names no "
                                                    "one file",
                                                services.application, Win32Code::InvalidName));
            return outcome;
        }
    }
    try {
        return CopyMove(services, copies, direction).Run();
    } catch (const SearchFailure &failure) {
        CopyOutcome outcome;
        outcome.exitCode = ExitCodeFor(failure.error);
        outcome.lines.push_back(
            FailureLine("Nothing changed: cannot search for " + failure.path, failure.error));
        return outcome;
    }
}
