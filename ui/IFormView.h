#pragma once

#include <string>

// The parts of the main window that its handlers read and write.
class IFormView {
public:
    virtual ~IFormView() = default;
    virtual void SetCaption(const std::string &caption) = 0;
    virtual std::string DatabaseFileText() = 0;
    virtual void SetDatabaseFileText(const std::string &text) = 0;
};
