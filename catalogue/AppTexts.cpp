#include "catalogue/AppTexts.h"

namespace moxalo::catalogue {

std::string CountCaption(long long rows) {
    return std::string(kAppTitle) + " [ " + std::to_string(rows) +
           " Registered file extensions found ]";
}

std::string StatusCaption(std::string_view status) {
    return std::string(kAppTitle) + std::string(status);
}

} // namespace moxalo::catalogue
