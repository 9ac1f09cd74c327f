#include "tests/support/TestRegistry.h"

#include "base/Utf16.h"
#include "platform/advapi/RegistryApi.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace moxalo::testing {

using namespace registry;

RegValue sz(const std::string& text) {
    return {REG_SZ, text::stringValueData(text)};
}

RegValue expandSz(const std::string& text) {
    return {REG_EXPAND_SZ, text::stringValueData(text)};
}

RegValue dword(std::uint32_t n) {
    return {REG_DWORD,
            {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
             static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)}};
}

RegValue unterminatedSz(const std::string& text) {
    return {REG_SZ, text::utf8ToUtf16le(text)};
}

void put(MemoryStore& store, const std::string& path, const std::string& name,
         const RegValue& value) {
    store.setValue(store.createPath(path), name, value);
}

namespace {

// The session a test's registry functions answer from: one per test program, mounted from its
// first use on.
RegistrySession& testSession() {
    static RegistrySession session;
    static MountedSession mounted(session);
    return session;
}

} // namespace

void mountRegistry(std::shared_ptr<Registry> registry) {
    testSession().open(std::move(registry));
}

std::vector<std::string> takeRegistryProblems() {
    return testSession().takeProblems();
}

std::string lastRegistryError() {
    return testSession().lastError();
}

MemoryStore& mountMemory(std::unique_ptr<MemoryStore> store) {
    MemoryStore& ref = *store;
    NodeId root = store->rootNode();
    std::vector<std::unique_ptr<RegistryStore>> stores;
    stores.push_back(std::move(store));
    mountRegistry(std::make_shared<Registry>(std::move(stores),
                                             std::vector<ClassesLayer>{{&ref, root, false}}));
    return ref;
}

void mountLayers(std::unique_ptr<MemoryStore> user, std::unique_ptr<MemoryStore> machine) {
    std::vector<ClassesLayer> layers{{user.get(), user->rootNode(), true},
                                     {machine.get(), machine->rootNode(), false}};
    std::vector<std::unique_ptr<RegistryStore>> stores;
    stores.push_back(std::move(user));
    stores.push_back(std::move(machine));
    mountRegistry(std::make_shared<Registry>(std::move(stores), layers));
}

std::vector<std::string> valueNames(RegistryStore& store, NodeId key) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < store.valueCount(key); ++i)
        names.emplace_back(store.valueName(key, i));
    return names;
}

std::vector<std::string> subkeysOf(const std::string& path) {
    HKEY key = 0;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {"(not opened)"};
    std::vector<std::string> names;
    char name[MAX_PATH];
    for (DWORD i = 0;; ++i) {
        DWORD size = MAX_PATH;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != 0)
            break;
        names.emplace_back(name, size);
    }
    RegCloseKey(key);
    return names;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "moxalo-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests make files read-only; give write access back so that everything can go.
    for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ec))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

} // namespace moxalo::testing
