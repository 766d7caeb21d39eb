#include "SampleDatabase.h"

SampleDatabase::SampleDatabase() : folder_(L"torvane-bench"), path_(folder_ / L"QvxData.mdb") {
    setting_.Store(path_);
    Reset();
}

void SampleDatabase::Reset() const {
    DeleteFileW(RenamedPath().c_str());
    if (!Exists(path_)) {
        WriteFile(path_, "Standard Jet DB");
    }
}
