#include "tests/windows/ClassesFixture.h"

#include "tests/support/TestRegistry.h"

namespace moxalo::testing {

void mountClassesFixture() {
    auto store = std::make_unique<registry::MemoryStore>();
    put(*store, ".txt", "", sz("txtfile"));
    put(*store, ".txt", "Content Type", sz("text/plain"));
    put(*store, ".txt\\OpenWithList\\notepad.exe", "", sz(""));
    put(*store, ".abc", "", sz("abcfile"));
    store->createPath(".zip");
    put(*store, "abcfile", "", sz("ABC File"));
    put(*store, "txtfile", "", sz("Text Document"));
    put(*store, "txtfile\\DefaultIcon", "", expandSz("%SystemRoot%\\system32\\imageres.dll,-102"));
    put(*store, "txtfile\\shell", "", sz("open"));
    put(*store, "txtfile\\shell\\open", "", sz("&Open"));
    put(*store, "txtfile\\shell\\open\\command", "", sz("notepad.exe %1"));
    store->createPath("txtfile\\shell\\print");
    store->createPath("CLSID\\{00000000-0000-0000-0000-000000000000}");
    mountMemory(std::move(store));
}

} // namespace moxalo::testing
