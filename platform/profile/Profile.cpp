#include "platform/profile/Profile.h"

#include "base/AtomicFile.h"
#include "platform/profile/ProfileText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace moxalo::profile {

namespace {

enum class FileState { Missing, Unreadable, Read };

struct LoadedFile {
    FileState state = FileState::Missing;
    std::string bytes;
};

LoadedFile load(const char* path) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {errno == ENOENT ? FileState::Missing : FileState::Unreadable, {}};
    LoadedFile file{FileState::Unreadable, {}};
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        char chunk[8192];
        ssize_t n = 0;
        while ((n = read(fd, chunk, sizeof chunk)) > 0 || (n < 0 && errno == EINTR))
            if (n > 0)
                file.bytes.append(chunk, static_cast<std::size_t>(n));
        if (n == 0)
            file.state = FileState::Read;
    }
    close(fd);
    return file;
}

// A value, or the default, loses one pair of quotes around it. As in Windows, the closing
// quote is taken off the copy only if the copy reached it or fell one short of it.
DWORD copyValue(std::string_view value, char* buffer, DWORD size) {
    bool quoted = value.size() > 1 && (value.front() == '"' || value.front() == '\'') &&
                  value.back() == value.front();
    if (quoted)
        value.remove_prefix(1);
    std::size_t n = std::min<std::size_t>(value.size(), size - 1);
    std::memcpy(buffer, value.data(), n);
    if (quoted && size >= value.size() && n > 0)
        --n;
    buffer[n] = '\0';
    return static_cast<DWORD>(n);
}

std::string_view defaultFrom(const char* defaultValue) {
    std::string_view text = defaultValue ? defaultValue : "";
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// A key the file could not give back under its name: it would be read as a section, a
// comment, or a different key and value.
bool isWritableKey(std::string_view key) {
    return !key.empty() && key.front() != '[' && key.front() != ';' &&
           key.find('=') == std::string_view::npos && !hasLineBreak(key);
}

DWORD getString(const char* section, const char* key, const char* defaultValue, char* buffer,
                DWORD size, const char* fileName) {
    std::string_view fallback = defaultFrom(defaultValue);
    LoadedFile file = fileName ? load(fileName) : LoadedFile{};
    std::optional<ProfileText> text;
    if (file.state == FileState::Read)
        text.emplace(file.bytes);

    std::string_view sectionName = trimBlanks(section);
    const ProfileSection* found =
        text && !sectionName.empty() ? text->findSection(sectionName) : nullptr;
    std::string_view keyName = trimBlanks(key);
    const ProfileKey* value =
        found && !keyName.empty() ? ProfileText::findKey(*found, keyName) : nullptr;
    return copyValue(value ? std::string_view(value->value) : fallback, buffer, size);
}

} // namespace

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName) {
    if (buffer == nullptr || size == 0)
        return 0;
    if (section == nullptr || key == nullptr) {
        buffer[0] = '\0';
        return 0;
    }
    try {
        return getString(section, key, defaultValue, buffer, size, fileName);
    } catch (const std::exception&) { // out of memory
        buffer[0] = '\0';
        return 0;
    }
}

BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName) {
    if (section == nullptr || key == nullptr || value == nullptr || fileName == nullptr ||
        *fileName == '\0')
        return 0;
    try {
        std::string_view sectionName = trimBlanks(section);
        if (sectionName.empty() || hasLineBreak(sectionName))
            return 0;
        std::string_view keyName = trimBlanks(key);
        if (!isWritableKey(keyName))
            return 0;
        // Trailing blanks are written, though the next read drops them; quotes keep them.
        std::string_view newValue = trimLeadingBlanks(value);
        if (hasLineBreak(newValue))
            return 0;

        LoadedFile file = load(fileName);
        if (file.state == FileState::Unreadable)
            return 0;
        ProfileText text(file.bytes);
        bool changed = text.setValue(sectionName, keyName, newValue);
        // The same value again leaves the file as it is.
        if (!changed && file.state == FileState::Read)
            return 1;
        // A read-only folder keeps its files as they are, also for root, whom the system lets
        // write there.
        if (!fs::whyNotWritable(fileName).empty())
            return 0;
        return fs::writeFileAtomically(fileName, text.bytes()) ? 1 : 0;
    } catch (const std::exception&) { // out of memory
        return 0;
    }
}

} // namespace moxalo::profile
