#include "registry/SourceStamp.h"

#include "registry/WindowsPartition.h"

#include <sys/stat.h>

namespace moxalo::registry {

namespace {

std::int64_t nanoseconds(const struct timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

} // namespace

FileStamp stampOf(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return {};
    return {true,
            static_cast<std::uint64_t>(st.st_dev),
            static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::uint64_t>(st.st_size),
            nanoseconds(st.st_mtim),
            nanoseconds(st.st_ctim)};
}

std::vector<std::string> filesOfSource(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return {path};
    std::string system = path + "/system.reg";
    if (stat(system.c_str(), &st) != 0 && isWindowsPartition(path))
        return partitionHiveFiles(path);
    return {system, path + "/user.reg"};
    return {path};
}

SourceStamps::SourceStamps(const std::vector<std::string>& sourcePaths) {
    for (const auto& source : sourcePaths) {
        for (auto& file : filesOfSource(source))
            files_.push_back(std::move(file));
    }
    retake();
}

bool SourceStamps::changed() const {
    for (std::size_t i = 0; i < files_.size(); ++i) {
        if (stampOf(files_[i]) != stamps_[i])
            return true;
    }
    return false;
}

void SourceStamps::retake() {
    stamps_.clear();
    for (const auto& file : files_)
        stamps_.push_back(stampOf(file));
}

} // namespace moxalo::registry
