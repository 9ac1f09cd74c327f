#include "catalogue/effective/Effective.h"

namespace moxalo::catalogue::effective {

std::string_view viaText(Via via) {
    switch (via) {
    case Via::UserChoice:
        return "UserChoice";
    case Via::UserClass:
        return "user class";
    case Via::MachineClass:
        return "machine class";
    case Via::ExtensionClass:
        return "extension";
    case Via::SystemFileAssociations:
        return "SystemFileAssociations";
    case Via::PerceivedType:
        return "PerceivedType";
    case Via::AllFiles:
        return "*";
    case Via::None:
        break;
    }
    return "none";
}

std::string_view choiceText(Choice choice) {
    switch (choice) {
    case Choice::Verified:
        return "hash verified";
    case Choice::Fails:
        return "hash fails";
    case Choice::CannotCheck:
        return "cannot be checked";
    case Choice::None:
        break;
    }
    return "none";
}

} // namespace moxalo::catalogue::effective
