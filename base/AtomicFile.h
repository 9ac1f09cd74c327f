#pragma once
// Replacing a file's content so that a crash or a full disk never leaves it half-written: the
// new content goes to a temporary file beside it, which is then renamed over it. A symbolic
// link is written through: the file it leads to is replaced, and the link stays.

#include "base/Result.h"

#include <functional>
#include <string>
#include <string_view>

namespace moxalo::fs {

// New content for `path`, written to a temporary file beside it but not yet in its place.
// Several can be prepared first and committed together, so that a failure while writing
// leaves every one of the files as it was. Dropped uncommitted, the temporary file goes.
class PendingFile {
public:
    // Writes `bytes` to the temporary file and flushes them to disk. Fails with a message naming
    // the file, also when `path` exists and is read-only: such a mark is the user's wish that it
    // stays.
    static Result<PendingFile> write(const std::string& path, std::string_view bytes);
    // The same for content made piece by piece: `produce` hands each piece to the function it
    // is given, which writes it at once, so that the whole never has to be held. That function
    // answers false when the piece could not be written, and `produce` then stops: on a full
    // disk nothing made after that could be kept.
    using Sink = std::function<bool(std::string_view)>;
    static Result<PendingFile> write(const std::string& path,
                                     const std::function<void(const Sink&)>& produce);
    // Only creates the temporary file, empty, for a writer (such as libhivex) that fills it.
    static Result<PendingFile> reserve(const std::string& path);

    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&&) = delete;
    PendingFile(const PendingFile&) = delete;
    ~PendingFile();

    // The file replaced: the one named, or the file its symbolic links lead to.
    const std::string& path() const { return path_; }
    const std::string& temporaryPath() const { return temporary_; }
    // Renames the temporary file over `path`, keeping the permission bits `path` had.
    Result<> commit();

private:
    PendingFile(std::string path, std::string temporary)
        : path_(std::move(path)), temporary_(std::move(temporary)) {}

    std::string path_;
    std::string temporary_; // empty once committed or moved from
};

inline Result<> writeFileAtomically(const std::string& path, std::string_view bytes) {
    Result<PendingFile> file = PendingFile::write(path, bytes);
    if (!file)
        return fail(file.error());
    return file->commit();
}

// Why the file (and its folder, where the temporary file goes) cannot be written, or "". A
// symbolic link is looked through, to the file that a write would replace.
std::string whyNotWritable(const std::string& path);

} // namespace moxalo::fs
