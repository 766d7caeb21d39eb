#include "core/StandardReport.h"

#include "base/AppError.h"

std::string UnhandledErrorMessage(const std::exception &failure) {
    const AppError error = ToAppError(failure);
    return "Error " + std::to_string(error.Number()) + ":\r\n\r\n" + error.Description();
}
