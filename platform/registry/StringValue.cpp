#include "platform/registry/StringValue.h"

#include "platform/registry/RegistryApi.h"

namespace moxalo::registry {

LONG QueryStringValue(HKEY key, const std::string& name, std::optional<std::string>& text) {
    text.reset();
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return -1;
    std::string buffer(size, '\0');
    rc = RegQueryValueExA(key, name.c_str(), nullptr, &type,
                          reinterpret_cast<LPBYTE>(buffer.data()), &size);
    if (rc != ERROR_SUCCESS)
        return rc;
    buffer.resize(size);
    text = std::move(buffer);
    return ERROR_SUCCESS;
}

std::string TrimNull(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

} // namespace moxalo::registry
