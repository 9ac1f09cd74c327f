#pragma once
// Registry names compare without regard to case. Folding maps a UTF-8 name to the form used
// for comparing and hashing: ASCII and Latin-1 letters are upper-cased, as the registry orders
// names by their upper-case form.

#include <string>
#include <string_view>

namespace moxalo::registry {

std::string foldName(std::string_view name);
bool sameName(std::string_view a, std::string_view b);
// Negative, zero or positive, comparing the folded forms.
int compareNames(std::string_view a, std::string_view b);

} // namespace moxalo::registry
