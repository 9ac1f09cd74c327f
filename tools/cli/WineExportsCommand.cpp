// `wine-exports`: the types Wine put on the Linux desktop (winemenubuilder), those its rules
// would, and whether their .desktop and MIME files are there.

#include "tools/cli/JsonWriter.h"
#include "tools/cli/TextTable.h"
#include "tools/cli/UserViewOptions.h"

#include <cstdlib>
#include <ostream>

namespace moxalo::cli {

using namespace catalogue::effective;

namespace {

const char* yesNo(bool yes) {
    return yes ? "yes" : "no";
}

void printText(const std::vector<WineExport>& exports, std::ostream& out) {
    TextTable table({"Type", "ProgID", "MIME type", "Recorded", "By rules", ".desktop", "MIME file",
                     "Why not"});
    for (const WineExport& e : exports) {
        table.add({e.extension, e.progId, e.mimeType, yesNo(e.recorded), yesNo(e.byRules),
                   yesNo(!e.desktopFile.empty()), yesNo(!e.mimeFile.empty()), e.why});
    }
    table.print(out);
}

void printJson(const std::vector<WineExport>& exports, const std::string& dataHome,
               std::ostream& out) {
    JsonWriter json(out);
    json.beginObject().member("xdgDataHome", dataHome).key("types").beginArray();
    for (const WineExport& e : exports) {
        json.beginObject(true)
            .member("extension", e.extension)
            .member("progId", e.progId)
            .member("mimeType", e.mimeType)
            .member("appName", e.appName)
            .member("recorded", e.recorded)
            .member("byRules", e.byRules)
            .member("desktopFile", e.desktopFile)
            .member("mimeFile", e.mimeFile)
            .member("why", e.why)
            .endObject();
    }
    json.endArray().endObject().finish();
}

// As the XDG base directory rules say: $XDG_DATA_HOME when it is an absolute path, else
// ~/.local/share.
std::string XdgDataHome(const runtime::Environment& env) {
    const char* given = env("XDG_DATA_HOME");
    if (given && given[0] == '/')
        return given;
    const char* home = env("HOME");
    return std::string(home ? home : "") + "/.local/share";
}

} // namespace

int runWineExports(const Invocation& inv, std::ostream& out, std::ostream& err) {
    Result<ViewArguments> parsed = ParseViewArguments(inv.args, "wine-exports", false);
    if (!parsed)
        return UsageError(err, parsed.error());
    if (!inv.chosen.registry->roots().wine)
        err << "moxalo-cli: warning: the registry is not a Wine prefix's; what Wine's rules "
               "would export from it is shown\n";
    std::string dataHome = XdgDataHome(std::getenv);
    auto view = OpenUserView(inv);
    Result<std::vector<WineExport>> exports = view->wineExports(dataHome);
    if (!exports) {
        err << "moxalo-cli: " << exports.error() << "\n";
        return 1;
    }
    parsed->format == "json" ? printJson(*exports, dataHome, out) : printText(*exports, out);
    return 0;
}

} // namespace moxalo::cli
