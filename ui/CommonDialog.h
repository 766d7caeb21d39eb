#pragma once

#include "platform/PlatformServices.h"

#include <string>

// The window's open-file dialog: set its properties, show it, read FileName.
class CommonDialog {
public:
    std::string Filter;
    std::string DefaultExt;
    std::string FileName;

    // FileName becomes the chosen path; cancelling leaves it as preset, and so
    // does a failure of the dialog, which is thrown as AppError.
    void ShowOpen(IDialogs &dialogs) {
        if (auto chosen = dialogs.ShowOpenFile({Filter, DefaultExt, FileName})) {
            FileName = std::move(*chosen);
        }
    }
};
