#include "catalogue/RegistryValues.h"

#include "platform/advapi/StringValue.h"

namespace moxalo::catalogue {

using namespace registry;

LONG QueryValueEx(HKEY lhKey, const std::string& szValueName, Variant& vValue) {
    return QueryStringValue(lhKey, szValueName, vValue);
}

std::string ValueToText(const Variant& vValue) {
    if (!vValue || vValue->empty())
        return {};
    return TrimNull(*vValue);
}

std::string ReadValueText(HKEY lhKey, const std::string& szValueName) {
    return StringValueText(lhKey, szValueName);
}

} // namespace moxalo::catalogue
