// `open-with EXT`: the programs the Open With dialog offers for a type, in its order.

#include "tools/cli/JsonWriter.h"
#include "tools/cli/TextTable.h"
#include "tools/cli/UserViewOptions.h"

#include <ostream>

namespace moxalo::cli {

using namespace catalogue::effective;

int runOpenWith(const Invocation& inv, std::ostream& out, std::ostream& err) {
    Result<ViewArguments> parsed = ParseViewArguments(inv.args, "open-with", true);
    if (!parsed)
        return UsageError(err, parsed.error());
    const std::string& extension = parsed->extension;
    auto view = OpenUserView(inv);
    Result<std::vector<Candidate>> candidates = view->openWith(extension);
    if (!candidates) {
        err << "moxalo-cli: " << candidates.error() << "\n";
        return 1;
    }
    if (parsed->format == "json") {
        JsonWriter json(out);
        json.beginObject().member("extension", extension).key("candidates").beginArray();
        for (const Candidate& c : *candidates) {
            json.beginObject(true)
                .member("handler", c.handler)
                .member("source", c.source)
                .member("key", c.key)
                .endObject();
        }
        json.endArray().endObject().finish();
        return 0;
    }
    TextTable table({"#", "Handler", "Source", "Key"});
    for (std::size_t i = 0; i < candidates->size(); ++i) {
        const Candidate& c = (*candidates)[i];
        table.add({std::to_string(i + 1), c.handler, c.source, c.key});
    }
    table.print(out);
    return 0;
}

} // namespace moxalo::cli
