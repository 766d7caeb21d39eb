#pragma once

// The database Torvane and the quiet job's floor find while they are timed:
// a small file in a temp folder of the driver's own, named by the registry
// value Torvane reads, so both look it up the same way. The value is put
// back and the folder removed afterwards.

#include "DatabaseSetting.h"
#include "TempFolder.h"

#include <string>

class SampleDatabase {
public:
    SampleDatabase();

    const std::wstring &Path() const { return path_; }
    std::wstring RenamedPath() const { return path_ + L".Advanced"; }
    // The file under its own name again, with no renamed copy beside it.
    void Reset() const;

private:
    TempFolder folder_;
    std::wstring path_;
    DatabaseSetting setting_;
};
