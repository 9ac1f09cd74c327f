#include "runtime/StandIns.h"

namespace moxalo::runtime {

process::StandIns standIns(const std::string& programFolder) {
    return {{"regedit", programFolder + "/moxalo-regedit"},
            {"notepad", programFolder + "/moxalo-notepad"}};
}

} // namespace moxalo::runtime
