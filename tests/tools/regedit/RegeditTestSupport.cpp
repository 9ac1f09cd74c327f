#include "tests/tools/regedit/RegeditTestSupport.h"

#include "base/NameFold.h"
#include "base/Utf16.h"
#include "registry/Sources.h"
#include "registry/hivewriter/HiveWriter.h"
#include "registry/regedit/RegFileImport.h"
#include "runtime/ChooseSources.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

namespace moxalo::testing {

namespace {

std::string hex(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    char digits[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", b);
        out += digits;
    }
    return out;
}

void dumpKey(registry::RegistryStore& store, registry::NodeId key, const std::string& path,
             std::string& out) {
    out += path + "\n";
    for (std::size_t i = 0, n = store.valueCount(key); i < n; ++i) {
        registry::RegValue value = store.valueAt(key, i);
        out += path + "|" + std::string(store.valueName(key, i)) + "|" +
               std::to_string(value.type) + "|" + hex(value.data) + "\n";
    }
    std::vector<std::pair<std::string, registry::NodeId>> children;
    for (std::size_t i = 0, n = store.childCount(key); i < n; ++i)
        children.emplace_back(std::string(store.childName(key, i)), store.childAt(key, i));
    std::sort(children.begin(), children.end(), [](const auto& a, const auto& b) {
        return registry::compareNames(a.first, b.first) < 0;
    });
    for (const auto& [name, child] : children)
        dumpKey(store, child, path + "\\" + name, out);
}

std::string wineFile(const std::string& root, const std::string& classes) {
    std::string text =
        "WINE REGISTRY Version 2\n;; All keys relative to " + root + "\n\n#arch=win64\n";
    std::string section;
    for (std::size_t start = 0; start < classes.size();) {
        std::size_t end = std::min(classes.find('\n', start), classes.size());
        std::string line = classes.substr(start, end - start);
        if (line.starts_with("[")) {
            std::string name = line.substr(1, line.size() - 2);
            std::string escaped;
            for (char c : name)
                escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
            text +=
                "\n[Software\\\\Classes\\\\" + escaped + "] 1700000000\n#time=1da0c0f7d0e4000\n";
        } else if (!line.empty()) {
            text += line + "\n";
        }
        start = end + 1;
    }
    return text;
}

} // namespace

std::string unicodeRegFile(const std::string& text) {
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    auto wide = text::utf8ToUtf16le(crlf);
    return "\xFF\xFE" + std::string(wide.begin(), wide.end());
}

void writeWinePrefix(const std::string& folder, const std::string& machineClasses,
                     const std::string& userClasses) {
    std::filesystem::create_directories(folder);
    writeFile(folder + "/system.reg", wineFile("REGISTRY\\\\Machine", machineClasses));
    writeFile(folder + "/user.reg",
              wineFile("REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000", userClasses));
}

void writeHiveFrom(const std::string& path, const std::string& regText, bool software) {
    registry::MemoryStore store;
    regfile::importRegFile(regText, store);
    registry::NodeId classes = store.findPath(store.rootNode(), "HKEY_CLASSES_ROOT");
    ASSERT_NE(classes, registry::kNoNode);
    if (!software) {
        hive::writeHive(store, classes, path, runtime::kHolderKeyPrefix);
        return;
    }
    registry::MemoryStore top;
    registry::NodeId at = top.createKey(top.rootNode(), "Classes");
    std::vector<std::pair<registry::NodeId, registry::NodeId>> stack{{classes, at}};
    while (!stack.empty()) {
        auto [from, to] = stack.back();
        stack.pop_back();
        for (std::size_t i = 0; i < store.valueCount(from); ++i)
            top.setValue(to, store.valueName(from, i), store.valueAt(from, i));
        for (std::size_t i = 0; i < store.childCount(from); ++i)
            stack.emplace_back(store.childAt(from, i), top.createKey(to, store.childName(from, i)));
    }
    hive::writeHive(top, top.rootNode(), path, runtime::kHolderKeyPrefix);
}

std::string dumpTree(registry::RegistryStore& store, registry::NodeId key) {
    std::string out;
    dumpKey(store, key, "", out);
    return out;
}

std::string stringLine(const std::string& path, const std::string& name, const std::string& text,
                       int type) {
    return path + "|" + name + "|" + std::to_string(type) + "|" + hex(text::stringValueData(text)) +
           "\n";
}

std::string dumpClasses(const std::vector<std::string>& sources) {
    auto opened = *registry::openRegistry(registry::SourceChoice{sources, "test", false});
    return dumpTree(opened.registry->view(), opened.registry->rootKey());
}

std::string dumpLayers(const std::vector<std::string>& sources) {
    auto opened = *registry::openRegistry(registry::SourceChoice{sources, "test", false});
    std::string out;
    for (const auto& layer : opened.registry->layers())
        out += (layer.user ? "user\n" : "machine\n") + dumpTree(*layer.store, layer.key);
    return out;
}

} // namespace moxalo::testing
