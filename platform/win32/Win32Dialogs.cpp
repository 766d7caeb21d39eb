#include "platform/win32/Win32Dialogs.h"

#include "base/AppError.h"
#include "base/NumberText.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>

namespace {

// The open-file dialog's library. comdlg32 brings much of the shell with it,
// so it is loaded at the first Browse rather than at every start.
struct CommonDialogLibrary {
    static const CommonDialogLibrary &Get() {
        static const CommonDialogLibrary library;
        return library;
    }

    SystemLibrary library{L"comdlg32.dll"};
    decltype(&GetOpenFileNameW) getOpenFileName =
        library.Get<decltype(&GetOpenFileNameW)>("GetOpenFileNameW");
    decltype(&CommDlgExtendedError) extendedError =
        library.Get<decltype(&CommDlgExtendedError)>("CommDlgExtendedError");
};

} // namespace

Win32Dialogs::Win32Dialogs(std::string applicationTitle)
    : applicationTitle_(std::move(applicationTitle)) {}

HWND Win32Dialogs::VisibleOwner() const {
    return owner_ != nullptr && IsWindowVisible(owner_) ? owner_ : nullptr;
}

void Win32Dialogs::ShowMessage(const std::string &prompt, std::uint32_t style,
                               const std::optional<std::string> &title) {
    MessageBoxW(VisibleOwner(), Widen(prompt).c_str(),
                Widen(title.value_or(applicationTitle_)).c_str(), style);
}

bool Win32Dialogs::AskYesNo(const std::string &prompt) {
    return MessageBoxW(VisibleOwner(), Widen(prompt).c_str(), Widen(applicationTitle_).c_str(),
                       MB_YESNO) == IDYES;
}

std::optional<std::string> Win32Dialogs::ShowOpenFile(const OpenFileRequest &request) {
    const CommonDialogLibrary &library = CommonDialogLibrary::Get();

    // "Description|pattern" pairs become the NUL-separated, double-NUL list.
    std::wstring filter = Widen(request.filter);
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter.append(2, L'\0');

    // The extension without its dot, as the dialog expects it.
    std::wstring defaultExt = Widen(request.defaultExt);
    if (!defaultExt.empty() && defaultExt.front() == L'.') {
        defaultExt.erase(0, 1);
    }

    const std::wstring preset = Widen(request.fileName);
    std::wstring buffer(std::max(FileNameCapacity, preset.size() + 1), L'\0');
    std::copy(preset.begin(), preset.end(), buffer.begin());

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = VisibleOwner();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    dialog.Flags = OFN_EXPLORER;

    if (library.getOpenFileName(&dialog)) {
        buffer.resize(buffer.find(L'\0'));
        return Narrow(buffer);
    }
    const DWORD error = library.extendedError();
    if (error == 0) {
        return std::nullopt; // cancelled
    }
    // The buffer may be half overwritten now; the caller keeps its preset.
    throw AppError(ErrorCategory::CommonDialog, static_cast<std::int32_t>(error),
                   CommonDialogErrorText(error), "GetOpenFileNameW");
}

std::string CommonDialogErrorText(DWORD code) {
    switch (code) {
    case FNERR_BUFFERTOOSMALL:
        return "The chosen file name is too long.";
    case FNERR_INVALIDFILENAME:
        return "The file name is not valid.";
    case FNERR_SUBCLASSFAILURE:
    case CDERR_MEMALLOCFAILURE:
    case CDERR_INITIALIZATION:
        return "There is not enough memory to show the dialog.";
    default:
        return "The open-file dialog failed (code 0x" + ZeroPadded(code, 4, 16) + ").";
    }
}
