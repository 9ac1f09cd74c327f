#pragma once
// Before the window opens: when the registry named is a Windows partition holding the hives of
// several users and none was named (--user, MOXALO_USER), the user picks one from a short list.

#include "runtime/ChooseSources.h"
#include "runtime/SourceOptions.h"

#include <string>

class QWidget;

namespace moxalo::app {

// Puts the user picked into `options`. False when the user cancelled: the registry is then
// opened without a user, and says why it cannot be read.
bool PickPartitionUser(runtime::SourceOptions& options, const runtime::Environment& env,
                       const std::string& programFolder, QWidget* owner = nullptr);

} // namespace moxalo::app
