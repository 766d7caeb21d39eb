#include "SampleDatabase.h"

#include "platform/win32/UniqueHandles.h"

#include <stdexcept>

namespace {

std::wstring OwnTempFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    std::wstring folder = std::wstring(temp, length) + L"torvane-bench";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void WriteSample(const std::wstring &path) {
    const unique_hfile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    constexpr char Bytes[] = "Standard Jet DB";
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), Bytes, sizeof Bytes - 1, &written, nullptr)) {
        throw std::runtime_error("cannot write the sample database");
    }
}

} // namespace

SampleDatabase::SampleDatabase() : folder_(OwnTempFolder()), path_(folder_ + L"\\QvxData.mdb") {
    setting_.Store(path_);
    Reset();
}

SampleDatabase::~SampleDatabase() {
    DeleteFileW(RenamedPath().c_str());
    DeleteFileW(path_.c_str());
    RemoveDirectoryW(folder_.c_str());
}

void SampleDatabase::Reset() const {
    DeleteFileW(RenamedPath().c_str());
    if (GetFileAttributesW(path_.c_str()) == INVALID_FILE_ATTRIBUTES) {
        WriteSample(path_);
    }
}
