#pragma once
// The content of one synthetic key of each kind, as such keys look on a real machine.

#include "bench/Dice.h"
#include "registry/MemoryStore.h"

#include <cstddef>
#include <string>

namespace moxalo::bench {

struct ExtensionKey {
    std::string name;     // ".ext0001"
    std::string typeName; // the default value; empty for an extension without one
    double openWithShare = 0;
};

// Default value, Content Type and PerceivedType on some, OpenWithProgids, OpenWithList with a
// few applications on a share of them, ShellNew on a few.
void writeExtensionKey(registry::MemoryStore& store, registry::NodeId key,
                       const ExtensionKey& extension, Dice& dice);
// Type name, FriendlyTypeName on some (plain or indirect), DefaultIcon and `verbs` shell verbs
// each with a command, the first one the default verb.
void writeTypeKey(registry::MemoryStore& store, registry::NodeId key, std::size_t number,
                  std::size_t verbs, Dice& dice);
// A COM class: description and InprocServer32, ProgID on some.
void writeClsidKey(registry::MemoryStore& store, registry::NodeId key, std::size_t number,
                   Dice& dice);
// A ProgID of an application: description and CLSID, CurVer on some.
void writeProgIdKey(registry::MemoryStore& store, registry::NodeId key, std::size_t number,
                    Dice& dice);

// `format` with its one number filled in.
std::string numbered(const char* format, std::size_t n);
// The name of an application's ProgID, "Vendor07.App.<number>".
std::string progIdName(std::size_t number, Dice& dice);
// A class identifier in registry form, "{8-4-4-4-12}" hex digits; `number` goes into the last
// group so that different numbers never give the same identifier.
std::string classId(std::size_t number, Dice& dice);

} // namespace moxalo::bench
