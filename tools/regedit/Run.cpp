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
        return runtime::chooseSources(request.sources.registries, env, programFolder,
                                      request.sources.codePage);
    };
    opening.open = [&request, env, programFolder, &err](runtime::Purpose purpose) {
        auto chosen = runtime::openChosenRegistry(request.sources, env, programFolder, purpose);
        if (!chosen && chosen.accessDenied() && request.action != Action::Export)
            throw Failure(request.file + ": not imported: " + chosen.error());
        if (!chosen)
            throw Failure(chosen.error());
        for (const auto& warning : chosen->warnings)
            err << "moxalo-regedit: warning: " << text::displayText(warning) << "\n";
        return std::move(*chosen);
    };
    return opening;
}

} // namespace

int run(const std::vector<std::string>& args, const runtime::Environment& env,
        const std::string& programFolder, Voice& voice, std::ostream& out, std::ostream& err) {
    ParsedArgs parsed = args.size() == 2 && args[0] == process::kCommandLineOption
                            ? parseRegeditCommandLine(args[1])
                            : parseRegeditArgs(args);
    if (parsed.help) {
        printUsage(out);
        return 0;
    }
    if (parsed.error) {
        err << "moxalo-regedit: " << *parsed.error << "\n";
        printUsage(err);
        voice.complain(*parsed.error);
        return 2;
    }
    const Request& request = *parsed.request;
    Opening opening = openingFor(request, env, programFolder, err);
    try {
        if (request.action == Action::Export) {
            runtime::ChosenRegistry chosen = opening.open(runtime::Purpose::Read);
            exportKey(request, *chosen.registry);
        } else {
            importFile(request, opening, voice, err);
        }
    } catch (const Cancelled& e) {
        err << "moxalo-regedit: " << text::displayText(e.what()) << "\n";
        return 1;
    } catch (const Failure& e) {
        std::string message = text::displayText(e.what());
        err << "moxalo-regedit: " << message << "\n";
        voice.complain(message);
        return 1;
    }
    return 0;
}

} // namespace moxalo::regedit
