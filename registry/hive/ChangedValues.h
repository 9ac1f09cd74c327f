#pragma once
// The values of one hive key once a change has touched them: all of them, in the key's order,
// as they are to be written. libhivex writes a key's values only as a whole new list, each
// time in new cells, so a key's changes gather here and its list is written once per save.

#include "base/NameFold.h"
#include "registry/RegistryStore.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace moxalo::hive {

class ChangedValues {
public:
    struct Entry {
        std::string name;
        registry::RegValue value;
        bool removed = false;
    };

    // Appends a value the key already has. A damaged hive can hold one name twice: lookups
    // find the first, and a removal takes them all.
    void keep(std::string name, registry::RegValue value);
    // Found without regard to case; nullptr when the key has no such value.
    const registry::RegValue* find(std::string_view name) const;
    // A value the key has keeps its name's spelling and its place; a new one goes last.
    void set(std::string_view name, const registry::RegValue& value);
    void remove(std::string_view name);
    std::size_t size() const { return entries_.size() - removed_; }
    // By position, in order, as the list is to be written.
    const Entry& at(std::size_t index);
    const std::vector<Entry>& inOrder();

private:
    // Removed entries stay in place until the list is next read by position, so that a run of
    // removals costs no more than one pass.
    void compact();

    std::vector<Entry> entries_;
    std::unordered_map<std::string, std::size_t, registry::NameHash, registry::SameName> byName_;
    std::size_t removed_ = 0;
    bool twins_ = false; // some name is there twice
};

} // namespace moxalo::hive
