#include "tests/catalogue/CatalogueFixture.h"

namespace moxalo::testing {

using namespace registry;

MemoryStore& mountCatalogueFixture() {
    auto store = std::make_unique<MemoryStore>();
    put(*store, ".abc", "", sz("abcfile"));
    put(*store, "abcfile", "", sz("ABC File"));
    put(*store, "abcfile\\DefaultIcon", "", sz("C:\\x.ico"));
    put(*store, "abcfile\\shell", "", sz(""));
    put(*store, "abcfile\\shell\\open", "", sz(""));
    put(*store, "abcfile\\shell\\open\\command", "", sz("notepad %1"));
    put(*store, "abcfile\\shell\\print", "", sz("&Print"));
    put(*store, ".txt", "", sz("txtfile"));
    put(*store, ".txt", "Content Type", sz("text/plain"));
    put(*store, ".txt\\OpenWithList\\notepad.exe", "", sz(""));
    put(*store, "txtfile", "", sz("Text Document"));
    put(*store, "txtfile\\DefaultIcon", "", expandSz("%SystemRoot%\\system32\\imageres.dll,-102"));
    put(*store, "txtfile\\shell", "", sz("open"));
    put(*store, "txtfile\\shell\\open\\command", "", sz("\"C:\\Windows\\notepad.exe\" \"%1\""));
    put(*store, ".", "", sz(""));
    put(*store, "CLSID\\{00000000-0000-0000-0000-000000000001}", "", sz("Thing"));
    put(*store, "Folder\\shell\\explore", "", sz("E&xplore"));
    return mountMemory(std::move(store));
}

std::string fixturePath(const std::string& name) {
    return std::string(MOXALO_FIXTURES) + "/catalogue/" + name;
}

} // namespace moxalo::testing
