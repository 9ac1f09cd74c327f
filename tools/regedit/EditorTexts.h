#pragma once
// The registry editor's own words to the user: the question before an import and its report.

#include "registry/ClassesImport.h"
#include "registry/SourceChoice.h"
#include "registry/regedit/RegFileImport.h"

#include <string>
#include <vector>

namespace moxalo::regedit {

inline constexpr const char* kEditorTitle = "Moxalo Registry Editor";

std::string importQuestion(const std::string& file, const registry::SourceChoice& choice);
// The counts, then each skipped line ("line N: why"), the first hundred of them.
std::string importReport(const std::string& file, const registry::ImportCounts& counts,
                         const std::vector<regfile::Diagnostic>& skipped);
// The bundled sample is only read: where a registry that can be written comes from.
std::string sampleRefusal(const std::string& file, const std::string& samplePath);

} // namespace moxalo::regedit
