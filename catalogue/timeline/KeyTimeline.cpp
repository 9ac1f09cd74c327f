#include "catalogue/timeline/KeyTimeline.h"

#include "catalogue/effective/UserViewImpl.h"
#include "registry/Attempt.h"

#include <algorithm>
#include <map>

namespace moxalo::catalogue::timeline {

using effective::Place;

namespace {

class KeyCollector {
public:
    explicit KeyCollector(effective::UserView::Impl& view) : view_(view) {}

    Timeline collect() {
        std::vector<Place> classes = view_.userClasses;
        classes.insert(classes.end(), view_.machineClasses.begin(), view_.machineClasses.end());
        for (const Place& root : classes)
            addExtensions(root);
        addFileExts();
        for (const auto& [progId, types] : classTypes_) {
            std::string joined;
            for (const std::string& type : types)
                joined += (joined.empty() ? "" : ", ") + type;
            for (const Place& root : classes)
                addClass(root.below(progId), joined);
        }
        sortNewestFirst();
        for (const std::string& source : untimedOrder_)
            timeline_.untimedSources.push_back(
                {source, sources_[source].untimed, sources_[source].timed});
        return std::move(timeline_);
    }

private:
    void add(const Place& place, const std::string& types) {
        if (!place)
            return;
        std::optional<std::uint64_t> written = place.store->lastWritten(place.key);
        std::string source = place.store->origin();
        ++(written ? sources_[source].timed : sources_[source].untimed);
        if (!written && sources_[source].untimed == 1)
            untimedOrder_.push_back(source);
        timeline_.keys.push_back({place.path, types, std::move(source), written});
    }

    // An extension's key with the lists the Open With dialog reads below it.
    void addWithOpenWith(const Place& extension, const std::string& type) {
        add(extension, type);
        add(extension.below("OpenWithList"), type);
        add(extension.below("OpenWithProgids"), type);
    }

    // The extension keys of one classes key, and the classes they name.
    void addExtensions(const Place& classes) {
        for (const std::string& name : classes.subkeyNames()) {
            if (!name.starts_with('.'))
                continue;
            Place extension = classes.below(name);
            addWithOpenWith(extension, name);
            noteClass(extension.text("").value_or(""), name);
        }
    }

    void addFileExts() {
        for (const std::string& name : view_.fileExts.subkeyNames()) {
            Place extension = view_.fileExts.below(name);
            addWithOpenWith(extension, name);
            Place choice = extension.below("UserChoice");
            add(choice, name);
            noteClass(choice.text("ProgId").value_or(""), name);
        }
    }

    void noteClass(const std::string& progId, const std::string& type) {
        if (progId.empty())
            return;
        std::vector<std::string>& types = classTypes_[progId];
        if (std::none_of(types.begin(), types.end(),
                         [&](const std::string& t) { return registry::sameName(t, type); }))
            types.push_back(type);
    }

    void addClass(const Place& progId, const std::string& types) {
        add(progId, types);
        add(progId.below("DefaultIcon"), types);
        Place shell = progId.below("shell");
        for (const std::string& verb : shell.subkeyNames())
            add(shell.below(verb + "\\command"), types);
    }

    void sortNewestFirst() {
        std::stable_sort(timeline_.keys.begin(), timeline_.keys.end(),
                         [](const KeyTime& a, const KeyTime& b) {
                             if (a.written.has_value() != b.written.has_value())
                                 return a.written.has_value();
                             if (a.written != b.written)
                                 return *a.written > *b.written;
                             return registry::compareNames(a.key, b.key) < 0;
                         });
    }

    effective::UserView::Impl& view_;
    // Each class named, with the types that name it.
    effective::NameMap<std::vector<std::string>> classTypes_;
    struct Counts {
        std::size_t untimed = 0, timed = 0;
    };
    std::map<std::string, Counts> sources_;
    std::vector<std::string> untimedOrder_;
    Timeline timeline_;
};

} // namespace

Result<Timeline> buildTimeline(registry::Registry& registry, const std::string& sid) {
    return registry::attempt([&] {
        effective::UserView::Impl view(registry, sid);
        return KeyCollector(view).collect();
    });
}

} // namespace moxalo::catalogue::timeline
