#include "ui/frmMain.h"

#include "app/modMain.h"
#include "platform/AppError.h"

#include <memory>

frmMain::frmMain(const PlatformServices &services, IFormView &view)
    : services_(services), view_(view) {}

std::string frmMain::VersionedTitle() {
    const AppInfo info = services_.application.Info();
    return info.productName + " - Version " + std::to_string(info.major) + "." +
           std::to_string(info.minor) + "." + std::to_string(info.revision);
}

bool frmMain::FileExists(const std::string &path) {
    return !services_.files.FirstMatchingFile(path).empty();
}

void frmMain::Form_Load() {
    view_.SetCaption(VersionedTitle());

    gProgramSettings = std::make_unique<CProgramSettings>(services_);
    gProgramSettings->RootKey(HKEY_CURRENT_USER_VALUE);
    gProgramSettings->MainBranch("SOFTWARE");
    gProgramSettings->RegBase("Kestrova");
    gProgramSettings->Program("Quorvex");
    gProgramSettings->Section("Defaults");

    const std::string path = gProgramSettings->ReadEntry(DatabaseEntry, DefaultDatabasePath);
    view_.SetDatabaseFileText(path);

    // A stored path the existence test cannot even search (an illegal name,
    // say) is treated like a missing file: the user can still browse.
    bool exists = false;
    try {
        exists = FileExists(path);
    } catch (const AppError &) {
        exists = false;
    }
    if (!exists) {
        view_.SetDatabaseFileText("");
    }
}

void frmMain::cmdBrowse_Click() {
    try {
        CommonDialog1.Filter = "Database Files (*.mdb)|*.mdb";
        CommonDialog1.DefaultExt = ".mdb";
        CommonDialog1.FileName = view_.DatabaseFileText();
        CommonDialog1.ShowOpen(services_.dialogs);
        if (!CommonDialog1.FileName.empty()) {
            view_.SetDatabaseFileText(CommonDialog1.FileName);
        }
    } catch (const std::exception &failure) {
        services_.dialogs.ShowMessage("frmMain: cmdBrowse_Click: " +
                                          ToAppError(failure).Description(),
                                      MESSAGE_OK_ONLY, VersionedTitle());
    }
}

void frmMain::cmdRename_Click() {
    const std::string path = view_.DatabaseFileText();
    if (path.empty()) {
        services_.dialogs.ShowMessage("Please select a file before renaming it.", MESSAGE_OK_ONLY);
        return;
    }
    if (!FileExists(path)) {
        services_.dialogs.ShowMessage(
            path + " does not exist.  Click the browse button to locate the database file.",
            MESSAGE_OK_ONLY);
        return;
    }
    const std::string renamed = path + RenamedSuffix;
    services_.files.RenameFile(path, renamed);
    services_.dialogs.ShowMessage("File has been renamed to:\r\n\r\n" + renamed, MESSAGE_OK_ONLY);
    services_.application.End(ExitCode::Normal);
}

void frmMain::cmdCancel_Click() { services_.application.End(ExitCode::Normal); }

std::string UnhandledErrorMessage(const std::exception &failure) {
    const AppError error = ToAppError(failure);
    return "Error " + std::to_string(error.Number()) + ":\r\n\r\n" + error.Description();
}
