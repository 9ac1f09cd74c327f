#include "catalogue/audit/Kinds.h"

#include "base/NameFold.h"
#include "catalogue/effective/CommandLine.h"

#include <array>
#include <string>

namespace moxalo::catalogue::audit {

namespace {

template <std::size_t N>
bool among(const std::array<std::string_view, N>& names, std::string_view name) {
    for (std::string_view candidate : names)
        if (registry::sameName(candidate, name))
            return true;
    return false;
}

constexpr std::array<std::string_view, 14> kSensitive{"exefile",     "mscfile",
                                                      "ms-settings", "Folder",
                                                      "htmlfile",    "batfile",
                                                      "cmdfile",     "comfile",
                                                      "piffile",     "scrfile",
                                                      "lnkfile",     "VBSFile",
                                                      "JSFile",      "Launcher.SystemSettings"};

constexpr std::array<std::string_view, 36> kData{
    ".txt",  ".log", ".csv",  ".xml", ".json", ".md",   ".rtf",  ".ini", ".doc",
    ".docx", ".xls", ".xlsx", ".ppt", ".pptx", ".odt",  ".ods",  ".pdf", ".jpg",
    ".jpeg", ".png", ".gif",  ".bmp", ".tif",  ".tiff", ".webp", ".svg", ".mp3",
    ".mp4",  ".wav", ".avi",  ".mkv", ".mov",  ".zip",  ".7z",   ".htm", ".html"};

constexpr std::array<std::string_view, 19> kExecutable{"exefile",
                                                       "batfile",
                                                       "cmdfile",
                                                       "comfile",
                                                       "piffile",
                                                       "scrfile",
                                                       "VBSFile",
                                                       "VBEFile",
                                                       "JSFile",
                                                       "JSEFile",
                                                       "WSFFile",
                                                       "WSHFile",
                                                       "htafile",
                                                       "mscfile",
                                                       "cplfile",
                                                       "msifile",
                                                       "regfile",
                                                       "lnkfile",
                                                       "Microsoft.PowerShellScript.1"};

constexpr std::array<std::string_view, 8> kScriptHosts{
    "powershell", "pwsh", "cmd", "wscript", "cscript", "mshta", "rundll32", "regsvr32"};
constexpr std::array<std::string_view, 2> kDownloaders{"certutil", "bitsadmin"};

// Each script host with the classes it exists to run.
struct ScriptClass {
    std::string_view host;
    std::string_view progId;
};
constexpr std::array<ScriptClass, 15> kScriptClasses{
    {{"wscript", "VBSFile"},
     {"wscript", "VBEFile"},
     {"wscript", "JSFile"},
     {"wscript", "JSEFile"},
     {"wscript", "WSFFile"},
     {"wscript", "WSHFile"},
     {"cscript", "VBSFile"},
     {"cscript", "JSFile"},
     {"cscript", "WSFFile"},
     {"mshta", "htafile"},
     {"cmd", "batfile"},
     {"cmd", "cmdfile"},
     {"powershell", "Microsoft.PowerShellScript.1"},
     {"pwsh", "Microsoft.PowerShellScript.1"},
     {"rundll32", "cplfile"}}};

} // namespace

std::string bareName(std::string_view program) {
    std::string name = effective::fileNameOf(program);
    constexpr std::string_view kExe = ".exe";
    if (name.size() > kExe.size() &&
        registry::sameName(std::string_view(name).substr(name.size() - kExe.size()), kExe))
        name.resize(name.size() - kExe.size());
    return name;
}

bool isSensitiveClass(std::string_view progId) {
    return among(kSensitive, progId);
}

std::span<const std::string_view> sensitiveClasses() {
    return kSensitive;
}

bool isDataExtension(std::string_view extension) {
    return among(kData, extension);
}

bool isExecutableClass(std::string_view progId) {
    return among(kExecutable, progId);
}

HostKind hostKindOf(std::string_view program) {
    std::string name = bareName(program);
    if (among(kDownloaders, name))
        return HostKind::Downloader;
    return among(kScriptHosts, name) ? HostKind::ScriptHost : HostKind::None;
}

bool isScriptClassOf(std::string_view progId, std::string_view program) {
    std::string host = bareName(program);
    for (const auto& pair : kScriptClasses)
        if (registry::sameName(pair.host, host) && registry::sameName(pair.progId, progId))
            return true;
    return false;
}

} // namespace moxalo::catalogue::audit
