#include "registry/regedit/RegFileHeader.h"

#include "base/ByteOrderMark.h"
#include "registry/RegistryStore.h"
#include "registry/regedit/RegFileData.h"
#include "registry/regedit/RegFileImport.h"

#include <string>

namespace moxalo::regfile {

namespace {

// regedit reads only UTF-16LE with a byte order mark and 8-bit text; name the usual others.
std::string encodingHint(std::string_view bytes) {
    if (text::byteOrderMarkOf(bytes) == text::ByteOrderMark::Utf8)
        return " (the file is UTF-8 with a byte order mark, which regedit does not read)";
    if (text::byteOrderMarkOf(bytes) == text::ByteOrderMark::Utf16be)
        return " (the file is UTF-16 big-endian, which regedit does not read)";
    if (bytes.size() >= 2 && bytes[0] != 0 && bytes[1] == 0)
        return " (the file is UTF-16 without a byte order mark, which regedit does not read)";
    return {};
}

} // namespace

int readRegFileHeader(std::string_view firstLine, std::string_view fileBytes) {
    std::string_view header = skipBlanks(firstLine);
    if (header == kHeaderVersion5)
        return 5;
    if (header == kHeaderVersion4)
        return 4;
    if (header == kHeaderWin31)
        return 3;
    std::string expected = "a .reg file starts with the line \"" + std::string(kHeaderVersion5) +
                           "\" or \"" + std::string(kHeaderVersion4) + "\"";
    if (fileBytes.empty())
        throw registry::StoreError("the file is empty; " + expected);
    throw registry::StoreError("the first line is " + excerpt(firstLine) + ", but " + expected +
                               encodingHint(fileBytes));
}

} // namespace moxalo::regfile
