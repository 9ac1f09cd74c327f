#include "registry/regedit/RegFileSize.h"

namespace moxalo::regfile {

std::string whyTooLarge(std::string_view start, std::size_t size) {
    std::size_t chars = size;
    if (start.starts_with(kUtf16Mark))
        chars = (size - kUtf16Mark.size() + 1) / 2; // a half character at the end counts too
    if (chars <= kMaxRegFileChars)
        return {};
    return "holds more than " + std::to_string(kMaxRegFileChars >> 20) +
           " Mi characters, more than a .reg file that can be read";
}

} // namespace moxalo::regfile
