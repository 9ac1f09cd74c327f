#pragma once
// Which names a .reg file can carry. A key line ends at a line break and names its key by a
// path that backslashes split; a value name is quoted, with escapes for quotes, backslashes and
// line breaks. A name that reading the file would not give back as the same name, or would
// refuse, cannot be written.

#include <string_view>

namespace moxalo::regfile {

// Why no key line can name a key `name`, as a phrase after "its name" ("holds a line break,
// ..."); empty when one can.
std::string_view unwritableKeyName(std::string_view name);
// The same for a path to stand in a key line as it is: its separators are its own.
std::string_view unwritableKeyPath(std::string_view path);
// Why no value line can name a value `name` ("" is the default value, written "@"); empty when
// one can.
std::string_view unwritableValueName(std::string_view name);

} // namespace moxalo::regfile
