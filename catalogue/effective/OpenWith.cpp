#include "catalogue/effective/UserViewImpl.h"
#include "registry/Attempt.h"

#include <unordered_set>

namespace moxalo::catalogue::effective {

namespace {

constexpr std::string_view kApplicationsKey = "Applications";

// Each handler once, where Windows first finds it.
class CandidateList {
public:
    void add(std::string handler, std::string_view source, const std::string& key) {
        if (!handler.empty() && seen_.insert(handler).second)
            list_.push_back({std::move(handler), std::string(source), key});
    }
    std::vector<Candidate> take() { return std::move(list_); }

private:
    std::vector<Candidate> list_;
    std::unordered_set<std::string, registry::NameHash, registry::SameName> seen_;
};

void addValueNames(CandidateList& list, const Place& key, std::string_view source) {
    for (auto& name : key.valueNames())
        list.add(name, source, key.path);
}

// The letters of MRUList first, most recent first; then the other letters' values.
void addMostRecent(CandidateList& list, const Place& key, std::string_view source) {
    std::string order = key.text("MRUList").value_or("");
    for (char letter : order)
        list.add(key.text(std::string(1, letter)).value_or(""), source, key.path);
    for (auto& name : key.valueNames())
        if (name.size() == 1 && order.find(name[0]) == std::string::npos)
            list.add(key.text(name).value_or(""), source, key.path);
}

} // namespace

const NameMap<std::vector<Candidate>>& UserView::Impl::applicationsByType() {
    if (supportedTypes)
        return *supportedTypes;
    NameMap<std::vector<Candidate>> byType;
    for (const auto* classes : {&userClasses, &machineClasses})
        for (const auto& classesKey : *classes) {
            Place applications = classesKey.below(kApplicationsKey);
            for (const auto& exe : applications.subkeyNames()) {
                Place types = applications.below(joinPath(exe, "SupportedTypes"));
                for (auto& type : types.valueNames())
                    byType[type].push_back({joinPath(kApplicationsKey, exe),
                                            "Applications SupportedTypes", types.path});
            }
        }
    return supportedTypes.emplace(std::move(byType));
}

Result<std::vector<Candidate>> UserView::openWith(std::string_view extension) {
    return registry::attempt([&] {
        std::string ext = dottedExtension(extension);
        Impl& view = *impl_;
        CandidateList list;
        Place fileExt = view.fileExts.below(ext);
        Place choice = fileExt.below("UserChoice");
        list.add(choice.text("ProgId").value_or(""), "UserChoice", choice.path);
        for (const auto* classes : {&view.userClasses, &view.machineClasses})
            for (const auto& classesKey : *classes)
                addValueNames(list, classesKey.below(joinPath(ext, "OpenWithProgids")),
                              "HKCR OpenWithProgids");
        addValueNames(list, fileExt.below("OpenWithProgids"), "FileExts OpenWithProgids");
        for (const auto* classes : {&view.userClasses, &view.machineClasses})
            for (const auto& classesKey : *classes) {
                Place withList = classesKey.below(joinPath(ext, "OpenWithList"));
                for (auto& exe : withList.subkeyNames())
                    list.add(exe, "HKCR OpenWithList", withList.path);
            }
        addMostRecent(list, fileExt.below("OpenWithList"), "FileExts OpenWithList");
        const auto& byType = view.applicationsByType();
        if (auto found = byType.find(ext); found != byType.end())
            for (const auto& app : found->second)
                list.add(app.handler, app.source, app.key);
        for (const auto& app : view.registeredApps())
            for (const auto& claim : app.files)
                if (registry::sameName(claim.name, ext))
                    list.add(claim.progId, "Capabilities of " + app.name,
                             app.scope + "\\" + app.capabilitiesKey + "\\FileAssociations");
        return list.take();
    });
}

} // namespace moxalo::catalogue::effective
