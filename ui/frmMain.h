#pragma once

#include "platform/PlatformServices.h"
#include "ui/CommonDialog.h"
#include "ui/IFormView.h"

#include <string>

// The main window's behaviour: what happens at load and on each button.
class frmMain {
public:
    frmMain(const PlatformServices &services, IFormView &view);

    void Form_Load();
    void cmdBrowse_Click();
    void cmdRename_Click();
    void cmdCancel_Click();

    // Where the product keeps its settings, and its database by default.
    static constexpr const char *DatabaseEntry = "Database";
    static constexpr const char *DefaultDatabasePath = "C:\\Program Files\\Quorvex\\QvxData.mdb";
    static constexpr const char *RenamedSuffix = ".Advanced";

private:
    // Product name and version, as the caption and the browse failure show it.
    std::string VersionedTitle();
    // True when the existence test finds a file at path.
    bool FileExists(const std::string &path);

    PlatformServices services_;
    IFormView &view_;
    CommonDialog CommonDialog1;
};

// The standard report of a failure nobody handled: a message naming the
// error, then the program ends with a failure exit code.
std::string UnhandledErrorMessage(const std::exception &failure);

// Runs one event; no failure gets past it.
template <typename Handler>
void RunEvent(const PlatformServices &services, Handler &&handler) noexcept {
    try {
        handler();
    } catch (const std::exception &failure) {
        try {
            services.dialogs.ShowMessage(UnhandledErrorMessage(failure), MESSAGE_OK_ONLY);
        } catch (...) {
            // The program ends with its failure code even if the report fails.
        }
        services.application.End(ExitCode::Failure);
    }
}
