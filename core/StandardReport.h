#pragma once

#include "platform/PlatformServices.h"

#include <exception>
#include <string>

// The standard report of a failure nobody handled: "Error N:", a blank
// line, and the error's description.
std::string UnhandledErrorMessage(const std::exception &failure);

// Runs handler; no failure gets past it. One that would is shown through
// dialogs as the standard report, then ending(failure) ends the program.
template <typename Handler, typename Ending>
void ReportAnyFailure(IDialogs &dialogs, Handler &&handler, Ending &&ending) noexcept {
    try {
        handler();
    } catch (const std::exception &failure) {
        try {
            dialogs.ShowMessage(UnhandledErrorMessage(failure), MESSAGE_OK_ONLY);
        } catch (...) {
            // The program ends with its failure code even if the report fails.
        }
        ending(failure);
    }
}
