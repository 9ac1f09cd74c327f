// The registry editor's stand-in from its command line to its exit status.

#include "base/Utf16.h"
#include "platform/process/CommandLine.h"
#include "tools/regedit/Actions.h"

#include <ostream>

namespace moxalo::regedit {

namespace {

Opening openingFor(const Request& request, const runtime::Environment& env,
                   const std::string& programFolder, std::ostream& err) {
    Opening opening;
    opening.choose = [&request, env, programFolder] {
        return runtime::chooseSources(request.sources, env, programFolder);
    };
    opening.open = [&request, env, programFolder, &err](runtime::Purpose purpose) {
        auto chosen = runtime::openChosenRegistry(request.sources, env, programFolder, purpose);
        if (chosen)
            for (const auto& warning : chosen->warnings)
                err << "moxalo-regedit: warning: " << text::displayText(warning) << "\n";
        return chosen;
    };
    return opening;
}

} // namespace

int run(const std::vector<std::string>& args, const runtime::Environment& env,
        const std::string& programFolder, Voice& voice, std::ostream& out, std::ostream& err) {
    Result<ParsedArgs> parsed = args.size() == 2 && args[0] == process::kCommandLineOption
                                    ? parseRegeditCommandLine(args[1])
                                    : parseRegeditArgs(args);
    if (!parsed) {
        err << "moxalo-regedit: " << parsed.error() << "\n";
        printUsage(err);
        voice.complain(parsed.error());
        return 2;
    }
    if (parsed->help) {
        printUsage(out);
        return 0;
    }
    const Request& request = *parsed->request;
    Opening opening = openingFor(request, env, programFolder, err);
    Result<Ending> ending = Ending::Done;
    if (request.action == Action::Export) {
        Result<runtime::ChosenRegistry> chosen = opening.open(runtime::Purpose::Read);
        if (!chosen)
            ending = fail(chosen.error());
        else if (Result<> exported = exportKey(request, *chosen->registry); !exported)
            ending = fail(exported.error());
    } else {
        ending = importFile(request, opening, voice, err);
    }
    if (!ending) {
        std::string message = text::displayText(ending.error());
        err << "moxalo-regedit: " << message << "\n";
        voice.complain(message);
        return 1;
    }
    // The user answered no: told on stderr, but not told back to the user.
    if (*ending == Ending::Cancelled) {
        err << "moxalo-regedit: " << text::displayText(request.file)
            << ": not imported: the import was cancelled\n";
        return 1;
    }
    return 0;
}

} // namespace moxalo::regedit
