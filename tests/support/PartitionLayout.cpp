#include "tests/support/PartitionLayout.h"

#include "registry/hivewriter/HiveWriter.h"
#include "runtime/ChooseSources.h"
#include "tests/support/SharedHives.h"

#include <cctype>
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
    // With their transaction logs, named as Windows names them beside the hives.
    auto copyWithLogs = [&partition](const std::string& hive, const std::string& to) {
        copyHive(hive, partition.file(to));
        std::string lower = std::filesystem::path(to).filename().string();
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::string folder = std::filesystem::path(to).parent_path().string();
        for (const char* log : {".LOG1", ".LOG2"})
            copyHive(hive + log, partition.file(folder + "/" + lower + log));
    };
    if (ntUser)
        copyWithLogs("win10-NTUSER.DAT", ntUserPath(user));
    if (usrClass)
        copyWithLogs("win10-UsrClass.dat", usrClassPath(user));
}

void layOutPartition(const TempDir& partition, const std::vector<std::string>& users) {
    writeSoftwareHive(partition.file(kSoftwarePath));
    for (const auto& user : users)
        addUser(partition, user);
}

} // namespace moxalo::testing
