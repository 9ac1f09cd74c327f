#include "app/modSettings.h"

#include "catalogue/AppTexts.h"
#include "platform/profile/Profile.h"

#include <algorithm>
#include <utility>

namespace moxalo::app {

namespace {

constexpr profile::DWORD kValueBufferSize = 155;

} // namespace

std::string SettingsFilePathIn(const std::string& folder) {
    std::string name(catalogue::kAppTitle);
    std::replace(name.begin(), name.end(), ' ', '_');
    bool endsInSlash = !folder.empty() && folder.back() == '/';
    return folder + (endsInSlash ? "" : "/") + name + ".ini";
}

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {}

std::string SettingsFile::read(const std::string& section, const std::string& key,
                               const std::string& defaultValue) const {
    char buffer[kValueBufferSize] = {};
    profile::DWORD length =
        profile::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                          buffer, kValueBufferSize, path_.c_str());
    return std::string(buffer, length);
}

void SettingsFile::write(const std::string& section, const std::string& key,
                         const std::string& value) const {
    profile::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str());
}

} // namespace moxalo::app
