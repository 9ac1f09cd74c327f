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

std::string readRegFile(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        throw Failure(path + ": cannot be read: " + std::strerror(errno));
    if (S_ISDIR(st.st_mode))
        throw Failure(path + ": is a folder, not a .reg file");
    if (!S_ISREG(st.st_mode)) // a named pipe would keep the import waiting for a writer
        throw Failure(path + ": is not a regular file");
    auto size = static_cast<std::size_t>(st.st_size);
    if (size > regfile::kMaxRegFileBytes)
        throw Failure(path + ": " + regfile::whyTooLarge(regfile::kUtf16Mark, size));
    std::ifstream in(path, std::ios::binary);
    std::string bytes(size, '\0');
    if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        throw Failure(path + ": cannot be read: " + std::strerror(errno));
    if (std::string why = regfile::whyTooLarge(bytes, size); !why.empty())
        throw Failure(path + ": " + why);
    return bytes;
}

// Whether the file is a .reg file at all.
void checkHeader(const std::string& file, const std::string& bytes,
                 const text::CodePage& codePage) {
    if (Result<int> version = regfile::regFileVersion(bytes, codePage); !version)
        throw Failure(file + ": not imported: " + version.error());
}

} // namespace

void importFile(const Request& request, const Opening& opening, Voice& voice,
                std::ostream& warnings) {
    const std::string& file = request.file;
    registry::SourceChoice choice = opening.choose();
    if (choice.bundledSample)
        throw Failure(sampleRefusal(file, choice.paths.front()));
    std::string bytes = readRegFile(file);
    Result<text::CodePage> codePage = text::CodePage::named(choice.codePage);
    if (!codePage)
        throw Failure(file + ": not imported: " + codePage.error());
    checkHeader(file, bytes, *codePage);
    if (auto why = registry::whySourcesReadOnly(choice))
        throw Failure(file + ": not imported: " + *why);
    if (!request.silent && !voice.mayImport(importQuestion(file, choice)))
        throw Cancelled(file + ": not imported: the import was cancelled");

    runtime::ChosenRegistry chosen = opening.open(runtime::Purpose::Write);
    registry::ClassesImport target(chosen.registry->layers());
    Result<regfile::ImportResult> result = regfile::importRegFile(bytes, target, *codePage);
    if (!result)
        throw Failure(file + (result.accessDenied() ? ": not imported: " : ": ") + result.error());
    for (const auto& d : result->diagnostics)
        warnings << "moxalo-regedit: " << file << ": line " << d.line << ": "
                 << text::displayText(d.message) << "\n";
    if (Result<> saved = target.save(); !saved)
        throw Failure(file + ": not imported: " + saved.error());
    if (!request.silent)
        voice.tell(importReport(file, target.counts(), result->diagnostics));
}

} // namespace moxalo::regedit
