#include "base/TextFile.h"

#include "base/ByteOrderMark.h"
#include "base/Utf16.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace moxalo::text {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

} // namespace

std::size_t utf8CharacterLength(std::string_view bytes, std::size_t i) {
    auto at = [&bytes](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;  // the range of the second byte, which rules out overlong forms,
    unsigned char high = 0xBF; // surrogates and what lies above U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() - i < length || at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (at(i + k) < 0x80 || at(i + k) > 0xBF)
            return 0;
    }
    return length;
}

namespace {

std::string utf8Replacing(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t length = utf8CharacterLength(bytes, i);
        if (length == 0) {
            out += kReplacement;
            ++i;
        } else {
            out += bytes.substr(i, length);
            i += length;
        }
    }
    return out;
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::vector<std::uint8_t> units(bytes.begin(), bytes.end());
    if (bigEndian) {
        for (std::size_t i = 0; i + 1 < units.size(); i += 2)
            std::swap(units[i], units[i + 1]);
    }
    return text::displayText(text::utf16leToUtf8(units)); // the text is shown
}

std::string reasonOf(int error) {
    return std::generic_category().message(error);
}

} // namespace

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t length = utf8CharacterLength(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

DecodedText decodeText(std::string_view bytes, const text::CodePage& ansi) {
    const ByteOrderMark mark = byteOrderMarkOf(bytes);
    const std::string_view body = bytes.substr(bytesOf(mark).size());
    switch (mark) {
    case ByteOrderMark::Utf16le:
        return {TextEncoding::Utf16le, utf16ToUtf8(body, false)};
    case ByteOrderMark::Utf16be:
        return {TextEncoding::Utf16be, utf16ToUtf8(body, true)};
    case ByteOrderMark::Utf8:
        return {TextEncoding::Utf8WithBom, utf8Replacing(body)};
    case ByteOrderMark::None:
        break;
    }
    if (isValidUtf8(bytes))
        return {TextEncoding::Utf8, std::string(bytes)};
    return {TextEncoding::Ansi, ansi.toUtf8(bytes)};
}

Result<DecodedText> readTextFile(const std::string& path, const text::CodePage& ansi) {
    // Not blocking, so that a named pipe is refused instead of waiting for a writer.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return fail(reasonOf(errno));
    struct stat st {};
    if (fstat(fd, &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail("Not a regular file");
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(fdopen(fd, "rb"), &std::fclose);
    if (!file) {
        int error = errno;
        ::close(fd);
        return fail(reasonOf(error));
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        // A folder opens, and fails only when read.
        if (got < sizeof buffer && std::ferror(file.get()))
            return fail(reasonOf(errno));
        bytes.append(buffer, got);
        if (got < sizeof buffer)
            break;
    }
    return decodeText(bytes, ansi);
}

} // namespace moxalo::text
