// `resolve EXT`: what really opens a file of a type for the user, told step by step with the
// key each step was read from.

#include "tools/cli/JsonWriter.h"
#include "tools/cli/TextTable.h"
#include "tools/cli/UserViewOptions.h"

#include <ostream>

namespace moxalo::cli {

using namespace catalogue::effective;

namespace {

void printText(const Association& a, std::ostream& out) {
    TextTable hops({"Step", "Value", "Key", "Note"});
    for (const Hop& hop : a.hops)
        hops.add({hop.step, hop.value, hop.key, hop.note});
    hops.print(out);
    out << "\n";
    TextTable summary({"Extension:", a.extension});
    summary.add({"ProgID:", a.progId.empty() ? "(none)" : a.progId});
    summary.add({"Via:", std::string(viaText(a.via))});
    std::string choice(choiceText(a.choice));
    if (!a.choiceProgId.empty())
        choice += " (" + a.choiceProgId + ")";
    if (!a.choiceWhy.empty())
        choice += ": " + a.choiceWhy;
    summary.add({"Choice:", choice});
    if (a.dangling)
        summary.add({"Dangling:", "the ProgID exists in none of the classes read"});
    const std::pair<const char*, const std::string*> rest[] = {
        {"Verb:", &a.verb},
        {"Command:", &a.command},
        {"DelegateExecute:", &a.delegateExecute},
        {"AppUserModelId:", &a.appUserModelId},
        {"Program:", &a.program},
        {"Default app:", &a.defaultApp}};
    for (const auto& [caption, text] : rest) {
        if (!text->empty())
            summary.add({caption, *text});
    }
    if (!a.seenByWine)
        summary.add({"Wine:", "not seen by Wine programs: only the user's classes declare it"});
    summary.print(out);
}

void printJson(const Association& a, std::ostream& out) {
    JsonWriter json(out);
    json.beginObject()
        .member("extension", a.extension)
        .member("progId", a.progId)
        .member("via", viaText(a.via))
        .member("choice", choiceText(a.choice))
        .member("choiceProgId", a.choiceProgId)
        .member("choiceWhy", a.choiceWhy)
        .member("dangling", a.dangling)
        .member("verb", a.verb)
        .member("command", a.command)
        .member("delegateExecute", a.delegateExecute)
        .member("appUserModelId", a.appUserModelId)
        .member("program", a.program)
        .member("defaultApp", a.defaultApp)
        .member("seenByWine", a.seenByWine)
        .key("hops")
        .beginArray();
    for (const Hop& hop : a.hops) {
        json.beginObject(true)
            .member("step", hop.step)
            .member("value", hop.value)
            .member("key", hop.key)
            .member("note", hop.note)
            .endObject();
    }
    json.endArray().endObject().finish();
}

} // namespace

int runResolve(const Invocation& inv, std::ostream& out, std::ostream& err) {
    Result<ViewArguments> parsed = ParseViewArguments(inv.args, "resolve", true, {"--verb"});
    if (!parsed)
        return UsageError(err, parsed.error());
    auto view = OpenUserView(inv);
    auto& values = parsed->options.values;
    std::string verb = values.count("--verb") ? values["--verb"] : "";
    Result<Association> association = view->resolve(parsed->extension, verb);
    if (!association) {
        err << "moxalo-cli: " << association.error() << "\n";
        return 1;
    }
    parsed->format == "json" ? printJson(*association, out) : printText(*association, out);
    return 0;
}

} // namespace moxalo::cli
