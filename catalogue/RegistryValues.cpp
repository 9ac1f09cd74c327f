#include "RegistryValues.h"

#include "registry/RegistryApi.h"

namespace moxalo::catalogue {

using namespace registry;

LONG QueryValueEx(HKEY lhKey, const std::string& szValueName, Variant& vValue) {
    vValue.reset();
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(lhKey, szValueName.c_str(), nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return -1;
    std::string buffer(size, '\0');
    rc = RegQueryValueExA(lhKey, szValueName.c_str(), nullptr, &type,
                          reinterpret_cast<LPBYTE>(buffer.data()), &size);
    if (rc != ERROR_SUCCESS)
        return rc;
    buffer.resize(size);
    vValue = std::move(buffer);
    return ERROR_SUCCESS;
}

std::string ValueToText(const Variant& vValue) {
    if (!vValue || vValue->empty())
        return {};
    return TrimNull(*vValue);
}

std::string TrimNull(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

std::string ReadValueText(HKEY lhKey, const std::string& szValueName) {
    Variant vValue;
    QueryValueEx(lhKey, szValueName, vValue);
    return ValueToText(vValue);
}

} // namespace moxalo::catalogue
