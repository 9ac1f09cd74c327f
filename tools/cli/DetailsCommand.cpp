// `details EXT`: one extension's details block, exactly as the extended list file carries it.

#include "base/Utf16.h"
#include "catalogue/CatalogueScan.h"
#include "catalogue/DetailsReport.h"
#include "platform/advapi/RegistryApi.h"
#include "tools/cli/Commands.h"
#include "tools/cli/JsonWriter.h"
#include "tools/cli/Options.h"

#include <ostream>

namespace moxalo::cli {

using namespace catalogue;

namespace {

void PrintJson(const KeyDetails& d, const std::string& typeName, std::ostream& out) {
    JsonWriter json(out);
    json.beginObject()
        .member("extensionKey", d.ExtensionKey)
        .member("keyValue", d.KeyValue)
        .member("contentType", d.ContentType)
        .member("typeKey", d.TypeKey)
        .member("defaultIcon", d.DefaultIcon)
        .member("defaultAction", d.DefaultAction)
        .member("typeName", typeName)
        .key("actions")
        .beginArray();
    for (const auto& action : d.Actions) {
        json.beginObject(true)
            .member("action", action.Action)
            .member("command", action.Command)
            .endObject();
    }
    json.endArray().endObject().finish();
}

bool KeyExists(const std::string& path) {
    registry::HKEY key = 0;
    if (registry::RegOpenKeyExA(registry::HKEY_CLASSES_ROOT, path.c_str(), 0, registry::KEY_READ,
                                &key) != registry::ERROR_SUCCESS)
        return false;
    registry::RegCloseKey(key);
    return true;
}

} // namespace

int runDetails(const Invocation& inv, std::ostream& out, std::ostream& err) {
    auto options = ParseOptions(inv.args, {}, {"--format"});
    if (!options)
        return UsageError(err, options.error());
    std::string format = options->values.count("--format") ? options->values["--format"] : "text";
    if (options->positional.size() != 1)
        return UsageError(err, "details takes one extension (txt or .txt)");
    if (format != "text" && format != "json")
        return UsageError(err, "--format takes text or json");
    std::string ext = options->positional[0];
    if (ext.starts_with("."))
        ext.erase(0, 1);
    if (!KeyExists("." + ext))
        err << "moxalo-cli: warning: HKEY_CLASSES_ROOT has no key ." << ext << "\n";
    std::string typeName = ShellTypeName("." + ext);
    if (format == "json") {
        PrintJson(ReadKeyDetails(ext), typeName, out);
    } else {
        Export_Key_Details(ext, typeName);
        out << text::displayText(strKeyDetails);
    }
    return 0;
}

} // namespace moxalo::cli
