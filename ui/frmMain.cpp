#include "ui/frmMain.h"

#include "base/AppError.h"
#include "base/Win32Codes.h"
#include "core/CommandLine.h"
#include "core/CopyPlan.h"
#include "core/Outcome.h"
#include "core/RunLines.h"

#include <algorithm>

frmMain::frmMain(const PlatformServices &services, IFormView &view,
                 std::optional<std::string> databasePath)
    : services_(services), view_(view), databasePath_(std::move(databasePath)) {}

std::string frmMain::VersionedTitle() {
    const AppInfo info = services_.application.Info();
    return info.productName + " - Version " + std::to_string(info.major) + "." +
           std::to_string(info.minor) + "." + std::to_string(info.revision);
}

void frmMain::Form_Load() {
    view_.SetCaption(VersionedTitle());

    const std::string path =
        databasePath_ ? *databasePath_ : DatabaseRules::LookUpDatabase(services_);
    view_.SetDatabaseFileText(path);

    // The path stays when a file is there or in the user's VirtualStore
    // copy of it; the copy is looked for only when the path holds none. A
    // stored path the existence test cannot even search (an illegal name,
    // say) is treated like a missing file: the user can still browse.
    bool exists = false;
    try {
        exists = DatabaseRules::FileExists(services_.files, path) ||
                 !DatabaseRules::ExistingCopies(services_.files, CopiesOf(services_, path)).empty();
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
    // One look at each copy's two names decides; a second comes only after
    // a failure, to tell another run's rename from a failure.
    const std::vector<DatabaseCopy> copies = CopiesOf(services_, path);
    Plan plan = ThisUsersPlan(copies, Direction::SetAside);
    Decide(services_.files, plan);
    const PlanUnit &unit = plan.units.front();
    // A name the decision's closer look cannot take (an illegal one, say)
    // is a missing file to the existence test, as it always was; one the
    // existence test itself cannot search is its failure.
    const bool lookFailed = unit.stop && unit.stop->error;
    const bool exists = lookFailed
                            ? !DatabaseRules::ExistingCopies(services_.files, copies).empty()
                            : std::any_of(unit.copies.begin(), unit.copies.end(),
                                          [](const PlannedCopy &p) { return p.state.HasFrom(); });
    if (lookFailed && exists) {
        throw *unit.stop->error;
    }
    if (!exists) {
        services_.dialogs.ShowMessage(
            path + " does not exist.  Click the browse button to locate the database file.",
            MESSAGE_OK_ONLY);
        return;
    }
    CarryOut(services_.files, plan, RenameMode::Rename);
    if (const std::optional<AppError> failure = UnitFailure(unit, services_.application)) {
        if (OfferElevation(*failure, path)) {
            return;
        }
        throw *failure;
    }
    services_.dialogs.ShowMessage("File has been renamed to:\r\n\r\n" + RenamedPath(path),
                                  MESSAGE_OK_ONLY);
    services_.application.End(ExitCode::Normal);
}

bool frmMain::OfferElevation(const std::exception &failure, const std::string &path) {
    // A refusal (a link in the user's VirtualStore, say) stands whatever the
    // rights, so only the system's own denial brings the offer.
    if (!ToAppError(failure).IsWin32(Win32Code::AccessDenied) ||
        services_.application.IsElevated()) {
        return false;
    }
    const bool again = services_.dialogs.AskYesNo(
        UnhandledErrorMessage(failure) +
        "\r\n\r\nYou'll need to provide administrator permission to rename this file. Try "
        "again as administrator?");
    if (again) {
        try {
            services_.application.StartElevated(WindowWithPathParameters(path));
        } catch (const std::exception &) {
            // Declined at the system's prompt, or not possible here: this
            // instance ends with its failure code all the same.
        }
    }
    services_.application.End(ExitCode::Failure);
    return true;
}

void frmMain::cmdCancel_Click() { services_.application.End(ExitCode::Normal); }
