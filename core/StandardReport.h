#pragma once

#include <exception>
#include <string>

// The standard report of a failure nobody handled: "Error N:", a blank
// line, and the error's description.
std::string UnhandledErrorMessage(const std::exception &failure);
