#pragma once
// What a source's files looked like on disk when they were read, so that a process notices
// that another one (the registry editor, Wine, another window) has replaced or changed them.

#include <cstdint>
#include <string>
#include <vector>

namespace moxalo::registry {

// A file's identity and last change. A file replaced by a rename gets another inode; one
// written in place another size or change time.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t modified = 0, changed = 0; // nanoseconds
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const std::string& path);

// The files a source path is read from: a Wine prefix's system.reg and user.reg (whether or
// not they exist yet), a Windows partition's hives (those there now, of every user), else the
// path itself.
std::vector<std::string> filesOfSource(const std::string& path);

class SourceStamps {
public:
    SourceStamps() = default;
    // Takes the stamps of every file of the sources, as they are now.
    explicit SourceStamps(const std::vector<std::string>& sourcePaths);

    // Whether any file differs from its stamp.
    bool changed() const;
    // Takes the stamps again, after this process has written the files.
    void retake();

private:
    std::vector<std::string> files_;
    std::vector<FileStamp> stamps_;
};

} // namespace moxalo::registry
