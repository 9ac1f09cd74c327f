#include "tests/support/PartitionLayout.h"

#include "registry/hivewriter/HiveWriter.h"
#include "runtime/ChooseSources.h"
#include "tests/support/SharedHives.h"

#include <filesystem>

namespace moxalo::testing {

namespace {

void copyHive(const std::string& hive, const std::string& to) {
    std::filesystem::path target(to);
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(sharedHive(hive), target);
}

} // namespace

std::string ntUserPath(const std::string& user) {
    return "USERS/" + user + "/ntuser.dat";
}

std::string usrClassPath(const std::string& user) {
    return "USERS/" + user + "/appdata/LOCAL/microsoft/WINDOWS/UsrClass.DAT";
}

void writeSoftwareHive(const std::string& path) {
    registry::MemoryStore tree;
    put(tree, "Classes\\.pdf", "", sz("AcroExch.Document"));
    put(tree, "Classes\\AcroExch.Document\\shell\\open\\command", "", sz("acrord32.exe \"%1\""));
    put(tree, "Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", sz("C:\\Program Files"));
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    hive::writeHive(tree, tree.rootNode(), path, runtime::kHolderKeyPrefix);
}

void addUser(const TempDir& partition, const std::string& user, bool ntUser, bool usrClass) {
    std::filesystem::create_directories(partition.file("USERS/" + user + "/Documents"));
    if (ntUser)
        copyHive("win10-NTUSER.DAT", partition.file(ntUserPath(user)));
    if (usrClass)
        copyHive("win10-UsrClass.dat", partition.file(usrClassPath(user)));
}

void layOutPartition(const TempDir& partition, const std::vector<std::string>& users) {
    writeSoftwareHive(partition.file(kSoftwarePath));
    for (const auto& user : users)
        addUser(partition, user);
}

} // namespace moxalo::testing
