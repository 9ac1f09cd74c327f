#pragma once
// Replacing a file's content so that a crash or a full disk never leaves it half-written: the
// new content goes to a temporary file beside it, which is then renamed over it. A symbolic
// link is written through: the file it leads to is replaced, and the link stays.

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace moxalo::fs {

// A file that cannot be read or written; the message names it and says why.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// New content for `path`, written to a temporary file beside it but not yet in its place.
// Several can be prepared first and committed together, so that a failure while writing
// leaves every one of the files as it was. Dropped uncommitted, the temporary file goes.
class PendingFile {
public:
    // Writes `bytes` to the temporary file and flushes them to disk. Throws FileError, also
    // when `path` exists and is read-only: such a mark is the user's wish that it stays.
    static PendingFile write(const std::string& path, std::string_view bytes);
    // The same for content made piece by piece: `produce` hands each piece to the function it
    // is given, which writes it at once, so that the whole never has to be held. A piece that
    // cannot be written throws FileError out of that function, ending `produce` there.
    using Sink = std::function<void(std::string_view)>;
    static PendingFile write(const std::string& path,
                             const std::function<void(const Sink&)>& produce);
    // Only creates the temporary file, empty, for a writer (such as libhivex) that fills it.
    static PendingFile reserve(const std::string& path);

    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&&) = delete;
    PendingFile(const PendingFile&) = delete;
    ~PendingFile();

    // The file replaced: the one named, or the file its symbolic links lead to.
    const std::string& path() const { return path_; }
    const std::string& temporaryPath() const { return temporary_; }
    // Renames the temporary file over `path`, keeping the permission bits `path` had.
    void commit();

private:
    explicit PendingFile(const std::string& path);

    std::string path_;
    std::string temporary_; // empty once committed or moved from
};

inline void writeFileAtomically(const std::string& path, std::string_view bytes) {
    PendingFile::write(path, bytes).commit();
}

// Why the file (and its folder, where the temporary file goes) cannot be written, or "". A
// symbolic link is looked through, to the file that a write would replace.
std::string whyNotWritable(const std::string& path);

} // namespace moxalo::fs
