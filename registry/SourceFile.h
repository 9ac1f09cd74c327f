#pragma once
// The whole of a text registry file (a .reg export, Wine's system.reg), mapped read-only for
// as long as it is being loaded: the bytes are read once, straight from the page cache. A
// pipe is read into memory instead.

#include "base/MappedFile.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace moxalo::registry {

class SourceFile {
public:
    // Says why a file of this kind and size is not read, or "" when it is.
    using Check = std::function<std::string(const struct stat&)>;
    // Throws StoreError "<path>: <what>" for a file that cannot be opened, read or mapped, or
    // that `check` refuses.
    SourceFile(const std::string& path, const Check& check);
    ~SourceFile();
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    // What `load` makes of the bytes. Should another program change the file meanwhile, what
    // was read may be anything: whatever `load` returned or threw, StoreError "<path>: ..."
    // then says that the file changed.
    template <typename Load> auto read(Load&& load) {
        std::optional<decltype(load(bytes()))> loaded;
        try {
            loaded.emplace(load(bytes()));
        } catch (...) {
            checkUnchanged();
            throw;
        }
        checkUnchanged();
        return std::move(*loaded);
    }
    // The bytes before `offset` are read: their pages may leave memory. Should they be read
    // again after all, they come back from the file.
    void release(std::size_t offset);

private:
    std::string_view bytes() const { return {data_, size_}; }
    std::string map(int fd, std::size_t size);
    std::string stream(int fd, struct stat st, const Check& check);
    void checkUnchanged() const;

    std::string path_;
    const char* data_ = nullptr;
    std::size_t size_ = 0;
    std::unique_ptr<fs::MappedFile> mapped_;
    std::size_t released_ = 0; // the bytes before this are released
    std::string streamed_;     // what was read from a file that cannot be mapped
};

} // namespace moxalo::registry
