#pragma once

#include <string>

namespace moxalo::platform {

// The folder that holds the running program's file, without a trailing "/".
std::string programFolder();

} // namespace moxalo::platform
