#include "platform/win32/OrdinaryFile.h"

#include "platform/win32/FinalPath.h"
#include "platform/win32/OpenExisting.h"
#include "platform/win32/PathForms.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

#include <optional>

namespace {

constexpr char Procedure[] = "OpenForMove";

AppError Refusal(const std::wstring &path, const std::string &what) {
    return AppError(ErrorCategory::Refusal, ERROR_ACCESS_DENIED,
                    Narrow(OrdinaryForm(path)) + " " + what, Procedure);
}

// Refuses, saying what it is, a file that is not an ordinary file.
void RefuseUnlessOrdinary(const FILE_ATTRIBUTE_TAG_INFO &file, const std::wstring &path) {
    const DWORD attributes = file.FileAttributes;
    if (IsLink(attributes, file.ReparseTag)) {
        throw Refusal(path, "is a link, not an ordinary file.");
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        throw Refusal(path, "is a folder, not a file.");
    }
    if (attributes & FILE_ATTRIBUTE_SYSTEM) {
        throw Refusal(path, "is a system file.");
    }
    if (attributes & FILE_ATTRIBUTE_HIDDEN) {
        throw Refusal(path, "is a hidden file.");
    }
}

AppError Outside(const std::wstring &source, const std::wstring &reached,
                 const std::wstring &allowed) {
    const std::string where = Narrow(OrdinaryForm(allowed));
    if (SamePathText(OrdinaryForm(reached), OrdinaryForm(source))) {
        return Refusal(source, "lies outside " + where + ", the folder it is allowed in.");
    }
    return Refusal(source, "leads through a link to " + Narrow(OrdinaryForm(reached)) +
                               ", outside " + where + ", the folder it is allowed in.");
}

// The open file's final path, once proved to lie inside the final path of
// allowed. The folder is looked at only when the file is not simply where
// source says, inside allowed as written: then a link on the way (a moved
// profiles folder, a compatibility junction) may still lead inside it.
std::wstring FinalPathInside(HANDLE file, const std::wstring &source, const std::wstring &allowed) {
    const std::optional<std::wstring> reached = SystemFinalPath(file, VOLUME_NAME_DOS);
    if (reached && SamePathText(OrdinaryForm(*reached), OrdinaryForm(source)) &&
        LiesInside(OrdinaryForm(source), OrdinaryForm(allowed))) {
        return *reached;
    }
    // The folder as a user reaches it: links followed, as for the file.
    const unique_hfile folder = OpenExisting(allowed, FILE_READ_ATTRIBUTES);
    if (!folder) {
        // Refused, not failed: a missing folder's error 2 would read as
        // "no database" in the run's exit code.
        const DWORD error = GetLastError();
        throw Refusal(source, "cannot be checked: the folder it is allowed in, " +
                                  Narrow(OrdinaryForm(allowed)) + ", cannot be opened (error " +
                                  std::to_string(error) + ").");
    }
    if (reached) {
        if (const auto allowedReached = SystemFinalPath(folder.get(), VOLUME_NAME_DOS)) {
            if (!LiesInside(*reached, *allowedReached)) {
                throw Outside(source, *reached, *allowedReached);
            }
            return *reached;
        }
    }
    // A volume without a drive letter (a profile disk, for one) has only
    // its GUID to name it by.
    std::wstring reachedByGuid = *SystemFinalPath(file, VOLUME_NAME_GUID);
    const std::wstring allowedByGuid = *SystemFinalPath(folder.get(), VOLUME_NAME_GUID);
    if (!LiesInside(reachedByGuid, allowedByGuid)) {
        throw Outside(source, reachedByGuid, allowedByGuid);
    }
    return reachedByGuid;
}

} // namespace

bool IsLink(std::uint32_t attributes, std::uint32_t reparseTag) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           IsReparseTagNameSurrogate(reparseTag);
}

std::wstring OrdinaryFinalPath(HANDLE file, const std::wstring &source,
                               const std::wstring &allowed) {
    FILE_ATTRIBUTE_TAG_INFO information{};
    if (!GetFileInformationByHandleEx(file, FileAttributeTagInfo, &information,
                                      sizeof information)) {
        throw Win32Error(GetLastError(), "GetFileInformationByHandleEx");
    }
    RefuseUnlessOrdinary(information, source);
    // A link in a folder on the way may lead to a file somewhere else.
    return FinalPathInside(file, source, allowed);
}
