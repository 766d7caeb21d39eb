#pragma once

// Recording stand-ins for the operating system's services, for the logic's
// tests. Each records what it was asked and answers as it was told to.

#include "FakeRegistry.h"
#include "ForbiddenChange.h"
#include "base/AppError.h"
#include "platform/IRunOutput.h"
#include "platform/PlatformServices.h"
#include "ui/IFormView.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

class FakeCodePage : public IAnsiCodePage {
public:
    // Text in this character set is passed through unchanged.
    std::optional<AppError> toAnsiFailure;
    std::optional<AppError> fromAnsiFailure;

    std::string ToAnsi(const std::string &text) override {
        if (toAnsiFailure) {
            throw *toAnsiFailure;
        }
        return text;
    }
    std::string FromAnsi(const std::string &ansiBytes) override {
        if (fromAnsiFailure) {
            throw *fromAnsiFailure;
        }
        return ansiBytes;
    }
    // Like code page 1252, it holds Latin-1 and no character beyond: a
    // UTF-8 lead byte from 0xC4 up starts one it lacks.
    bool Represents(const std::string &text) override {
        return std::none_of(text.begin(), text.end(),
                            [](char byte) { return static_cast<unsigned char>(byte) >= 0xC4; });
    }
};

struct ShownMessage {
    std::string prompt;
    std::uint32_t style;
    std::optional<std::string> title;
    bool question = false; // asked Yes/No
};

class FakeDialogs : public IDialogs {
public:
    std::vector<ShownMessage> messages;
    std::vector<OpenFileRequest> openRequests;
    // What the next open-file dialog answers: a path, nothing (cancel) or a failure.
    std::optional<std::string> chosenFile;
    std::optional<AppError> openFailure;
    // The answer to every Yes/No question.
    bool answerYes = false;

    void ShowMessage(const std::string &prompt, std::uint32_t style,
                     const std::optional<std::string> &title) override {
        messages.push_back({prompt, style, title});
    }
    std::optional<std::string> ShowOpenFile(const OpenFileRequest &request) override {
        openRequests.push_back(request);
        if (openFailure) {
            throw *openFailure;
        }
        return chosenFile;
    }
    bool AskYesNo(const std::string &prompt) override {
        messages.push_back({prompt, MESSAGE_OK_ONLY, std::nullopt, true});
        return answerYes;
    }
};

class FakeFileSystem : public IFileSystem {
public:
    // Paths the existence test finds, with the entry name it answers.
    std::map<std::string, std::string> files;
    // Paths that hold something the existence test does not count.
    std::map<std::string, PathKind> others;
    // Paths the existence test cannot search.
    std::map<std::string, AppError> unsearchable;
    // The folder relative paths are taken from.
    std::string currentFolder = "C:\\Work";
    // The roots (N:\) of drives that map a share.
    std::set<std::string> networkDrives;
    // Paths that are other names of one file (hard links): path -> file.
    std::map<std::string, std::string> links;
    std::vector<std::string> searched;

    // What one open for a move was asked: the file, its new name, and the
    // folder it is allowed in ("" for a file no user controls).
    struct MoveOpen {
        std::string from;
        std::string to;
        std::string allowedFolder;
        bool operator==(const MoveOpen &other) const {
            return from == other.from && to == other.to && allowedFolder == other.allowedFolder;
        }
    };
    // Every open for a move asked for, and every rename made through a held
    // file, in order.
    std::vector<MoveOpen> moveOpens;
    std::vector<std::pair<std::string, std::string>> renames;
    // The files held for a move and let go without their rename, and how
    // many are held now.
    std::vector<std::string> letGo;
    int heldNow = 0;
    // Where a path leads through links on the way: a path not listed leads
    // to itself.
    std::map<std::string, std::string> finalPaths;
    // Every open for a move fails so; or the open of one path fails so (a
    // file in use: 32; a refusal).
    std::optional<AppError> openFailure;
    std::map<std::string, AppError> openFailures;
    // Every open for a move allowed only in this folder fails so: the
    // system's refusal of a file whose final path lies elsewhere.
    std::map<std::string, AppError> refusedIn;
    // The rename of one path fails so once its open has succeeded (another
    // program took the new name meanwhile).
    std::map<std::string, AppError> renameFailures;
    // Any rename asked for throws ForbiddenChange.
    bool changesForbidden = false;
    // Run just before each search and each open for a move, as another
    // program moving the same files might.
    std::function<void(const std::string &path)> beforeSearch;
    std::function<void(const std::string &from)> beforeOpen;

    void AddFile(const std::string &path) { files[path] = path.substr(path.rfind('\\') + 1); }
    // The paths that hold a normal file, sorted.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto &file : files) {
            names.push_back(file.first);
        }
        return names;
    }

    std::string FirstMatchingFile(const std::string &path) override {
        searched.push_back(path);
        if (beforeSearch) {
            beforeSearch(path);
        }
        if (const auto failure = unsearchable.find(path); failure != unsearchable.end()) {
            throw failure->second;
        }
        const auto found = files.find(path);
        return found == files.end() ? std::string() : found->second;
    }
    // Fails as told, or as the system does for a missing file; else holds
    // the file until its rename.
    std::unique_ptr<IHeldFile> OpenForMove(const std::string &from, const std::string &to,
                                           const std::string &allowedFolder) override {
        moveOpens.push_back({from, to, allowedFolder});
        if (beforeOpen) {
            beforeOpen(from);
        }
        if (openFailure) {
            throw *openFailure;
        }
        if (const auto failure = openFailures.find(from); failure != openFailures.end()) {
            throw failure->second;
        }
        if (const auto refused = refusedIn.find(allowedFolder); refused != refusedIn.end()) {
            throw refused->second;
        }
        if (files.count(from) == 0) {
            throw AppError(ErrorCategory::Win32, 2, "The system cannot find the file specified.",
                           "CreateFileW");
        }
        return std::make_unique<Held>(*this, from, to);
    }
    std::optional<std::string> FinalPath(const std::string &path) override {
        const auto final = finalPaths.find(path);
        return final == finalPaths.end() ? path : final->second;
    }
    // The files opened for a move with a folder they are allowed in, in
    // order.
    std::vector<std::string> OpenedInAllowedFolder() const {
        std::vector<std::string> opened;
        for (const MoveOpen &open : moveOpens) {
            if (!open.allowedFolder.empty()) {
                opened.push_back(open.from);
            }
        }
        return opened;
    }
    std::string FullPath(const std::string &path) override {
        if ((path.size() > 1 && path[1] == ':') || path.rfind("\\\\", 0) == 0) {
            return path;
        }
        return currentFolder + "\\" + path;
    }
    PathKind KindOf(const std::string &path) override {
        if (files.count(FileOf(path)) != 0) {
            return PathKind::NormalFile;
        }
        const auto other = others.find(path);
        return other == others.end() ? PathKind::Nothing : other->second;
    }
    bool SameName(const std::string &a, const std::string &b) override {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(),
                          [](char x, char y) { return Lower(x) == Lower(y); });
    }
    bool IsNetworkDrive(const std::string &root) override { return networkDrives.count(root) != 0; }
    bool SameExistingFile(const std::string &a, const std::string &b) override {
        if (KindOf(a) == PathKind::Nothing || KindOf(b) == PathKind::Nothing) {
            return false;
        }
        return SameName(FileOf(a), FileOf(b));
    }
    // Other spellings of a folder (a share, the \\?\ form): spelling ->
    // the folder. And 8.3 names of existing entries: full path -> long one.
    std::map<std::string, std::string> folderSpellings;
    std::map<std::string, std::string> shortNames;

    bool SameEntry(const std::string &a, const std::string &b) override {
        const auto [folderA, nameA] = EntryOf(a);
        const auto [folderB, nameB] = EntryOf(b);
        return FolderExists(folderA) && SameName(folderA, folderB) && SameName(nameA, nameB);
    }

private:
    static char Lower(char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    // The folder, as one spelling of it, and the long name of an entry.
    std::pair<std::string, std::string> EntryOf(const std::string &path) {
        std::string full = FullPath(path);
        if (const auto longName = shortNames.find(full); longName != shortNames.end()) {
            full = longName->second;
        }
        const std::size_t separator = full.rfind('\\');
        std::string folder = full.substr(0, separator);
        if (const auto spelling = folderSpellings.find(folder); spelling != folderSpellings.end()) {
            folder = spelling->second;
        }
        return {folder, full.substr(separator + 1)};
    }
    bool FolderExists(const std::string &folder) {
        const auto other = others.find(folder);
        return (other != others.end() && other->second == PathKind::Folder) ||
               std::any_of(files.begin(), files.end(), [&](const auto &file) {
                   return SameName(folder, file.first.substr(0, file.first.rfind('\\')));
               });
    }
    std::string FileOf(const std::string &path) const {
        const auto link = links.find(path);
        return link == links.end() ? path : link->second;
    }
    class Held : public IHeldFile {
    public:
        Held(FakeFileSystem &files, std::string from, std::string to)
            : files_(files), from_(std::move(from)), to_(std::move(to)) {
            ++files_.heldNow;
        }
        Held(const Held &) = delete;
        Held &operator=(const Held &) = delete;
        ~Held() override {
            --files_.heldNow;
            if (!asked_) {
                files_.letGo.push_back(from_);
            }
        }
        void Rename() override {
            if (asked_) {
                throw AppError(ErrorCategory::Program, 51, from_ + " renamed twice.", "Rename");
            }
            asked_ = true;
            files_.Move(from_, to_);
        }

    private:
        FakeFileSystem &files_;
        std::string from_;
        std::string to_;
        bool asked_ = false;
    };

    void Move(const std::string &from, const std::string &to) {
        if (changesForbidden) {
            throw ForbiddenChange{"rename " + from};
        }
        if (const auto failure = renameFailures.find(from); failure != renameFailures.end()) {
            throw failure->second;
        }
        if (KindOf(to) != PathKind::Nothing) {
            throw AppError(ErrorCategory::Win32, 183,
                           "Cannot create a file when that file already exists.",
                           "SetFileInformationByHandle");
        }
        renames.emplace_back(from, to);
        files.erase(from);
        AddFile(to);
    }
};

// The machine's folders as a 64-bit Windows with its system on C: has them.
class FakeSystemFolders : public ISystemFolders {
public:
    std::vector<std::string> virtualized{"C:\\Program Files", "C:\\Program Files (x86)",
                                         "C:\\ProgramData", "C:\\Windows"};
    std::vector<std::string> programFiles{"C:\\Program Files", "C:\\Program Files (x86)"};
    std::string localAppData = "C:\\Users\\Ann\\AppData\\Local";
    std::optional<AppError> failure;

    std::vector<std::string> VirtualizedFolders() override {
        if (failure) {
            throw *failure;
        }
        return virtualized;
    }
    std::vector<std::string> ProgramFilesFolders() override {
        if (failure) {
            throw *failure;
        }
        return programFiles;
    }
    std::string LocalAppData() override {
        if (failure) {
            throw *failure;
        }
        return localAppData;
    }
};

class FakeApplication : public IApplication {
public:
    AppInfo info{"Rename Quorvex Database", 1, 0, 0};
    std::vector<int> endedWith;
    bool elevated = false;
    bool system = false;
    // The parameters of each elevated start asked for, and how it fails.
    std::vector<std::string> elevatedStarts;
    std::optional<AppError> elevationFailure;

    AppInfo Info() override { return info; }
    void End(int exitCode) override { endedWith.push_back(exitCode); }
    bool IsElevated() override { return elevated; }
    void StartElevated(const std::string &parameters) override {
        elevatedStarts.push_back(parameters);
        if (elevationFailure) {
            throw *elevationFailure;
        }
    }
    std::string ErrorText(std::int32_t code) override {
        return "System text of " + std::to_string(code) + ".";
    }
    bool RunsAsSystem() override { return system; }
};

// What a command-line run wrote, line by line, and to the log once opened.
class FakeRunOutput : public IRunOutput {
public:
    bool console = true;
    std::optional<AppError> logFailure;
    // The log takes this many lines, then refuses the rest (a full disk).
    std::optional<std::size_t> logRoom;
    std::optional<std::string> logPath;
    bool logPrivileged = false;
    std::vector<std::string> lines;
    std::vector<std::string> logLines;
    // Run before each line is written, as a failing console might.
    std::function<void()> beforeWrite;

    bool HasConsole() override { return console; }
    void OpenLog(const std::string &path, bool privileged) override {
        if (logFailure) {
            throw *logFailure;
        }
        logPath = path;
        logPrivileged = privileged;
    }

protected:
    void Write(const std::string &line) override {
        if (beforeWrite) {
            beforeWrite();
        }
        if (console) {
            lines.push_back(line);
        }
    }
    bool Append(const std::string &line) override {
        if (!logPath || (logRoom && logLines.size() >= *logRoom)) {
            return false;
        }
        logLines.push_back(line);
        return true;
    }
};

class FakeFormView : public IFormView {
public:
    std::string caption = "Rename Quorvex Database";
    std::string databaseFileText;

    void SetCaption(const std::string &text) override { caption = text; }
    std::string DatabaseFileText() override { return databaseFileText; }
    void SetDatabaseFileText(const std::string &text) override { databaseFileText = text; }
};

// Every fake, wired together as the program's services.
struct FakeServices {
    FakeRegistry registry;
    FakeCodePage codePage;
    FakeFileSystem files;
    FakeDialogs dialogs;
    FakeApplication application;
    FakeSystemFolders folders;

    PlatformServices Services() {
        return {registry, codePage, files, dialogs, application, folders};
    }
};
