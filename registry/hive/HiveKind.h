#pragma once
// Which of the hives that hold file types a hive file is, and where its classes sit.

#include "registry/ClassesLayer.h"

#include <optional>

namespace moxalo::hive {

enum class HiveKind {
    Software,    // the machine's SOFTWARE hive: classes in \Classes
    UserClasses, // a UsrClass.dat: the user's classes at the root
    NtUser,      // a user's NTUSER.DAT: classes (when present) in \Software\Classes
};

// Tells the kind by the root's keys: "Classes" for SOFTWARE, "Software" for NTUSER.DAT.
HiveKind hiveKind(registry::RegistryStore& hive);
// The classes of the hive as a layer of HKEY_CLASSES_ROOT; none where the hive holds none: an
// NTUSER.DAT without Software\Classes, as they are on disk (Windows keeps the user's classes in
// UsrClass.dat), or a hive taken for a SOFTWARE without Classes.
std::optional<registry::ClassesLayer> classesLayerOf(registry::RegistryStore& hive, HiveKind kind);

} // namespace moxalo::hive
