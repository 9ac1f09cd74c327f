#include "platform/advapi/StringValue.h"

#include "platform/advapi/RegistryApi.h"

#include <algorithm>

namespace moxalo::registry {

LONG QueryStringValue(HKEY key, const std::string& name, std::optional<std::string>& text) {
    text.reset();
    // Most strings fit the first buffer, so that the value is found and converted once.
    constexpr DWORD kFirstTry = 256;
    char first[kFirstTry];
    std::string longer;
    char* buffer = first;
    DWORD type = 0;
    DWORD size = kFirstTry;
    auto query = [&] {
        return RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<LPBYTE>(buffer),
                                &size);
    };
    LONG rc = query();
    bool isText = type == REG_SZ || type == REG_EXPAND_SZ;
    if (rc == ERROR_MORE_DATA && isText) {
        longer.assign(size, '\0');
        buffer = longer.data();
        rc = query();
    }
    if (rc != ERROR_SUCCESS && !(rc == ERROR_MORE_DATA && !isText))
        return rc;
    if (!isText)
        return -1;
    text.emplace(buffer, size);
    return ERROR_SUCCESS;
}

std::string StringValueText(HKEY key, const std::string& name) {
    std::optional<std::string> text;
    QueryStringValue(key, name, text);
    if (!text)
        return {};
    text->resize(std::min(text->find('\0'), text->size())); // in place: no copy of the text
    return std::move(*text);
}

std::string TrimNull(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

} // namespace moxalo::registry
