// The whole catalogue on any bytes: a registry opened as the user names one (see SourceBytes.h),
// the scan, then the details block of every row, as the extended list file reads them.

#include "catalogue/CatalogueScan.h"
#include "catalogue/DetailsReport.h"
#include "fuzz/FuzzFiles.h"
#include "fuzz/SourceBytes.h"
#include "platform/advapi/RegistrySession.h"
#include "registry/Sources.h"

namespace {

using namespace moxalo;

class Rows : public catalogue::ScanListener {
public:
    void RowFound(const catalogue::CatalogueEntry& row) override { rows.push_back(row); }
    std::vector<catalogue::CatalogueEntry> rows;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    registry::RegistrySession session;
    registry::MountedSession mounted(session);
    auto opened = registry::openRegistry(fuzz::sourcesOf(fuzz::bytesOf(data, size)));
    if (!opened)
        return 0; // not a source, or one refused whole
    session.open(opened->registry);
    Rows listener;
    if (!catalogue::LoadList("0", listener))
        return 0;
    for (const auto& row : listener.rows)
        catalogue::Export_Key_Details(row.Extension, row.TypeName);
    return 0;
}
