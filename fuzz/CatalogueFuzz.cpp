// The whole catalogue on any bytes: a registry opened as the user names one, the scan, then the
// details block of every row, as the extended list file reads them. The first byte chooses the
// sources; the rest is cut at each kSeparator into the files:
//   0: one file, recognised by its content (a hive, a Wine registry file or a .reg export);
//   1: a Wine prefix, its system.reg and user.reg;
//   2: two files named together, the first one's classes laid over the second's.

#include "catalogue/CatalogueScan.h"
#include "catalogue/DetailsReport.h"
#include "fuzz/FuzzFiles.h"
#include "platform/registry/Registry.h"
#include "platform/registry/Sources.h"

namespace {

using namespace moxalo;

constexpr std::string_view kSeparator = "\n--8<--\n";

class Rows : public catalogue::ScanListener {
public:
    void RowFound(const catalogue::CatalogueEntry& row) override { rows.push_back(row); }
    std::vector<catalogue::CatalogueEntry> rows;
};

std::vector<std::string_view> pieces(std::string_view bytes) {
    std::vector<std::string_view> parts;
    for (std::size_t cut; (cut = bytes.find(kSeparator)) != std::string_view::npos;) {
        parts.push_back(bytes.substr(0, cut));
        bytes.remove_prefix(cut + kSeparator.size());
    }
    parts.push_back(bytes);
    return parts;
}

registry::SourceChoice sourcesOf(std::string_view bytes) {
    fuzz::clearScratch();
    registry::SourceChoice choice;
    if (bytes.empty())
        return choice;
    char mode = static_cast<char>(bytes[0] % 3);
    auto parts = pieces(bytes.substr(1));
    if (mode == 1) {
        fuzz::writeScratchFile("prefix/system.reg", parts[0]);
        if (parts.size() > 1)
            fuzz::writeScratchFile("prefix/user.reg", parts[1]);
        choice.paths = {fuzz::scratchFolder() + "/prefix"};
        return choice;
    }
    for (std::size_t i = 0; i < parts.size() && i < (mode == 2 ? 2u : 1u); ++i)
        choice.paths.push_back(fuzz::writeScratchFile("source" + std::to_string(i), parts[i]));
    return choice;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        registry::mountRegistry(
            registry::openRegistry(sourcesOf(fuzz::bytesOf(data, size))).registry);
    } catch (const registry::StoreError&) {
        return 0; // not a source, or one refused whole
    }
    Rows listener;
    catalogue::LoadList("0", listener);
    for (const auto& row : listener.rows)
        catalogue::Export_Key_Details(row.Extension, row.TypeName);
    registry::mountRegistry(nullptr);
    return 0;
}
