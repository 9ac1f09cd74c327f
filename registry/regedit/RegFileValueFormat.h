#pragma once
// One value line of a .reg file in regedit's export form: "name"=data, hex data wrapped.

#include "base/CodePage.h"
#include "registry/RegistryStore.h"

#include <string>
#include <string_view>

namespace moxalo::regfile {

struct ValueStyle {
    bool unicode = true;        // hex(2) and hex(7) bytes stay UTF-16LE, else are in `codePage`
    bool keepEveryByte = false; // REG_SZ that "text" would change is written as hex(1)
    text::CodePage codePage = {};
};

// Appends the line, ended by CR LF, as UTF-8 text.
void appendValueLine(std::string& out, std::string_view name, const registry::RegValue& value,
                     const ValueStyle& style);

} // namespace moxalo::regfile
