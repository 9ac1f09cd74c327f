#include "registry/wine/WineOrder.h"

#include "registry/wine/WineEscape.h"

namespace moxalo::registry {

namespace {

char16_t toLower(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    if ((c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    return c;
}

} // namespace

std::u16string wineSortKey(std::string_view name) {
    std::u16string key = toUtf16(name);
    for (char16_t& c : key)
        c = toLower(c);
    return key;
}

} // namespace moxalo::registry
