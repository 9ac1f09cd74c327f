// HiveStore's look at a subtree before libhivex deletes it. libhivex walks the subtree by
// recursion and frees each key after its subkeys: where it meets a cell a second time or one it
// cannot read, it stops with what it passed already freed, and a deep subtree overflows the
// stack. The same walk is made here first, without recursion and without changing anything,
// and a subtree that libhivex would not walk to its end is refused.

#include "registry/hive/HiveStore.h"
#include "registry/regedit/RegFileRoots.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <unordered_set>

namespace moxalo::hive {

namespace {

bool isType(std::uint32_t type, hive_type t) {
    return type == static_cast<std::uint32_t>(t);
}

// libhivex's walk reads each value as its type says: numbers whatever their data, strings
// unless their data is longer than its cell or not UTF-16, and anything else in full.
bool readableByLibhivex(hive_h* h, hive_value_h value) {
    alignas(hive_type) unsigned char type[sizeof(hive_type)] = {};
    std::size_t length = 0;
    errno = 0;
    Owned<char> data(hivex_value_value(h, value, reinterpret_cast<hive_type*>(type), &length));
    if (data)
        return true;
    std::uint32_t t = fromHiveType(reinterpret_cast<const hive_type*>(type));
    if (isType(t, hive_t_dword) || isType(t, hive_t_dword_be) || isType(t, hive_t_qword))
        return true;
    bool text = isType(t, hive_t_string) || isType(t, hive_t_expand_string) ||
                isType(t, hive_t_link) || isType(t, hive_t_multiple_strings);
    return text && (errno == EILSEQ || errno == EINVAL);
}

} // namespace

void HiveStore::refuseDelete(std::string_view name, const std::string& why) const {
    throw registry::StoreError(path_ + ": cannot delete the key \"" + std::string(name) +
                               "\": " + why);
}

// Each cell that libhivex frees must be met once: a cell met again would be freed twice, or
// freed while another key still uses it.
void HiveStore::meetOnce(std::size_t cell, CellsMet& cells, std::string_view name) const {
    if (cell != 0 && !cells.insert(cell).second)
        refuseDelete(name, "the cell at offset " + hexOffset(cell) +
                               " is met twice below it (a damaged hive)");
}

void HiveStore::checkDeletableKey(hive_node_h key, CellsMet& cells, std::string_view name) {
    errno = 0;
    if (!Owned<char>(hivex_node_name(hive(), key)))
        refuseDelete(name, "the name of the key at offset " + hexOffset(key) + " cannot be read");
    errno = 0;
    Owned<hive_value_h> values(hivex_node_values(hive(), key));
    if (!values)
        refuseDelete(name, "the values of " + keyLabel(key) + " cannot be read");
    for (const hive_value_h* v = values.get(); *v != 0; ++v) {
        errno = 0;
        if (!Owned<char>(hivex_value_key(hive(), *v)) || !readableByLibhivex(hive(), *v))
            refuseDelete(name, "a value of " + keyLabel(key) + " cannot be read");
        meetOnce(*v, cells, name);
        std::size_t length = 0;
        meetOnce(hivex_value_data_cell_offset(hive(), *v, &length), cells, name);
    }
}

std::vector<hive_node_h> HiveStore::deletableSubtree(hive_node_h key, std::string_view name) {
    errno = 0;
    hive_node_h parent = hivex_node_parent(hive(), key);
    if (liListers().contains(parent))
        refuseDelete(name,
                     "the subkeys of " + keyLabel(parent) +
                         " are listed in the older \"li\" form, from which no key is removed here");
    const hive_node_h root = hivex_root(hive());
    struct Pending {
        hive_node_h key;
        std::size_t depth; // below the deleted key
    };
    std::vector<Pending> stack{{key, 0}};
    CellsMet cells{key};
    std::vector<hive_node_h> subtree;
    while (!stack.empty()) {
        Pending at = stack.back();
        stack.pop_back();
        subtree.push_back(at.key);
        refuseIfUnsafe(at.key, "cannot delete the key \"" + std::string(name) + "\"");
        checkDeletableKey(at.key, cells, name);
        errno = 0;
        Owned<hive_node_h> list(hivex_node_children(hive(), at.key));
        if (!list)
            refuseDelete(name, "the subkeys of " + keyLabel(at.key) + " cannot be read");
        if (*list != 0 && at.depth + 1 >= regfile::kMaxKeyDepth)
            refuseDelete(name, "its subkeys are nested deeper than " +
                                   std::to_string(regfile::kMaxKeyDepth) + " levels");
        for (const hive_node_h* child = list.get(); *child != 0; ++child) {
            errno = 0;
            if (*child == root || hivex_node_parent(hive(), *child) != at.key)
                refuseDelete(name, "the subkey list of " + keyLabel(at.key) +
                                       " leads to the key at offset " + hexOffset(*child) +
                                       ", which is not one of its keys (a damaged hive)");
            meetOnce(*child, cells, name);
            stack.push_back({*child, at.depth + 1});
        }
    }
    return subtree;
}

const std::unordered_set<hive_node_h>& HiveStore::unsafeKeys() {
    if (!unsafeKeys_)
        unsafeKeys_ = mapping_->keysUnsafeToChange();
    return *unsafeKeys_;
}

void HiveStore::refuseIfUnsafe(hive_node_h key, const std::string& what) {
    if (unsafeKeys().contains(key))
        throw registry::StoreError(path_ + ": " + what + ": the cells of " + keyLabel(key) +
                                   " are damaged (a subkey list, value, class name or security " +
                                   "cell that is no cell of its own)");
}

const std::unordered_set<hive_node_h>& HiveStore::liListers() {
    if (!liListers_)
        liListers_ = mapping_->keysWithLiLists();
    return *liListers_;
}

} // namespace moxalo::hive
