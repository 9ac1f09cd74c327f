// regedit /I and /s: a .reg file merged into the registry, every changed file saved at once.

#include "base/Utf16.h"
#include "registry/ClassesImport.h"
#include "registry/Sources.h"
#include "registry/regedit/RegFileImport.h"
#include "registry/regedit/RegFileSize.h"
#include "tools/regedit/Actions.h"
#include "tools/regedit/EditorTexts.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <ostream>
#include <sys/stat.h>

namespace moxalo::regedit {

namespace {

Result<std::string> readRegFile(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return fail(path + ": cannot be read: " + std::strerror(errno));
    if (S_ISDIR(st.st_mode))
        return fail(path + ": is a folder, not a .reg file");
    if (!S_ISREG(st.st_mode)) // a named pipe would keep the import waiting for a writer
        return fail(path + ": is not a regular file");
    auto size = static_cast<std::size_t>(st.st_size);
    if (size > regfile::kMaxRegFileBytes)
        return fail(path + ": " + regfile::whyTooLarge(regfile::kUtf16Mark, size));
    std::ifstream in(path, std::ios::binary);
    std::string bytes(size, '\0');
    if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        return fail(path + ": cannot be read: " + std::strerror(errno));
    if (std::string why = regfile::whyTooLarge(bytes, size); !why.empty())
        return fail(path + ": " + why);
    return bytes;
}

// The file read and checked before the user is asked: whether it is a .reg file at all, in the
// code page the sources are read in.
Result<std::string> checkedFile(const std::string& file, const registry::SourceChoice& choice,
                                text::CodePage& codePage) {
    if (choice.bundledSample)
        return fail(sampleRefusal(file, choice.paths.front()));
    Result<std::string> bytes = readRegFile(file);
    if (!bytes)
        return bytes;
    Result<text::CodePage> named = text::CodePage::named(choice.codePage);
    if (!named)
        return fail(file + ": not imported: " + named.error());
    codePage = *named;
    if (Result<int> version = regfile::regFileVersion(*bytes, codePage); !version)
        return fail(file + ": not imported: " + version.error());
    if (auto why = registry::whySourcesReadOnly(choice))
        return fail(file + ": not imported: " + *why);
    return bytes;
}

} // namespace

Result<Ending> importFile(const Request& request, const Opening& opening, Voice& voice,
                          std::ostream& warnings) {
    const std::string& file = request.file;
    registry::SourceChoice choice = opening.choose();
    text::CodePage codePage;
    Result<std::string> bytes = checkedFile(file, choice, codePage);
    if (!bytes)
        return fail(bytes.error());
    if (!request.silent && !voice.mayImport(importQuestion(file, choice)))
        return Ending::Cancelled;

    Result<runtime::ChosenRegistry> chosen = opening.open(runtime::Purpose::Write);
    if (!chosen)
        return fail(chosen.accessDenied() ? file + ": not imported: " + chosen.error()
                                          : chosen.error());
    registry::ClassesImport target(chosen->registry->layers());
    Result<regfile::ImportResult> result = regfile::importRegFile(*bytes, target, codePage);
    if (!result)
        return fail(file + (result.accessDenied() ? ": not imported: " : ": ") + result.error());
    for (const auto& d : result->diagnostics)
        warnings << "moxalo-regedit: " << file << ": line " << d.line << ": "
                 << text::displayText(d.message) << "\n";
    if (Result<> saved = target.save(); !saved)
        return fail(file + ": not imported: " + saved.error());
    if (!request.silent)
        voice.tell(importReport(file, target.counts(), result->diagnostics));
    return Ending::Done;
}

} // namespace moxalo::regedit
