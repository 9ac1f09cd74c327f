#include "fuzz/FuzzFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace moxalo::fuzz {

namespace {

struct Scratch {
    std::string path;
    Scratch() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "moxalo-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a scratch folder");
        path = pattern;
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

} // namespace

const std::string& scratchFolder() {
    static Scratch scratch;
    return scratch.path;
}

void clearScratch() {
    for (const auto& entry : std::filesystem::directory_iterator(scratchFolder()))
        std::filesystem::remove_all(entry.path());
}

std::string writeScratchFile(const std::string& name, std::string_view bytes) {
    auto path = std::filesystem::path(scratchFolder()) / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
    return path.string();
}

} // namespace moxalo::fuzz
