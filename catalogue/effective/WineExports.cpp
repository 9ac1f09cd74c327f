#include "catalogue/effective/CommandLine.h"
#include "catalogue/effective/UserViewImpl.h"
#include "registry/Attempt.h"

#include <algorithm>
#include <array>
#include <filesystem>

namespace moxalo::catalogue::effective {

namespace {

// What winemenubuilder never exports, and the commands it leaves out unless told otherwise.
constexpr std::array<std::string_view, 5> kNeverExported{".bat", ".com", ".exe", ".msi", ".url"};
const std::vector<std::string> kDefaultExclusions{"ieframe.dll", "iexplore.exe", "notepad.exe",
                                                  "winebrowser.exe", "wordpad.exe"};

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool isScheme(const WineExport& e) {
    return !e.extension.starts_with('.');
}

// The rules winemenubuilder -a applies, from HKCU\Software\Wine\FileOpenAssociations.
struct Rules {
    bool enabled = true;
    std::vector<std::string> exclude = kDefaultExclusions;
    std::string excludeFrom = "Wine's default list";

    explicit Rules(const Place& settings) {
        std::string enable = settings.text("Enable").value_or("");
        enabled = enable.empty() || (enable[0] != 'N' && enable[0] != 'n');
        if (auto list = settings.strings("Exclude")) {
            exclude = *list;
            excludeFrom = settings.path + "\\Exclude";
        }
    }

    std::string whyNot(const std::string& name, const std::string& command) const {
        if (!enabled)
            return "Enable is N under " + std::string(kWineAssociations);
        for (auto never : kNeverExported)
            if (registry::sameName(name, never))
                return "Wine never exports " + std::string(never);
        std::string lowered = lowerAscii(command);
        for (const auto& word : exclude)
            if (!word.empty() && lowered.find(lowerAscii(word)) != std::string::npos)
                return "its command has " + word + " (" + excludeFrom + ")";
        return {};
    }
};

class Exports {
public:
    Exports(UserView::Impl& view) : view_(view) {}

    void recorded(const Place& settings) {
        for (const auto& name : settings.subkeyNames()) {
            Place key = settings.below(name);
            WineExport& e = entry(name);
            e.recorded = true;
            e.progId = key.text("ProgID").value_or("");
            e.mimeType = key.text("MimeType").value_or("");
            e.appName = key.text("AppName").value_or("");
        }
    }

    // Wine's HKEY_CLASSES_ROOT is the machine's classes alone.
    void byRules(const Rules& rules) {
        for (const auto& classes : view_.machineClasses)
            for (const auto& name : classes.subkeyNames())
                consider(classes, name, rules);
    }

    std::vector<WineExport> take(const std::string& xdgDataHome) {
        std::vector<WineExport> list;
        for (auto& [folded, e] : entries_) {
            findFiles(e, xdgDataHome);
            list.push_back(std::move(e));
        }
        return list;
    }

private:
    UserView::Impl& view_;
    std::map<std::string, WineExport> entries_; // by folded name, in order

    WineExport& entry(const std::string& name) {
        WineExport& e = entries_[registry::foldName(name)];
        if (e.extension.empty())
            e.extension = lowerAscii(name);
        return e;
    }

    void consider(const Place& classes, const std::string& name, const Rules& rules) {
        Place key = classes.below(name);
        bool extension = name.starts_with('.');
        if (!extension && !key.text("URL Protocol"))
            return;
        std::string progId = extension ? key.text("").value_or("") : name;
        if (progId.empty())
            return;
        Place cls = extension ? view_.machineClass(progId) : key;
        std::string command = cls.below("shell\\open\\command").text("").value_or("");
        if (command.empty())
            return;
        WineExport& e = entry(name);
        e.why = rules.whyNot(name, command);
        e.byRules = e.why.empty();
        if (!e.recorded) {
            e.progId = progId;
            e.mimeType = mimeTypeOf(key, e);
            e.appName = fileNameOf(programOfCommand(command));
        }
    }

    static std::string mimeTypeOf(const Place& key, const WineExport& e) {
        if (isScheme(e))
            return "x-scheme-handler/" + e.extension;
        std::string type = key.text("Content Type").value_or("");
        return type.empty() ? "application/x-wine-extension-" + e.extension.substr(1) : type;
    }

    static void findFiles(WineExport& e, const std::string& xdgDataHome) {
        std::error_code error;
        auto existing = [&](std::string path) {
            return std::filesystem::exists(path, error) ? path : std::string();
        };
        if (isScheme(e)) {
            e.desktopFile =
                existing(xdgDataHome + "/applications/wine-protocol-" + e.extension + ".desktop");
            return;
        }
        std::string bare = e.extension.substr(1);
        e.desktopFile = existing(xdgDataHome + "/applications/wine-extension-" + bare + ".desktop");
        e.mimeFile = existing(xdgDataHome + "/mime/packages/x-wine-extension-" + bare + ".xml");
    }
};

} // namespace

Result<std::vector<WineExport>> UserView::wineExports(const std::string& xdgDataHome) {
    return registry::attempt([&] {
        Place settings = impl_->currentUser.below(kWineAssociations);
        Exports exports(*impl_);
        exports.recorded(settings);
        exports.byRules(Rules(settings));
        return exports.take(xdgDataHome);
    });
}

} // namespace moxalo::catalogue::effective
