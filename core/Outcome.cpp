#include "core/Outcome.h"

#include "base/Win32Codes.h"

#include <utility>

int ExitCodeFor(const AppError &error) {
    switch (error.Category()) {
    case ErrorCategory::Win32:
    case ErrorCategory::Refusal:
        return error.Number();
    case ErrorCategory::Program:
        switch (error.Number()) {
        case ErrorNumber::InvalidText:
            return Win32Code::NoUnicodeTranslation;
        case ErrorNumber::OutOfMemory:
            return Win32Code::NotEnoughMemory;
        default:
            break;
        }
        break;
    case ErrorCategory::CommonDialog:
        break;
    }
    return Win32Code::InternalError;
}

std::string FailureLine(const std::string &what, const AppError &error) {
    return what + ". Error " + std::to_string(ExitCodeFor(error)) + ": " + error.Description();
}

std::string FailureLine(const std::string &what, IApplication &application, int code) {
    return FailureLine(what, SystemError(application, code));
}

AppError SystemError(IApplication &application, int code, std::string source) {
    return AppError(ErrorCategory::Win32, code, application.ErrorText(code), std::move(source));
}

std::string ListOf(const std::vector<std::string> &names, const std::string &conjunction) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " " + conjunction + " " : ", ") + names[i];
    }
    return text;
}
