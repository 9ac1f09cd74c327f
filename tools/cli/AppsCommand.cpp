// `apps`: the applications that declare what they open (RegisteredApplications and their
// Capabilities), with every type, scheme and MIME type they claim.

#include "tools/cli/JsonWriter.h"
#include "tools/cli/TextFormats.h"
#include "tools/cli/TextTable.h"
#include "tools/cli/UserViewOptions.h"

#include <ostream>

namespace moxalo::cli {

using namespace catalogue::effective;

namespace {

using Claims = std::vector<RegisteredApp::Claim>;

void printText(const std::vector<RegisteredApp>& apps, std::ostream& out) {
    for (std::size_t i = 0; i < apps.size(); ++i) {
        const RegisteredApp& app = apps[i];
        out << (i ? "\n" : "") << TextField(app.name) << "\n";
        TextTable fields({"  Scope:", app.scope + (app.hidden ? " (hidden)" : "")});
        fields.add({"  ApplicationName:", app.applicationName});
        if (!app.description.empty())
            fields.add({"  Description:", app.description});
        fields.add({"  Capabilities:", app.capabilitiesKey});
        fields.print(out);
        TextTable claims({"  Claims", "Name", "ProgID"});
        const std::pair<const char*, const Claims*> kinds[] = {
            {"  file", &app.files}, {"  URL", &app.urls}, {"  MIME", &app.mimeTypes}};
        for (const auto& [kind, list] : kinds) {
            for (const auto& claim : *list)
                claims.add({kind, claim.name, claim.progId});
        }
        if (!app.files.empty() || !app.urls.empty() || !app.mimeTypes.empty())
            claims.print(out);
    }
}

void printClaims(JsonWriter& json, const char* name, const Claims& claims) {
    json.key(name).beginArray();
    for (const auto& claim : claims)
        json.beginObject(true)
            .member("name", claim.name)
            .member("progId", claim.progId)
            .endObject();
    json.endArray();
}

void printJson(const std::vector<RegisteredApp>& apps, std::ostream& out) {
    JsonWriter json(out);
    json.beginArray();
    for (const RegisteredApp& app : apps) {
        json.beginObject()
            .member("name", app.name)
            .member("scope", app.scope)
            .member("capabilitiesKey", app.capabilitiesKey)
            .member("applicationName", app.applicationName)
            .member("description", app.description)
            .member("hidden", app.hidden);
        printClaims(json, "fileAssociations", app.files);
        printClaims(json, "urlAssociations", app.urls);
        printClaims(json, "mimeAssociations", app.mimeTypes);
        json.endObject();
    }
    json.endArray().finish();
}

} // namespace

int runApps(const Invocation& inv, std::ostream& out, std::ostream& err) {
    Result<ViewArguments> parsed = ParseViewArguments(inv.args, "apps", false);
    if (!parsed)
        return UsageError(err, parsed.error());
    auto view = OpenUserView(inv);
    Result<std::vector<RegisteredApp>> apps = view->registeredApps();
    if (!apps) {
        err << "moxalo-cli: " << apps.error() << "\n";
        return 1;
    }
    parsed->format == "json" ? printJson(*apps, out) : printText(*apps, out);
    return 0;
}

} // namespace moxalo::cli
