#pragma once
// The program's name, as its windows and message boxes show it.

#include "catalogue/AppTexts.h"

#include <QString>

namespace moxalo::app {

inline QString AppTitle() {
    return QString::fromUtf8(catalogue::kAppTitle.data(),
                             static_cast<qsizetype>(catalogue::kAppTitle.size()));
}

} // namespace moxalo::app
