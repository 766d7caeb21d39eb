#pragma once

#include "core/DatabaseRules.h"
#include "core/StandardReport.h"
#include "platform/PlatformServices.h"
#include "ui/CommonDialog.h"
#include "ui/IFormView.h"

#include <optional>
#include <string>
#include <utility>

// The main window's behaviour: what happens at load and on each button.
class frmMain {
public:
    // With databasePath, load shows that path in place of the one looked up.
    frmMain(const PlatformServices &services, IFormView &view,
            std::optional<std::string> databasePath = std::nullopt);

    void Form_Load();
    void cmdBrowse_Click();
    void cmdRename_Click();
    void cmdCancel_Click();

private:
    // Product name and version, as the caption and the browse failure show it.
    std::string VersionedTitle();
    // After a rename refused for want of rights, the standard report asks
    // whether to try again as administrator, and the program ends. False
    // when the report stays as it always was.
    bool OfferElevation(const std::exception &failure, const std::string &path);

    PlatformServices services_;
    IFormView &view_;
    std::optional<std::string> databasePath_;
    CommonDialog CommonDialog1;
};

// Runs one event; no failure gets past it. The standard report names the
// error, then the program ends with a failure exit code.
template <typename Handler>
void RunEvent(const PlatformServices &services, Handler &&handler) noexcept {
    ReportAnyFailure(services.dialogs, std::forward<Handler>(handler),
                     [&](const std::exception &) { services.application.End(ExitCode::Failure); });
}
