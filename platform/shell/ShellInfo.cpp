#include "platform/shell/ShellInfo.h"

#include "base/NameFold.h"
#include "base/Utf16.h"
#include "platform/advapi/RegistryApi.h"
#include "platform/advapi/RegistrySession.h"
#include "platform/advapi/StringValue.h"

#include <algorithm>
#include <any>
#include <cstring>
#include <string>

namespace moxalo::shell {

using namespace registry;

namespace {

std::string defaultValueOf(const std::string& path) {
    HKEY key = 0;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    std::string text = StringValueText(key, "");
    RegCloseKey(key);
    return text;
}

// "@dll,-id" names a string resource, which cannot be loaded without the DLL.
bool isPlainText(const std::string& text) {
    return !text.empty() && text[0] != '@';
}

std::string typeKeyName(const std::string& typeKey) {
    HKEY key = 0;
    if (typeKey.empty() ||
        RegOpenKeyExA(HKEY_CLASSES_ROOT, typeKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    std::string friendly = StringValueText(key, "FriendlyTypeName");
    std::string name = isPlainText(friendly) ? friendly : StringValueText(key, "");
    RegCloseKey(key);
    return name;
}

std::string extensionOf(const char* path) {
    const char* slash = std::strrchr(path, '\\');
    const char* name = slash ? slash + 1 : path;
    const char* dot = std::strrchr(name, '.');
    return dot ? std::string(dot) : std::string();
}

// Cuts UTF-8 text to fit `room` bytes with its NUL, never inside a character.
void copyCut(char* target, std::size_t room, const std::string& text) {
    std::size_t n = std::min(text.size(), room - 1);
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    std::memcpy(target, text.data(), n);
    target[n] = '\0';
}

// The shell keeps the last type it looked up until the registry changes: the list asks for
// each extension twice, once for each size of icon.
struct KnownType {
    std::uint64_t changes = 0;
    std::string extension;
    std::string typeName;
};

std::string knownTypeName(const std::string& dottedExtension) {
    registry::RegistrySession* session = registry::mountedSession();
    if (session == nullptr)
        return TypeNameOfExtension(dottedExtension);
    std::any& cache = session->shellCache();
    if (!cache.has_value())
        cache = KnownType{};
    auto& known = std::any_cast<KnownType&>(cache);
    std::uint64_t changes = session->changeCount();
    if (changes == 0 || known.changes != changes || known.extension != dottedExtension) {
        known.typeName = TypeNameOfExtension(dottedExtension);
        known.extension = dottedExtension;
        known.changes = changes;
    }
    return known.typeName;
}

} // namespace

std::string TypeNameOfExtension(const std::string& dottedExtension) {
    std::string name = typeKeyName(defaultValueOf(dottedExtension));
    if (!name.empty())
        return name;
    std::string bare = dottedExtension.empty() ? "" : dottedExtension.substr(1);
    return bare.empty() ? "File" : foldName(bare) + " File";
}

std::uintptr_t SHGetFileInfoA(const char* pszPath, DWORD /*dwFileAttributes*/, SHFILEINFOA* psfi,
                              unsigned cbFileInfo, unsigned uFlags) {
    if (pszPath == nullptr || psfi == nullptr || cbFileInfo < sizeof(SHFILEINFOA))
        return 0;
    *psfi = SHFILEINFOA{};
    if (uFlags & SHGFI_TYPENAME)
        copyCut(psfi->szTypeName, sizeof psfi->szTypeName, knownTypeName(extensionOf(pszPath)));
    if (uFlags & SHGFI_DISPLAYNAME)
        copyCut(psfi->szDisplayName, sizeof psfi->szDisplayName, pszPath);
    return 1;
}

} // namespace moxalo::shell
