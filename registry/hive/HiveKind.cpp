#include "registry/hive/HiveKind.h"

namespace moxalo::hive {

HiveKind hiveKind(registry::RegistryStore& hive) {
    registry::NodeId root = hive.rootNode();
    if (hive.findChild(root, "Classes") != registry::kNoNode)
        return HiveKind::Software;
    if (hive.findChild(root, "Software") != registry::kNoNode)
        return HiveKind::NtUser;
    return HiveKind::UserClasses;
}

registry::ClassesLayer classesLayerOf(registry::RegistryStore& hive, HiveKind kind) {
    registry::NodeId root = hive.rootNode();
    switch (kind) {
    case HiveKind::Software:
        return {&hive, hive.findChild(root, "Classes"), false};
    case HiveKind::UserClasses:
        return {&hive, root, true};
    case HiveKind::NtUser:
        break;
    }
    registry::NodeId software = hive.findChild(root, "Software");
    registry::NodeId classes =
        software == registry::kNoNode ? registry::kNoNode : hive.findChild(software, "Classes");
    if (classes == registry::kNoNode)
        throw registry::StoreError(
            hive.origin() +
            ": an NTUSER.DAT without a Software\\Classes key (Windows keeps the user's file "
            "types in UsrClass.dat, in AppData\\Local\\Microsoft\\Windows of the same profile)");
    return {&hive, classes, true};
}

} // namespace moxalo::hive
