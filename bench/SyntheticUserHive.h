#pragma once
// A synthetic NTUSER.DAT: a user's Explorer\FileExts for the extensions of the synthetic
// classes, as a user who has opened many kinds of files has them.

#include "registry/MemoryStore.h"

#include <cstddef>
#include <cstdint>

namespace moxalo::bench {

struct FileExtsShape {
    std::size_t extensions = 0;   // ".ext0001"... as the synthetic classes name them
    double userChoiceShare = 0.5; // share of them with a UserChoice
    std::uint64_t seed = 1;
};

// Fills the root of `store` with Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts:
// each extension an OpenWithList and OpenWithProgids, a share of them a UserChoice.
void buildUserHive(registry::MemoryStore& store, const FileExtsShape& shape);

} // namespace moxalo::bench
