#include "platform/advapi/RegistryApi.h"

#include "base/NameFold.h"
#include "base/Utf16.h"
#include "platform/advapi/ApiState.h"
#include "registry/Keys.h"
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

// What a store could not do, as Windows tells it: a refusal, or a damaged registry.
template <typename T> LONG failed(ApiState& s, const Result<T>& result) {
    return failed(s, result.accessDenied() ? ERROR_ACCESS_DENIED : ERROR_BADDB, result.error());
}

// Runs the body of a registry function over the mounted session.
template <typename Body> LONG guarded(Body&& body) {
    RegistrySession* session = mountedSession();
    if (session == nullptr)
        return ERROR_INVALID_HANDLE;
    ApiState& s = session->state();
    std::lock_guard guard(s.lock);
    s.lastError.clear();
    try {
        return body(s);
    } catch (const std::bad_alloc&) {
        return failed(s, ERROR_OUTOFMEMORY, "not enough memory to read the registry");
    }
}

// Walks a subkey path ("a\b\", a leading or doubled "\" tolerated) from `from`.
LONG walk(ApiState& s, Keys keys, OpenKey from, std::string_view path, OpenKey& out) {
    out = from;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = std::min(path.find('\\', start), path.size());
        std::string_view part = path.substr(start, end - start);
        if (!part.empty()) {
            if (part.size() > MAX_KEY_NAME)
                return ERROR_INVALID_PARAMETER;
            Result<NodeId> child = keys.child(out.node, part);
            if (!child)
                return failed(s, child);
            if (*child == kNoNode)
                return ERROR_FILE_NOT_FOUND;
            out.node = *child;
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
// for a write; a read looks at most every kLookEveryNs. A copy that cannot be read again fails
// a write; a read goes on with the copy it has, and the problem is kept.
LONG refresh(ApiState& s, bool always) {
    std::int64_t now = nowNs();
    if (!s.registry || s.registry->choice().paths.empty() ||
        (!always && now - s.lastLook < kLookEveryNs))
        return ERROR_SUCCESS;
    s.lastLook = now;
    if (!s.registry->stamps().changed())
        return ERROR_SUCCESS;
    Result<OpenedRegistry> fresh = openRegistry(s.registry->choice());
    if (!fresh) {
        if (!always)
            s.registry->stamps().retake(); // tried once per change, not at every call
        LONG code = failed(s, fresh);
        return always ? code : ERROR_SUCCESS;
    }
    s.registry = std::move(fresh->registry);
    for (auto& [handle, key] : s.handles) {
        OpenKey found;
        if (!key.deleted && walk(s, Keys(s.registry->view()), {s.registry->rootKey(), {}, false},
                                 key.path, found) == ERROR_SUCCESS)
            key.node = found.node;
        else
            key.deleted = true;
    }
    ++s.changes;
    return ERROR_SUCCESS;
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

} // namespace

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*ulOptions*/, REGSAM /*samDesired*/,
                   PHKEY phkResult) {
    return guarded([&](ApiState& s) {
        if (phkResult == nullptr)
            return ERROR_INVALID_PARAMETER;
        OpenKey from, found;
        if (LONG rc = lookup(s, hKey, from); rc != ERROR_SUCCESS)
            return rc;
        if (LONG rc = walk(s, Keys(s.registry->view()), from, lpSubKey ? lpSubKey : "", found);
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
        Keys keys(s.registry->view());
        Result<std::size_t> count = keys.subkeyCount(key.node);
        if (!count)
            return failed(s, count);
        if (dwIndex >= *count)
            return ERROR_NO_MORE_ITEMS;
        Result<std::string_view> name = keys.subkeyName(key.node, dwIndex);
        if (!name)
            return failed(s, name);
        if (LONG rc = copyName(*name, lpName, lpcchName); rc != 0)
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
        Result<std::optional<RegValue>> value =
            Keys(s.registry->view()).value(key.node, lpValueName ? lpValueName : "");
        if (!value)
            return failed(s, value);
        if (!*value)
            return ERROR_FILE_NOT_FOUND;
        return copyValue(**value, lpType, lpData, lpcbData);
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
        Keys keys(s.registry->view());
        Result<std::size_t> count = keys.valueCount(key.node);
        if (!count)
            return failed(s, count);
        if (dwIndex >= *count)
            return ERROR_NO_MORE_ITEMS;
        Result<std::string_view> name = keys.valueName(key.node, dwIndex);
        if (!name)
            return failed(s, name);
        if (LONG rc = copyName(*name, lpValueName, lpcchValueName); rc != 0)
            return rc;
        Result<RegValue> value = keys.valueAt(key.node, dwIndex);
        if (!value)
            return failed(s, value);
        return copyValue(*value, lpType, lpData, lpcbData);
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
        Result<std::unique_ptr<SourceLock>> lock = std::unique_ptr<SourceLock>();
        if (!s.registry->choice().paths.empty())
            lock = SourceLock::take(s.registry->choice().paths);
        if (!lock)
            return failed(s, lock);
        if (LONG rc = refresh(s, true); rc != ERROR_SUCCESS)
            return rc;
        OpenKey from, parent, target;
        if (LONG rc = lookup(s, hKey, from); rc != ERROR_SUCCESS)
            return rc;
        Keys keys(s.registry->view());
        if (LONG rc = walk(s, keys, from, parentPath, parent); rc != ERROR_SUCCESS)
            return rc;
        if (LONG rc = walk(s, keys, parent, leaf, target); rc != ERROR_SUCCESS)
            return rc;
        Result<std::size_t> subkeys = keys.subkeyCount(target.node);
        if (!subkeys)
            return failed(s, subkeys);
        if (*subkeys > 0)
            return ERROR_ACCESS_DENIED;
        if (auto why = keys.whyReadOnly())
            return failed(s, ERROR_ACCESS_DENIED, *why);
        // A change that cannot be saved is a write fault, unless it was refused.
        if (Result<> deleted = keys.deleteKeyAndSave(parent.node, leaf); !deleted)
            return failed(s, deleted.accessDenied() ? ERROR_ACCESS_DENIED : ERROR_WRITE_FAULT,
                          deleted.error());
        s.registry->stamps().retake();
        markDeleted(s, target.path);
        ++s.changes;
        return ERROR_SUCCESS;
    });
}

} // namespace moxalo::registry
