#include "bench/SyntheticKeys.h"

#include "base/Utf16.h"

#include <array>
#include <cstdio>

namespace moxalo::bench {

using registry::MemoryStore;
using registry::NodeId;
using registry::RegValue;

namespace {

// Applications and vendors are drawn from small pools, as on a real machine many types share
// a handful of programs.
constexpr std::size_t kApplications = 40;
constexpr std::size_t kVendors = 60;
// A real OpenWithList names one program or a few.
constexpr std::size_t kMaxOpenWithApps = 4;

constexpr std::array<const char*, 10> kVerbNames = {
    "open", "edit", "print", "printto", "play", "preview", "openas", "runas", "explore", "find"};
constexpr std::array<const char*, 5> kPerceivedTypes = {"text", "image", "audio", "video",
                                                        "document"};

void setText(MemoryStore& store, NodeId key, std::string_view name, std::string_view text,
             registry::DWORD type = registry::REG_SZ) {
    store.setValue(key, name, RegValue{type, text::stringValueData(text)});
}

void setDword(MemoryStore& store, NodeId key, std::string_view name, std::uint32_t n) {
    RegValue value{registry::REG_DWORD, {}};
    for (int shift = 0; shift < 32; shift += 8)
        value.data.push_back(static_cast<std::uint8_t>(n >> shift));
    store.setValue(key, name, value);
}

std::string application(Dice& dice) {
    return numbered("app%02zu.exe", dice.below(kApplications) + 1);
}

// Most programs are named by a plain path; some, as on a real machine, through %ProgramFiles%
// in a REG_EXPAND_SZ value.
struct Program {
    std::string path;
    registry::DWORD type;
};

Program vendorProgram(Dice& dice) {
    bool expand = dice.chance(0.3);
    std::string folder = expand ? "%ProgramFiles%" : "C:\\Program Files";
    std::string path = folder + numbered("\\Vendor%02zu\\", dice.below(kVendors) + 1);
    return {path + application(dice), expand ? registry::REG_EXPAND_SZ : registry::REG_SZ};
}

std::string displayName(const std::string& verb) {
    std::string text = "&" + verb;
    text[1] = static_cast<char>(text[1] - 'a' + 'A');
    return text;
}

std::string verbName(std::size_t index) {
    return index < kVerbNames.size() ? kVerbNames[index] : numbered("verb%zu", index + 1);
}

void writeOpenWithList(MemoryStore& store, NodeId extension, Dice& dice) {
    NodeId list = store.createKey(extension, "OpenWithList");
    std::size_t apps = dice.below(kMaxOpenWithApps) + 1;
    for (std::size_t i = 0; i < apps; ++i)
        store.createKey(list, application(dice));
}

void writeVerbs(MemoryStore& store, NodeId type, std::size_t verbs, Dice& dice) {
    NodeId shell = store.createKey(type, "shell");
    if (verbs == 0)
        return;
    setText(store, shell, "", verbName(0));
    Program program = vendorProgram(dice);
    for (std::size_t i = 0; i < verbs; ++i) {
        std::string verb = verbName(i);
        NodeId verbKey = store.createKey(shell, verb);
        if (dice.chance(0.5))
            setText(store, verbKey, "", displayName(verb));
        NodeId command = store.createKey(verbKey, "command");
        setText(store, command, "", "\"" + program.path + "\" /" + verb + " \"%1\"", program.type);
    }
}

} // namespace

void writeExtensionKey(MemoryStore& store, NodeId key, const ExtensionKey& extension, Dice& dice) {
    if (!extension.typeName.empty())
        setText(store, key, "", extension.typeName);
    if (dice.chance(0.6))
        setText(store, key, "Content Type", "application/x-" + extension.name.substr(1));
    if (dice.chance(0.3))
        setText(store, key, "PerceivedType", kPerceivedTypes[dice.below(kPerceivedTypes.size())]);
    if (!extension.typeName.empty() && dice.chance(0.5)) {
        NodeId progIds = store.createKey(key, "OpenWithProgids");
        store.setValue(progIds, extension.typeName, RegValue{registry::REG_NONE, {}});
    }
    if (dice.chance(extension.openWithShare))
        writeOpenWithList(store, key, dice);
    if (dice.chance(0.05))
        setText(store, store.createKey(key, "ShellNew"), "NullFile", "");
}

void writeTypeKey(MemoryStore& store, NodeId key, std::size_t number, std::size_t verbs,
                  Dice& dice) {
    std::string typeName = numbered("Synthetic Document %04zu", number);
    setText(store, key, "", typeName);
    if (dice.chance(0.15))
        setText(store, key, "FriendlyTypeName", typeName + " (friendly)");
    else if (dice.chance(0.15))
        setText(store, key, "FriendlyTypeName",
                numbered("@%%SystemRoot%%\\System32\\shell32.dll,-%zu", 10000 + number),
                registry::REG_EXPAND_SZ);
    if (dice.chance(0.3))
        setDword(store, key, "EditFlags", 0x10000);
    NodeId icon = store.createKey(key, "DefaultIcon");
    Program program = vendorProgram(dice);
    setText(store, icon, "", program.path + numbered(",%zu", dice.below(8)), program.type);
    writeVerbs(store, key, verbs, dice);
}

void writeClsidKey(MemoryStore& store, NodeId key, std::size_t number, Dice& dice) {
    std::size_t vendor = dice.below(kVendors) + 1;
    setText(store, key, "", numbered("Vendor%02zu ", vendor) + numbered("Component %zu", number));
    NodeId server = store.createKey(key, "InprocServer32");
    setText(store, server, "", numbered("%%SystemRoot%%\\System32\\component%zu.dll", number),
            registry::REG_EXPAND_SZ);
    setText(store, server, "ThreadingModel", dice.chance(0.7) ? "Both" : "Apartment");
    if (dice.chance(0.5))
        setText(store, store.createKey(key, "ProgID"), "",
                numbered("Vendor%02zu.Component.", vendor) + std::to_string(number));
}

void writeProgIdKey(MemoryStore& store, NodeId key, std::size_t number, Dice& dice) {
    setText(store, key, "", numbered("Synthetic Application %zu", number));
    setText(store, store.createKey(key, "CLSID"), "", classId(number, dice));
    if (dice.chance(0.3))
        setText(store, store.createKey(key, "CurVer"), "",
                std::string(MemoryStore::node(key)->name) + ".1");
}

std::string numbered(const char* format, std::size_t n) {
    char text[64];
    std::snprintf(text, sizeof text, format, n);
    return text;
}

std::string progIdName(std::size_t number, Dice& dice) {
    return numbered("Vendor%02zu.App.", dice.below(kVendors) + 1) + std::to_string(number);
}

std::string classId(std::size_t number, Dice& dice) {
    std::uint64_t a = dice.bits();
    std::uint64_t b = dice.bits();
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%04X%08X}",
                  static_cast<unsigned>(a >> 32), static_cast<unsigned>((a >> 16) & 0xFFFF),
                  static_cast<unsigned>(a & 0xFFFF), static_cast<unsigned>(b >> 48),
                  static_cast<unsigned>((b >> 32) & 0xFFFF), static_cast<unsigned>(number));
    return text;
}

} // namespace moxalo::bench
