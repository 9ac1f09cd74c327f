#include "registry/regedit/RegFileExport.h"

#include "base/ByteOrderMark.h"
#include "base/NameFold.h"
#include "base/Utf16.h"
#include "registry/Attempt.h"
#include "registry/ShownName.h"
#include "registry/regedit/RegFileImport.h"
#include "registry/regedit/RegFileNames.h"
#include "registry/regedit/RegFileRoots.h"
#include "registry/regedit/RegFileValueFormat.h"

#include <algorithm>
#include <unordered_set>

namespace moxalo::regfile {

namespace {

using registry::MemoryStore;
using registry::NodeId;

// A key still to be written, with its full path; a stack of these walks the tree depth-first
// without recursion, so a deep tree cannot overflow the call stack.
struct PendingKey {
    NodeId key;
    std::string path;
    std::size_t depth;
    bool throughLink = false; // below a link, in the keys it leads to
};

// A link is written as the key it leads to, under the link's own name, as regedit writes it:
// its target value is never written. One that leads nowhere, to a key above itself or from
// among another link's keys is left out, as regedit leaves out a key it cannot open; so is a
// second link to a key one link has led to already. So the walk never loops, nor follows links
// into links, and many links to one large key cannot multiply the export. The key asked for is
// written all the same, bare: the export always holds it.
enum class LinkWay { Key, Bare, LeftOut };

LinkWay followLink(registry::RegistryStore& store, PendingKey& at, const std::vector<NodeId>& above,
                   std::unordered_set<NodeId>& followed) {
    std::optional<NodeId> target = store.linkTarget(at.key);
    if (!target)
        return LinkWay::Key;
    if (*target == registry::kNoNode || at.throughLink ||
        std::find(above.begin(), above.end(), *target) != above.end() ||
        !followed.insert(*target).second)
        return at.depth == 0 ? LinkWay::Bare : LinkWay::LeftOut;
    at.key = *target;
    at.throughLink = true;
    return LinkWay::Key;
}

void checkDepth(const PendingKey& key) {
    if (key.depth + 1 >= kMaxKeyDepth)
        throw registry::StoreError("cannot write " + key.path +
                                   ": its subkeys are nested deeper than " +
                                   std::to_string(kMaxKeyDepth) + " levels");
}

std::string headerLine(int version) {
    return std::string(version == 4 ? kHeaderVersion4 : kHeaderVersion5) + "\r\n";
}

std::string encode(const std::string& text, const ExportFormat& format) {
    if (!format.unicode)
        return format.codePage.fromUtf8(text);
    std::string out(text::kUtf16leMark);
    text::appendUtf16le(out, text);
    return out;
}

void appendKeyLine(std::string& out, const std::string& path) {
    out += "\r\n[" + path + "]\r\n";
}

// A name that the file could not give back as itself is never written: read back, it would
// name another key, or end its line and start lines of its own.
[[noreturn]] void refuse(std::string_view path, std::string_view what) {
    throw registry::StoreError("cannot write " + registry::shownPath(path) + ": " +
                               std::string(what));
}

void checkKeyName(std::string_view parentPath, std::string_view name) {
    if (std::string_view why = unwritableKeyName(name); !why.empty())
        refuse(std::string(parentPath) + (parentPath.empty() ? "" : "\\") +
                   registry::shownName(name),
               "its name " + std::string(why));
}

void checkValueName(const PendingKey& at, std::string_view name) {
    if (std::string_view why = unwritableValueName(name); !why.empty())
        refuse(at.path,
               "the name of its value \"" + registry::shownName(name) + "\" " + std::string(why));
}

// `child` is listed under `name`. A store lists a key whose own name no path can give under a
// stand-in with U+FFFD in it, which leads to no key (see UnnameableKey.h): only such a name is
// looked up again.
void checkSubkey(registry::RegistryStore& store, const PendingKey& at, const std::string& name,
                 NodeId child) {
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD
    checkKeyName(at.path, name);
    if (child == registry::kNoNode ||
        (name.find(kReplacement) != std::string::npos && store.findChild(at.key, name) != child))
        refuse(at.path + "\\" + registry::shownName(name),
               "its name is not its own: the registry is damaged there");
}

// Subkeys in the order regedit writes them: by name, without regard to case.
std::vector<std::pair<std::string, NodeId>> sortedSubkeys(registry::RegistryStore& store,
                                                          const PendingKey& at) {
    std::vector<std::pair<std::string, NodeId>> subkeys;
    std::size_t count = store.childCount(at.key);
    subkeys.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::string name(store.childName(at.key, i));
        NodeId child = store.childAt(at.key, i);
        checkSubkey(store, at, name, child);
        subkeys.emplace_back(std::move(name), child);
    }
    std::stable_sort(subkeys.begin(), subkeys.end(), [](const auto& a, const auto& b) {
        return registry::compareNames(a.first, b.first) < 0;
    });
    return subkeys;
}

bool writtenInTree(const MemoryStore::Node& node) {
    return node.listed || !node.values.empty() || node.children.empty();
}

// Writes the keys' text to `sink` a piece at a time; throws StoreError.
void writeKeys(const std::vector<ExportedKey>& keys,
               const std::function<bool(std::string_view)>& sink) {
    // Each key's text is made in UTF-8, widened into `wide`, and `wide` goes to the sink once
    // it holds this much.
    constexpr std::size_t kPieceBytes = std::size_t{1} << 20;
    std::string text = headerLine(5);
    std::string wide(text::kUtf16leMark);
    // False once the sink wants no more.
    auto widen = [&](bool last) {
        text::appendUtf16le(wide, text);
        text.clear();
        if (!last && wide.size() < kPieceBytes)
            return true;
        bool more = sink(wide);
        wide.clear();
        return more;
    };
    const ValueStyle style;
    for (const ExportedKey& top : keys) {
        registry::RegistryStore& store = *top.store;
        if (std::string_view why = unwritableKeyPath(top.fullPath); !why.empty())
            refuse(top.fullPath, "a key name in its path " + std::string(why));
        std::vector<PendingKey> stack{{top.key, top.fullPath, 0}};
        // The keys above the one being written: a damaged hive can list a key below itself,
        // and the walk would then never end.
        std::vector<NodeId> above;
        std::unordered_set<NodeId> followed; // the keys links have led to
        while (!stack.empty()) {
            PendingKey at = std::move(stack.back());
            stack.pop_back();
            above.resize(at.depth);
            LinkWay way = followLink(store, at, above, followed);
            if (way == LinkWay::LeftOut)
                continue;
            if (way == LinkWay::Bare) {
                appendKeyLine(text, at.path);
                continue;
            }
            if (std::find(above.begin(), above.end(), at.key) != above.end())
                throw registry::StoreError(
                    "cannot write " + at.path +
                    ": the key is listed again below itself (damaged registry)");
            above.push_back(at.key);
            appendKeyLine(text, at.path);
            for (std::size_t i = 0, n = store.valueCount(at.key); i < n; ++i) {
                std::string_view name = store.valueName(at.key, i);
                checkValueName(at, name);
                appendValueLine(text, name, store.valueAt(at.key, i), style);
            }
            auto subkeys = sortedSubkeys(store, at);
            store.forget(at.key);
            if (!subkeys.empty())
                checkDepth(at);
            for (auto it = subkeys.rbegin(); it != subkeys.rend(); ++it)
                stack.push_back(
                    {it->second, at.path + "\\" + it->first, at.depth + 1, at.throughLink});
            if (!widen(false))
                return;
        }
    }
    text += "\r\n";
    widen(true);
}

} // namespace

std::string exportRegFile(registry::RegistryStore& store, NodeId key, std::string_view fullPath) {
    return exportRegFile({{&store, key, std::string(fullPath)}});
}

std::string exportRegFile(const std::vector<ExportedKey>& keys) {
    std::string out;
    writeKeys(keys, [&out](std::string_view piece) {
        out += piece;
        return true;
    });
    return out;
}

Result<> exportRegFile(const std::vector<ExportedKey>& keys,
                       const std::function<bool(std::string_view)>& sink) {
    return registry::attempt([&] { writeKeys(keys, sink); });
}

std::string exportRegFileTree(MemoryStore& store, ExportFormat format) {
    std::string out = headerLine(format.version);
    ValueStyle style{format.unicode, true, format.codePage};
    std::vector<PendingKey> stack;
    const auto& roots = store.children(*MemoryStore::node(store.rootNode()));
    for (auto it = roots.rbegin(); it != roots.rend(); ++it) {
        checkKeyName("", (*it)->name);
        stack.push_back({MemoryStore::id(*it), std::string((*it)->name), 0});
    }
    while (!stack.empty()) {
        PendingKey at = std::move(stack.back());
        stack.pop_back();
        MemoryStore::Node& node = *MemoryStore::node(at.key);
        if (writtenInTree(node)) {
            appendKeyLine(out, at.path);
            for (const auto& value : node.values) {
                checkValueName(at, value.name);
                appendValueLine(out, value.name, value.value(), style);
            }
        }
        const auto& children = store.children(node);
        if (!children.empty())
            checkDepth(at);
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            checkKeyName(at.path, (*it)->name);
            std::string path = at.path + "\\";
            path += (*it)->name;
            stack.push_back({MemoryStore::id(*it), std::move(path), at.depth + 1});
        }
    }
    out += "\r\n";
    return encode(out, format);
}

} // namespace moxalo::regfile
