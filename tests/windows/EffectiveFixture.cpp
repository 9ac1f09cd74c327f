#include "tests/windows/EffectiveFixture.h"

#include "registry/Sources.h"
#include "tests/support/SharedHives.h"
#include "tests/support/TestRegistry.h"

#include <filesystem>
#include <stdexcept>

namespace moxalo::testing {

namespace {

const char* const kExport = R"(Windows Registry Editor Version 5.00

[HKEY_CLASSES_ROOT\.moxa]
@="moxafile"

[HKEY_CLASSES_ROOT\moxafile]
@="Moxa Document"

[HKEY_CLASSES_ROOT\moxafile\shell\open\command]
@="\"C:\\Program Files\\Moxa\\moxa.exe\" \"%1\""

[HKEY_CLASSES_ROOT\.gone]

[HKEY_CLASSES_ROOT\.plain]
@="plainfile"

[HKEY_CLASSES_ROOT\plainfile\shell\open\command]
@="notepad.exe %1"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.moxa\UserChoice]
"ProgId"="moxafile"
"Hash"="AAAAAAAAAAA="

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.moxa\OpenWithList]
"a"="moxaview.exe"
"MRUList"="a"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.gone\UserChoice]
"ProgId"="NoSuchClass"
"Hash"="AAAAAAAAAAA="
)";

void mountSources(std::vector<std::string> paths) {
    registry::SourceChoice choice;
    choice.paths = std::move(paths);
    choice.readOnlyBecause = "a test's fixture";
    auto opened = registry::openRegistry(choice);
    if (!opened)
        throw std::runtime_error(opened.error());
    mountRegistry(opened->registry);
}

} // namespace

std::string mountEffectiveFixture(const std::string& folder) {
    std::string path = folder + "/choices.reg";
    writeFile(path, kExport);
    mountSources({path});
    return path;
}

bool mountWin10User() {
    if (!std::filesystem::exists(sharedHive("win10-NTUSER.DAT")))
        return false;
    mountSources({sharedHive("win10-NTUSER.DAT"), sharedHive("win10-UsrClass.dat")});
    return true;
}

} // namespace moxalo::testing
