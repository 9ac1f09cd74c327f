#include "platform/advapi/RegistryApi.h"

#include "base/NameFold.h"
#include "base/Utf16.h"
#include "platform/advapi/ApiState.h"
#include "registry/SourceLock.h"
#include "registry/Sources.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <string_view>

namespace moxalo::registry {

namespace {

// A damaged hive can fail at every one of thousands of keys; the user reads the first few.
constexpr std::size_t kMaxProblems = 100;
// How often the sources' files are looked at: a scan makes thousands of calls in a moment, a
// user's click comes far later than this.
constexpr std::int64_t kLookEveryNs = 20'000'000;

LONG failed(ApiState& s, LONG code, std::string message) {
    s.lastError = message;
    Problems& p = s.problems;
    if (p.seen.count(message) == 0) {
        if (p.messages.size() < kMaxProblems) {
            p.seen.insert(message);
            p.messages.push_back(std::move(message));
        } else {
            ++p.leftOut;
        }
    }
    return code;
}

// Runs the body of a registry function. Whatever a store throws stays here: the caller gets
// the code Windows gives for a damaged registry and the message is kept.
template <typename Body> LONG guarded(Body&& body) {
    RegistrySession* session = mountedSession();
    if (session == nullptr)
        return ERROR_INVALID_HANDLE;
    ApiState& s = session->state();
    std::lock_guard guard(s.lock);
    s.lastError.clear();
    try {
        return body(s);
    } catch (const AccessDenied& e) {
        return failed(s, ERROR_ACCESS_DENIED, e.what());
    } catch (const std::bad_alloc&) {
        return failed(s, ERROR_OUTOFMEMORY, "not enough memory to read the registry");
    } catch (const std::exception& e) {
        return failed(s, ERROR_BADDB, e.what());
    }
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
            if (!out.path.empty())
                out.path += '\\';
            out.path += part;
        }
        start = end + 1;
    }
    return ERROR_SUCCESS;
}

// Reads the registry again when another process has changed its files since they were read,
// and leads the open handles to their keys in the new copy. `always` looks at the files now,
// for a write; a read looks at most every kLookEveryNs. A copy that cannot be read again throws
// for a write; a read goes on with the copy it has, and the problem is kept.
void refresh(ApiState& s, bool always) {
    std::int64_t now = nowNs();
    if (!s.registry || s.registry->choice().paths.empty() ||
        (!always && now - s.lastLook < kLookEveryNs))
        return;
    s.lastLook = now;
    if (!s.registry->stamps().changed())
        return;
    std::shared_ptr<Registry> fresh;
    try {
        fresh = openRegistry(s.registry->choice()).registry;
    } catch (const std::exception& e) {
        if (always)
            throw;
        s.registry->stamps().retake(); // tried once per change, not at every call
        failed(s, ERROR_BADDB, e.what());
        return;
    }
    s.registry = std::move(fresh);
    for (auto& [handle, key] : s.handles) {
        OpenKey found;
        if (!key.deleted && walk(s.registry->view(), {s.registry->rootKey(), {}, false}, key.path,
                                 found) == ERROR_SUCCESS)
            key.node = found.node;
        else
            key.deleted = true;
    }
    ++s.changes;
}

// Resolves a handle; HKEY_CLASSES_ROOT is always open while a registry is mounted.
LONG lookup(ApiState& s, HKEY hKey, OpenKey& out) {
    refresh(s, false);
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

// Paths are folded only here: keys are opened far more often than deleted.
void markDeleted(ApiState& s, const std::string& path) {
    std::string foldedPath = foldName(path);
    for (auto& [handle, key] : s.handles) {
        std::string p = foldName(key.path);
        if (p == foldedPath || (p.size() > foldedPath.size() && p.starts_with(foldedPath) &&
                                p[foldedPath.size()] == '\\'))
            key.deleted = true;
    }
}

// Hands a name to the caller's buffer of *count characters, NUL included.
LONG copyName(std::string_view name, LPSTR buffer, LPDWORD count) {
    if (name.size() + 1 > *count)
        return ERROR_MORE_DATA;
    // An empty name may have no storage at all, which memcpy must not be given.
    std::copy(name.begin(), name.end(), buffer);
    buffer[name.size()] = '\0';
    *count = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// Hands a value's data to the caller as the 8-bit functions do: string types converted.
LONG copyValue(const RegValue& value, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    std::string text;
    std::string_view bytes(reinterpret_cast<const char*>(value.data.data()), value.data.size());
    if (isTextType(value.type)) {
        text = text::utf16leToUtf8(value.data);
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
    std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char*>(lpData));
    *lpcbData = static_cast<DWORD>(bytes.size());
    return ERROR_SUCCESS;
}

// Splits "a\b\c\" into the path of the parent ("a\b") and the last name ("c").
bool splitLeaf(std::string_view path, std::string_view& parent, std::string_view& leaf) {
    while (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    std::size_t cut = path.rfind('\\');
    leaf = cut == std::string_view::npos ? path : path.substr(cut + 1);
    parent = cut == std::string_view::npos ? std::string_view() : path.substr(0, cut);
    return !leaf.empty();
}

// Deletes and saves; a change that cannot be saved is taken back, so that memory keeps
// showing what the files hold.
LONG deleteAndSave(ApiState& s, RegistryStore& view, NodeId parent, std::string_view leaf) {
    try {
        view.deleteKey(parent, leaf);
        view.save();
        return ERROR_SUCCESS;
    } catch (const AccessDenied& e) {
        view.discardChanges();
        return failed(s, ERROR_ACCESS_DENIED, e.what());
    } catch (const std::exception& e) {
        view.discardChanges();
        return failed(s, ERROR_WRITE_FAULT, e.what());
    }
}

} // namespace

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*ulOptions*/, REGSAM /*samDesired*/,
                   PHKEY phkResult) {
    return guarded([&](ApiState& s) {
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
    });
}

LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName,
                   LPDWORD /*lpReserved*/, LPSTR lpClass, LPDWORD lpcchClass,
                   PFILETIME lpftLastWriteTime) {
    return guarded([&](ApiState& s) {
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
    });
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD /*lpReserved*/, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData) {
    return guarded([&](ApiState& s) {
        OpenKey key;
        if (LONG rc = lookup(s, hKey, key); rc != ERROR_SUCCESS)
            return rc;
        auto value = s.registry->view().findValue(key.node, lpValueName ? lpValueName : "");
        if (!value)
            return ERROR_FILE_NOT_FOUND;
        return copyValue(*value, lpType, lpData, lpcbData);
    });
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD /*lpReserved*/, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    return guarded([&](ApiState& s) {
        if (lpValueName == nullptr || lpcchValueName == nullptr)
            return ERROR_INVALID_PARAMETER;
        OpenKey key;
        if (LONG rc = lookup(s, hKey, key); rc != ERROR_SUCCESS)
            return rc;
        RegistryStore& view = s.registry->view();
        if (dwIndex >= view.valueCount(key.node))
            return ERROR_NO_MORE_ITEMS;
        if (LONG rc = copyName(view.valueName(key.node, dwIndex), lpValueName, lpcchValueName);
            rc != 0)
            return rc;
        return copyValue(view.valueAt(key.node, dwIndex), lpType, lpData, lpcbData);
    });
}

LONG RegCloseKey(HKEY hKey) {
    return guarded([&](ApiState& s) {
        if (hKey == HKEY_CLASSES_ROOT)
            return s.registry ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
        return s.handles.erase(hKey) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
    });
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    return guarded([&](ApiState& s) {
        std::string_view parentPath, leaf;
        if (lpSubKey == nullptr || !splitLeaf(lpSubKey, parentPath, leaf))
            return ERROR_INVALID_PARAMETER;
        if (!s.registry)
            return ERROR_INVALID_HANDLE;
        // The delete applies to the files as they are now, and no other writer comes between.
        std::optional<SourceLock> lock;
        if (!s.registry->choice().paths.empty())
            lock.emplace(s.registry->choice().paths);
        refresh(s, true);
        OpenKey from, parent, target;
        if (LONG rc = lookup(s, hKey, from); rc != ERROR_SUCCESS)
            return rc;
        RegistryStore& view = s.registry->view();
        if (LONG rc = walk(view, from, parentPath, parent); rc != ERROR_SUCCESS)
            return rc;
        if (LONG rc = walk(view, parent, leaf, target); rc != ERROR_SUCCESS)
            return rc;
        if (view.childCount(target.node) > 0)
            return ERROR_ACCESS_DENIED;
        if (auto why = view.whyReadOnly())
            return failed(s, ERROR_ACCESS_DENIED, *why);
        LONG rc = deleteAndSave(s, view, parent.node, leaf);
        if (rc == ERROR_SUCCESS) {
            s.registry->stamps().retake();
            markDeleted(s, target.path);
            ++s.changes;
        }
        return rc;
    });
}

} // namespace moxalo::registry
