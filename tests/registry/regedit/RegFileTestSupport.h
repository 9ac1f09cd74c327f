#pragma once
// Helpers for the .reg tests: files built from UTF-8 text in either encoding, and looking up
// what an import left in the store.

#include "base/Utf16.h"
#include "registry/MemoryStore.h"
#include "registry/regedit/RegFileImport.h"
#include "tests/support/TestRegistry.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace moxalo::registry {
// Failure messages show a value as its type and bytes.
inline void PrintTo(const RegValue& value, std::ostream* out) {
    *out << "type " << value.type << ":";
    for (std::uint8_t b : value.data)
        *out << ' ' << std::hex << int(b) << std::dec;
}
} // namespace moxalo::registry

namespace moxalo::regfile::test {

inline std::string bytesOf(const std::vector<std::uint8_t>& data) {
    return std::string(data.begin(), data.end());
}

// The file as regedit reads it: UTF-16LE with a byte order mark, or the 8-bit text as given.
inline std::string fileBytes(std::string_view utf8, bool unicode) {
    return unicode ? "\xFF\xFE" + bytesOf(text::utf8ToUtf16le(utf8)) : std::string(utf8);
}

struct Imported {
    registry::MemoryStore store;
    ImportResult result;

    registry::NodeId key(std::string_view path) { return store.findPath(store.rootNode(), path); }
    std::optional<registry::RegValue> value(std::string_view path, std::string_view name) {
        registry::NodeId at = key(path);
        return at == registry::kNoNode ? std::nullopt : store.findValue(at, name);
    }
    // The text of a REG_SZ value, or "<missing>".
    std::string text(std::string_view path, std::string_view name) {
        auto v = value(path, name);
        if (!v)
            return "<missing>";
        return text::utf16leToUtf8(v->data.data(), v->data.size() >= 2 ? v->data.size() - 2 : 0);
    }
    std::string diagnostics() const {
        std::string out;
        for (const Diagnostic& d : result.diagnostics)
            out += std::to_string(d.line) + ": " + d.message + "\n";
        return out;
    }
    // The line of each diagnostic, in order.
    std::vector<int> lines() const {
        std::vector<int> out;
        for (const Diagnostic& d : result.diagnostics)
            out.push_back(d.line);
        return out;
    }
};

// Imports `body` after a version 5 header line.
inline std::unique_ptr<Imported> importBody(std::string_view body, bool unicode = true) {
    auto imported = std::make_unique<Imported>();
    std::string text = std::string(kHeaderVersion5) + "\r\n" + std::string(body);
    imported->result = importRegFile(fileBytes(text, unicode), imported->store);
    return imported;
}

inline std::string readFixture(const std::string& name) {
    return testing::readFile(std::string(MOXALO_FIXTURES) + "/regfile/" + name);
}

using testing::sz;

} // namespace moxalo::regfile::test
