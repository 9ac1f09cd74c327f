#include "platform/registry/RegistryApi.h"

#include "platform/registry/NameFold.h"
#include "platform/registry/Registry.h"
#include "platform/registry/Utf16.h"

#include <cstring>
#include <mutex>
#include <string_view>
#include <unordered_map>

namespace moxalo::registry {

namespace {

struct OpenKey {
    NodeId node = kNoNode;
    std::string foldedPath; // from the root, "\"-separated, for finding handles a delete affects
    bool deleted = false;
};

// The state behind the functions. The program calls them from its one thread; the mutex only
// keeps a stray second thread from corrupting the table.
struct ApiState {
    std::mutex lock;
    std::shared_ptr<Registry> registry;
    std::unordered_map<HKEY, OpenKey> handles;
    HKEY nextHandle = 0x100;
    std::string lastError;
};

ApiState& state() {
    static ApiState s;
    return s;
}

// Resolves a handle; HKEY_CLASSES_ROOT is always open while a registry is mounted.
LONG lookup(ApiState& s, HKEY hKey, OpenKey& out) {
    if (!s.registry)
        return ERROR_INVALID_HANDLE;
    if (hKey == HKEY_CLASSES_ROOT) {
        out = OpenKey{s.registry->rootKey(), {}, false};
        return ERROR_SUCCESS;
    }
    auto it = s.handles.find(hKey);
    if (it == s.handles.end())
        return ERROR_INVALID_HANDLE;
    out = it->second;
    return out.deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

// Walks a subkey path ("a\b\", a leading or doubled "\" tolerated) from `from`.
LONG walk(RegistryStore& view, OpenKey from, std::string_view path, OpenKey& out) {
    out = from;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = std::min(path.find('\\', start), path.size());
        std::string_view part = path.substr(start, end - start);
        if (!part.empty()) {
            if (part.size() > MAX_KEY_NAME)
                return ERROR_INVALID_PARAMETER;
            out.node = view.findChild(out.node, part);
            if (out.node == kNoNode)
                return ERROR_FILE_NOT_FOUND;
            out.foldedPath += (out.foldedPath.empty() ? "" : "\\") + foldName(part);
        }
        start = end + 1;
    }
    return ERROR_SUCCESS;
}

HKEY newHandle(ApiState& s) {
    while (s.nextHandle == 0 || s.nextHandle >= HKEY_CLASSES_ROOT || s.handles.count(s.nextHandle))
        s.nextHandle = s.nextHandle >= HKEY_CLASSES_ROOT ? 0x100 : s.nextHandle + 4;
    HKEY h = s.nextHandle;
    s.nextHandle += 4;
    return h;
}

bool isTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

void markDeleted(ApiState& s, const std::string& foldedPath) {
    for (auto& [handle, key] : s.handles) {
        const std::string& p = key.foldedPath;
        if (p == foldedPath || (p.size() > foldedPath.size() && p.starts_with(foldedPath) &&
                                p[foldedPath.size()] == '\\'))
            key.deleted = true;
    }
}

// Hands a name to the caller's buffer of *count characters, NUL included.
LONG copyName(std::string_view name, LPSTR buffer, LPDWORD count) {
    if (name.size() + 1 > *count)
        return ERROR_MORE_DATA;
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    *count = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// Hands a value's data to the caller as the 8-bit functions do: string types converted.
LONG copyValue(const RegValue& value, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    std::string text;
    std::string_view bytes(reinterpret_cast<const char*>(value.data.data()), value.data.size());
    if (isTextType(value.type)) {
        text = utf16leToUtf8(value.data);
        bytes = text;
    }
    if (lpType != nullptr)
        *lpType = value.type;
    if (lpData == nullptr) {
        if (lpcbData != nullptr)
            *lpcbData = static_cast<DWORD>(bytes.size());
        return ERROR_SUCCESS;
    }
    if (lpcbData == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (*lpcbData < bytes.size()) {
        *lpcbData = static_cast<DWORD>(bytes.size());
        return ERROR_MORE_DATA;
    }
    std::memcpy(lpData, bytes.data(), bytes.size());
    *lpcbData = static_cast<DWORD>(bytes.size());
    return ERROR_SUCCESS;
}

} // namespace

void mountRegistry(std::shared_ptr<Registry> registry) {
    ApiState& s = state();
    std::lock_guard guard(s.lock);
    s.handles.clear();
    s.registry = std::move(registry);
}

std::shared_ptr<Registry> mountedRegistry() {
    std::lock_guard guard(state().lock);
    return state().registry;
}

std::string lastRegistryError() {
    std::lock_guard guard(state().lock);
    return state().lastError;
}

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*ulOptions*/, REGSAM /*samDesired*/,
                   PHKEY phkResult) {
    ApiState& s = state();
    std::lock_guard guard(s.lock);
    if (phkResult == nullptr)
        return ERROR_INVALID_PARAMETER;
    OpenKey from, found;
    if (LONG rc = lookup(s, hKey, from); rc != ERROR_SUCCESS)
        return rc;
    if (LONG rc = walk(s.registry->view(), from, lpSubKey ? lpSubKey : "", found);
        rc != ERROR_SUCCESS)
        return rc;
    HKEY h = newHandle(s);
    s.handles.emplace(h, std::move(found));
    *phkResult = h;
    return ERROR_SUCCESS;
}

LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName,
                   LPDWORD /*lpReserved*/, LPSTR lpClass, LPDWORD lpcchClass,
                   PFILETIME lpftLastWriteTime) {
    ApiState& s = state();
    std::lock_guard guard(s.lock);
    if (lpName == nullptr || lpcchName == nullptr)
        return ERROR_INVALID_PARAMETER;
    OpenKey key;
    if (LONG rc = lookup(s, hKey, key); rc != ERROR_SUCCESS)
        return rc;
    RegistryStore& view = s.registry->view();
    if (dwIndex >= view.childCount(key.node))
        return ERROR_NO_MORE_ITEMS;
    if (LONG rc = copyName(view.childName(key.node, dwIndex), lpName, lpcchName); rc != 0)
        return rc;
    // Stores keep no class names; the class comes back empty.
    if (lpClass != nullptr && lpcchClass != nullptr && *lpcchClass > 0) {
        lpClass[0] = '\0';
        *lpcchClass = 0;
    }
    if (lpftLastWriteTime != nullptr)
        *lpftLastWriteTime = FILETIME{};
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD /*lpReserved*/, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData) {
    ApiState& s = state();
    std::lock_guard guard(s.lock);
    OpenKey key;
    if (LONG rc = lookup(s, hKey, key); rc != ERROR_SUCCESS)
        return rc;
    auto value = s.registry->view().findValue(key.node, lpValueName ? lpValueName : "");
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    return copyValue(*value, lpType, lpData, lpcbData);
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD /*lpReserved*/, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    ApiState& s = state();
    std::lock_guard guard(s.lock);
    if (lpValueName == nullptr || lpcchValueName == nullptr)
        return ERROR_INVALID_PARAMETER;
    OpenKey key;
    if (LONG rc = lookup(s, hKey, key); rc != ERROR_SUCCESS)
        return rc;
    RegistryStore& view = s.registry->view();
    auto names = view.valueNames(key.node);
    if (dwIndex >= names.size())
        return ERROR_NO_MORE_ITEMS;
    const std::string& name = names[dwIndex];
    if (LONG rc = copyName(name, lpValueName, lpcchValueName); rc != 0)
        return rc;
    return copyValue(*view.findValue(key.node, name), lpType, lpData, lpcbData);
}

LONG RegCloseKey(HKEY hKey) {
    ApiState& s = state();
    std::lock_guard guard(s.lock);
    if (hKey == HKEY_CLASSES_ROOT)
        return s.registry ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
    return s.handles.erase(hKey) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    ApiState& s = state();
    std::lock_guard guard(s.lock);
    if (lpSubKey == nullptr || *lpSubKey == '\0')
        return ERROR_INVALID_PARAMETER;
    OpenKey from, target;
    if (LONG rc = lookup(s, hKey, from); rc != ERROR_SUCCESS)
        return rc;
    std::string_view path(lpSubKey);
    while (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    std::size_t cut = path.rfind('\\');
    std::string_view leaf = cut == std::string_view::npos ? path : path.substr(cut + 1);
    if (leaf.empty())
        return ERROR_INVALID_PARAMETER;
    OpenKey parent;
    RegistryStore& view = s.registry->view();
    if (LONG rc =
            walk(view, from, cut == std::string_view::npos ? "" : path.substr(0, cut), parent);
        rc != ERROR_SUCCESS)
        return rc;
    if (LONG rc = walk(view, parent, leaf, target); rc != ERROR_SUCCESS)
        return rc;
    if (view.childCount(target.node) > 0)
        return ERROR_ACCESS_DENIED;
    if (auto why = view.whyReadOnly()) {
        s.lastError = *why;
        return ERROR_ACCESS_DENIED;
    }
    try {
        view.deleteKey(parent.node, leaf);
        markDeleted(s, target.foldedPath);
        view.save();
    } catch (const AccessDenied& e) {
        s.lastError = e.what();
        return ERROR_ACCESS_DENIED;
    } catch (const StoreError& e) {
        s.lastError = e.what();
        return ERROR_WRITE_FAULT;
    }
    return ERROR_SUCCESS;
}

} // namespace moxalo::registry
