#pragma once
// Where the windows cross from the program's own texts, UTF-8 in std::string, to Qt's: each
// text once, through here.

#include "catalogue/AppTexts.h"

#include <QString>
#include <string_view>

namespace moxalo {

inline QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The program's name, as its windows and message boxes show it.
inline QString AppTitle() {
    return qtext(catalogue::kAppTitle);
}

} // namespace moxalo
