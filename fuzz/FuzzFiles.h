#pragma once
// What the fuzz targets share: a scratch folder of their own, where each input is written as
// the file a user would name, since sources are recognised and opened by path.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace moxalo::fuzz {

// A folder made once per process and removed when it ends.
const std::string& scratchFolder();

// Writes `bytes` to `name` in the scratch folder (made anew, so nothing of the last input is
// left) and returns its path.
std::string writeScratchFile(const std::string& name, std::string_view bytes);

// Empties the scratch folder.
void clearScratch();

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace moxalo::fuzz
