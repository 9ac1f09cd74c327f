#include "catalogue/CatalogueScan.h"

#include "catalogue/Progress.h"
#include "catalogue/RegistryValues.h"
#include "catalogue/WholeNumber.h"
#include "platform/advapi/RegistryApi.h"
#include "platform/advapi/RegistrySession.h"
#include "platform/shell/ShellInfo.h"

namespace moxalo::catalogue {

using namespace registry;
using namespace shell;

namespace {

constexpr DWORD kLargeIconFlags = SHGFI_SYSICONINDEX | SHGFI_EXETYPE | SHGFI_TYPENAME |
                                  SHGFI_DISPLAYNAME | SHGFI_USEFILEATTRIBUTES | SHGFI_SHELLICONSIZE;
constexpr DWORD kSmallIconFlags = kLargeIconFlags | SHGFI_SMALLICON;

// The enumeration buffers are reused from call to call, so that a short name follows a longer
// one in the same buffer.
struct ScanState {
    DWORD index = 0;
    long long extensionKeys = 0;
    char name[MAX_PATH] = {};
    char className[MAX_PATH] = {};
    FILETIME lastWrite;
    SHFILEINFOA info;
};

bool HasOpenWithList(const std::string& dottedName) {
    std::string path = dottedName + "\\OpenWithList\\";
    HKEY key = 0;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool NextSubkey(ScanState& s) {
    DWORD nameSize = MAX_PATH;
    DWORD classSize = MAX_PATH;
    return RegEnumKeyExA(HKEY_CLASSES_ROOT, s.index, s.name, &nameSize, nullptr, s.className,
                         &classSize, &s.lastWrite) == ERROR_SUCCESS;
}

std::vector<std::string> takeRegistryProblems() {
    registry::RegistrySession* session = registry::mountedSession();
    return session != nullptr ? session->takeProblems() : std::vector<std::string>{};
}

} // namespace

std::string ShellTypeName(const char* dottedName, SHFILEINFOA& record) {
    SHGetFileInfoA(dottedName, FILE_ATTRIBUTE_NORMAL, &record, sizeof record, kLargeIconFlags);
    SHGetFileInfoA(dottedName, FILE_ATTRIBUTE_NORMAL, &record, sizeof record, kSmallIconFlags);
    return TrimNull(std::string_view(record.szTypeName, sizeof record.szTypeName));
}

std::string ShellTypeName(const std::string& dottedName) {
    SHFILEINFOA record;
    return ShellTypeName(dottedName.c_str(), record);
}

Result<ScanOutcome> LoadList(const std::string& openWithSetting, ScanListener& listener) {
    ScanOutcome outcome;
    Result<std::int32_t> setting = ToWholeNumber(openWithSetting);
    if (!setting) {
        listener.ScanFailed(setting.error());
        return fail(setting.error());
    }
    bool openWithOnly = *setting != 0;

    takeRegistryProblems(); // what went wrong before is not this scan's
    listener.ScanStarted();
    ScanState s;
    while (NextSubkey(s)) {
        if (s.name[0] == '.') {
            ++s.extensionKeys;
            listener.Progress(ProgressValue(s.extensionKeys));
            std::string typeName = ShellTypeName(s.name, s.info);
            std::string dotted = TrimNull(std::string_view(s.name, MAX_PATH));
            bool openWith = HasOpenWithList(dotted);
            if (openWith || !openWithOnly) {
                listener.RowFound(CatalogueEntry::For(dotted, std::move(typeName), openWith));
                ++outcome.rows;
            }
        }
        ++s.index;
        listener.DoEvents();
    }
    outcome.extensionKeysSeen = s.extensionKeys;
    outcome.problems = takeRegistryProblems();
    listener.ScanFinished(outcome.rows);
    listener.DoEvents();
    return outcome;
}

} // namespace moxalo::catalogue
