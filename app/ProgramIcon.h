#pragma once

#include <QIcon>

namespace moxalo::app {

// The program's own icon, at each size it was drawn for.
QIcon ProgramIcon();

} // namespace moxalo::app
