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

std::optional<registry::ClassesLayer> classesLayerOf(registry::RegistryStore& hive, HiveKind kind) {
    registry::NodeId root = hive.rootNode();
    switch (kind) {
    case HiveKind::Software:
        if (registry::NodeId classes = hive.findChild(root, "Classes");
            classes != registry::kNoNode)
            return registry::ClassesLayer{&hive, classes, false};
        return std::nullopt;
    case HiveKind::UserClasses:
        return registry::ClassesLayer{&hive, root, true};
    case HiveKind::NtUser:
        break;
    }
    registry::NodeId software = hive.findChild(root, "Software");
    registry::NodeId classes =
        software == registry::kNoNode ? registry::kNoNode : hive.findChild(software, "Classes");
    if (classes == registry::kNoNode)
        return std::nullopt;
    return registry::ClassesLayer{&hive, classes, true};
}

} // namespace moxalo::hive
