#pragma once
// Replaces a file's content so that a crash or a full disk never leaves it half-written:
// the new content goes to a temporary file beside it, which is then renamed over it.

#include <string>
#include <string_view>

namespace moxalo::registry {

// Throws StoreError naming the file and the reason.
void writeFileAtomically(const std::string& path, std::string_view bytes);
// The name of a fresh temporary file in the same folder as `path`, for writers (such as
// libhivex) that write a file themselves before it is renamed into place.
std::string temporaryPathBeside(const std::string& path);
// Renames `temporary` over `path`, keeping `path`'s permission bits; removes `temporary` and
// throws StoreError when that fails.
void replaceFile(const std::string& temporary, const std::string& path);
// Why the file (and its folder, where the temporary file goes) cannot be written, or "".
std::string whyNotWritable(const std::string& path);

} // namespace moxalo::registry
