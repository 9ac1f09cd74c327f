// `query KEYPATH`: a key's values and subkeys in the layout of Windows' `reg query`.

#include "base/Utf16.h"
#include "platform/advapi/RegistryApi.h"
#include "tools/cli/Commands.h"

#include <cstdio>
#include <ostream>

namespace moxalo::cli {

using namespace registry;

namespace {

std::string typeName(DWORD type) {
    static const char* const kNames[] = {"REG_NONE",
                                         "REG_SZ",
                                         "REG_EXPAND_SZ",
                                         "REG_BINARY",
                                         "REG_DWORD",
                                         "REG_DWORD_BIG_ENDIAN",
                                         "REG_LINK",
                                         "REG_MULTI_SZ",
                                         "REG_RESOURCE_LIST",
                                         "REG_FULL_RESOURCE_DESCRIPTOR",
                                         "REG_RESOURCE_REQUIREMENTS_LIST",
                                         "REG_QWORD"};
    if (type < std::size(kNames))
        return kNames[type];
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", type);
    return text;
}

std::string hexNumber(const std::string& data) {
    unsigned long long n = 0;
    for (std::size_t i = data.size(); i-- > 0;)
        n = (n << 8) | static_cast<unsigned char>(data[i]);
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", n);
    return text;
}

std::string dataText(DWORD type, const std::string& data) {
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return data.substr(0, data.find('\0'));
    case REG_MULTI_SZ: {
        std::string text;
        for (std::size_t start = 0; start < data.size() && data[start] != '\0';) {
            std::size_t end = std::min(data.find('\0', start), data.size());
            text += (text.empty() ? "" : "\\0") + data.substr(start, end - start);
            start = end + 1;
        }
        return text;
    }
    case REG_DWORD:
    case REG_QWORD:
        if (data.size() == 4 || data.size() == 8)
            return hexNumber(data);
        [[fallthrough]];
    default: {
        std::string text;
        char pair[3];
        for (unsigned char c : data) {
            std::snprintf(pair, sizeof pair, "%02X", c);
            text += pair;
        }
        return text;
    }
    }
}

void printValues(HKEY key, std::ostream& out) {
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameSize = sizeof name;
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, nullptr, &size) != 0)
            break;
        std::string data(size, '\0');
        nameSize = sizeof name;
        RegEnumValueA(key, i, name, &nameSize, nullptr, &type,
                      reinterpret_cast<LPBYTE>(data.data()), &size);
        std::string shown = nameSize == 0 ? "(Default)" : std::string(name, nameSize);
        out << text::displayText("    " + shown + "    " + typeName(type) + "    " +
                                 dataText(type, data) + "\n");
    }
}

} // namespace

int runQuery(const Invocation& inv, std::ostream& out, std::ostream& err) {
    if (inv.args.size() != 1) {
        err << "moxalo-cli: query takes one KEYPATH, relative to HKEY_CLASSES_ROOT\n";
        return 2;
    }
    std::string path = inv.args[0];
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    HKEY key = 0;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        err << "ERROR: The system was unable to find the specified registry key or value.\n";
        return 1;
    }
    std::string shownPath =
        text::displayText("HKEY_CLASSES_ROOT" + (path.empty() ? "" : "\\" + path));
    out << "\n" << shownPath << "\n";
    printValues(key, out);
    bool first = true;
    char name[MAX_PATH];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != 0)
            break;
        out << (first ? "\n" : "") << shownPath << "\\"
            << text::displayText(std::string_view(name, size)) << "\n";
        first = false;
    }
    out << "\n";
    RegCloseKey(key);
    return 0;
}

} // namespace moxalo::cli
