#include "AllUsersBed.h"

AllUsersBed::AllUsersBed(int users) {
    for (int user = 0; user < users; ++user) {
        auto profile = std::make_unique<TestProfile>(std::nullopt);
        const std::wstring database = profile->Folder() + L"\\QvxData.mdb";
        profile->WriteHive(HiveContents{database, L"%USERPROFILE%\\AppData\\Local"});
        databases_.push_back(database);
        profiles_.push_back(std::move(profile));
    }
    Reset();
}

void AllUsersBed::Reset() const {
    for (const std::wstring &database : databases_) {
        DeleteFileW((database + L".Advanced").c_str());
        if (!Exists(database)) {
            WriteFile(database, "Standard Jet DB");
        }
    }
}

void AllUsersBed::CheckSetAside(const std::string &who) const {
    for (const std::wstring &database : databases_) {
        if (Exists(database) || !Exists(database + L".Advanced")) {
            throw std::runtime_error(who + " did not set aside every user's database");
        }
    }
}
