#pragma once
// The programs of Windows that the program brings stand-ins for, as files beside itself.

#include "platform/process/CommandLine.h"

#include <string>

namespace moxalo::runtime {

// "regedit" and "notepad" run moxalo-regedit and moxalo-notepad from `programFolder`.
process::StandIns standIns(const std::string& programFolder);

} // namespace moxalo::runtime
