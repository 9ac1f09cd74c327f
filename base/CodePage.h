#pragma once
// The Windows code page an 8-bit .reg file is written in. regedit reads and writes such files
// in the system's ANSI code page, which a Linux user names for us; iconv does the converting.

#include "base/Result.h"

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace moxalo::text {

class CodePage {
public:
    // Windows-1252, the ANSI code page of English and Western European Windows.
    CodePage();
    // "1251", "cp1251", "windows-1251" (any case), and "65001" or "UTF-8". Fails for a name
    // iconv does not know or a code page that changes ASCII.
    static Result<CodePage> named(std::string_view name);

    // The code page's number, as Windows knows it: "1252", "65001".
    const std::string& number() const { return number_; }

    // Bytes the code page leaves undefined become the character of the same value (0x81 is
    // U+0081), as Windows reads them, so that writing them back gives the same bytes.
    std::string toUtf8(std::string_view bytes) const;
    std::string fromUtf16le(const std::uint8_t* data, std::size_t size) const;
    std::string fromUtf16le(const std::vector<std::uint8_t>& data) const {
        return fromUtf16le(data.data(), data.size());
    }
    std::string fromUtf8(std::string_view text) const;

private:
    explicit CodePage(std::string number); // not yet checked: named() checks it

    std::string number_;
    std::string iconvName_;
    std::bitset<256> undefined_; // bytes that do not decode on their own
};

} // namespace moxalo::text
