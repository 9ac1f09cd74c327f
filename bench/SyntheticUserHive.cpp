#include "bench/SyntheticUserHive.h"

#include "base/Utf16.h"
#include "bench/Dice.h"
#include "bench/SyntheticKeys.h"

namespace moxalo::bench {

using registry::MemoryStore;
using registry::NodeId;
using registry::RegValue;

namespace {

void setText(MemoryStore& store, NodeId key, std::string_view name, std::string_view text) {
    store.setValue(key, name, RegValue{registry::REG_SZ, text::stringValueData(text)});
}

NodeId createPath(MemoryStore& store, NodeId key, std::initializer_list<const char*> path) {
    for (const char* name : path)
        key = store.createKey(key, name);
    return key;
}

// Eight bytes in Base64, the shape of a real hash; its value is not the one Windows would
// write, so the choice fails its check, which costs the reader as much as one that passes.
std::string hashLike(Dice& dice) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string hash;
    for (int i = 0; i < 11; ++i)
        hash += kDigits[dice.below(64)];
    return hash + "=";
}

void writeFileExt(MemoryStore& store, NodeId fileExts, std::size_t n, bool choice, Dice& dice) {
    NodeId ext = store.createKey(fileExts, numbered(".ext%04zu", n));
    std::string progId = numbered("ext%04zufile", n);
    NodeId list = store.createKey(ext, "OpenWithList");
    setText(store, list, "a", numbered("app%04zu.exe", dice.below(500)));
    setText(store, list, "b", "NOTEPAD.EXE");
    setText(store, list, "MRUList", "ba");
    NodeId progIds = store.createKey(ext, "OpenWithProgids");
    store.setValue(progIds, progId, RegValue{registry::REG_NONE, {}});
    if (!choice)
        return;
    NodeId userChoice = store.createKey(ext, "UserChoice");
    setText(store, userChoice, "ProgId", progId);
    setText(store, userChoice, "Hash", hashLike(dice));
}

} // namespace

void buildUserHive(MemoryStore& store, const FileExtsShape& shape) {
    Dice dice(shape.seed);
    NodeId fileExts =
        createPath(store, store.rootNode(),
                   {"Software", "Microsoft", "Windows", "CurrentVersion", "Explorer", "FileExts"});
    for (std::size_t n = 1; n <= shape.extensions; ++n)
        writeFileExt(store, fileExts, n, dice.chance(shape.userChoiceShare), dice);
}

} // namespace moxalo::bench
