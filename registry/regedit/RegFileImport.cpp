#include "registry/regedit/RegFileImport.h"

#include "base/Utf16.h"
#include "registry/Attempt.h"
#include "registry/regedit/RegFileData.h"
#include "registry/regedit/RegFileHeader.h"
#include "registry/regedit/RegFileRoots.h"
#include "registry/regedit/RegFileText.h"

#include <algorithm>
#include <optional>
#include <type_traits>

namespace moxalo::regfile {

namespace {

using registry::RegValue;

// A user reads the first few problems; a garbage file must not pile up millions of them.
constexpr std::size_t kMaxDiagnostics = 1000;

class Importer {
public:
    Importer(const DecodedText& text, const text::CodePage& codePage, ImportTarget& target,
             ImportResult& result)
        : lines_(text.utf8), encoding_(text.encoding), codePage_(codePage), target_(target),
          result_(result) {}

    int readHeader(std::string_view fileBytes);
    void readBody();
    void report(int line, std::string message);
    void finishReport();
    int lastLine() const { return lines_.lineNumber(); }

private:
    void readLine(std::string_view line);
    void readWin31Line(std::string_view line);
    void readKeyLine(std::string_view afterBracket);
    void openKey(std::string_view path);
    void deleteKey(std::string_view path);
    void readValueLine(std::string_view line);
    void applyValue(const std::string& name, std::string_view data);
    bool readData(std::string_view data, RegValue& value);
    bool readString(std::string_view afterQuote, RegValue& value);
    bool readHex(std::string_view data, RegValue& value);
    enum class Continuation { More, End, Broken };
    Continuation nextHexLine(std::string_view& chunk);
    void dropValue(std::string reason);
    void reportEscapes(const QuotedText& quoted);
    // Runs a change of the target; a refusal that concerns only this line is reported.
    // `what` starts the message: a text, or a function that makes it only when there is
    // something to report.
    template <typename What, typename Change> bool apply(int line, What what, Change change);

    LineReader lines_;
    TextEncoding encoding_;
    const text::CodePage& codePage_;
    ImportTarget& target_;
    ImportResult& result_;
    bool haveKey_ = false;
    std::string noKeyReason_ = "it comes before any key line";
    int valueLine_ = 0;     // where the value being read starts
    KeyPath keyPath_;       // of the key line being read, kept to reuse its storage
    std::string valueName_; // that value's name
    // How messages name that value.
    std::string valueLabel() const {
        return valueName_.empty() ? "the default value" : "value " + excerpt(valueName_);
    }
    std::optional<std::string> text_; // the text of that value, when it is a quoted string
    std::size_t unlisted_ = 0;
    int firstUnlistedLine_ = 0;
};

std::string lineRef(int line) {
    return "line " + std::to_string(line);
}

template <typename What, typename Change> bool Importer::apply(int line, What what, Change change) {
    try {
        change();
        return true;
    } catch (const registry::AccessDenied&) {
        throw; // nothing of the file can be written then
    } catch (const registry::StoreError& e) {
        std::string start;
        if constexpr (std::is_invocable_v<What>)
            start = what();
        else
            start = what;
        report(line, start + ": " + e.what());
        return false;
    }
}

void Importer::report(int line, std::string message) {
    if (result_.diagnostics.size() < kMaxDiagnostics) {
        result_.diagnostics.push_back({line, std::move(message)});
    } else if (unlisted_++ == 0) {
        firstUnlistedLine_ = line;
    }
}

void Importer::finishReport() {
    if (unlisted_ > 0)
        result_.diagnostics.push_back(
            {firstUnlistedLine_, std::to_string(unlisted_) + " more problems from here on"});
}

int Importer::readHeader(std::string_view fileBytes) {
    std::string_view first;
    lines_.next(first);
    return readRegFileHeader(first, fileBytes);
}

void Importer::readBody() {
    std::string_view line;
    while (lines_.next(line)) {
        if (result_.version == 3)
            readWin31Line(line);
        else
            readLine(line);
    }
}

void Importer::readLine(std::string_view line) {
    std::string_view s = skipBlanks(line);
    if (s.empty() || s.front() == ';' || s.front() == '#')
        return;
    if (s.front() == '[')
        readKeyLine(s.substr(1));
    else if (s.front() == '@' || s.front() == '"')
        readValueLine(s);
    else
        report(lines_.lineNumber(), "line ignored: it is not a key, a value or a comment");
}

void Importer::readWin31Line(std::string_view line) {
    if (!line.starts_with(kClassesRoot)) {
        if (!skipBlanks(line).empty())
            report(lines_.lineNumber(), "line ignored: it does not start with HKEY_CLASSES_ROOT");
        return;
    }
    std::size_t keyEnd = std::min(line.find_first_of(" \t\v\f"), line.size());
    std::string_view text = skipBlanks(line.substr(keyEnd));
    if (text.starts_with('='))
        text.remove_prefix(1);
    if (text.starts_with(' '))
        text.remove_prefix(1); // only one blank separates the text
    openKey(line.substr(0, keyEnd));
    if (haveKey_)
        apply(lines_.lineNumber(), "value not set", [&] {
            target_.setValue("", {registry::REG_SZ, text::stringValueData(text)});
        });
}

void Importer::readKeyLine(std::string_view afterBracket) {
    // A line regedit skips leaves the key that is open as it is.
    if (!afterBracket.empty() && isBlank(afterBracket.front())) {
        report(lines_.lineNumber(), "key line ignored: a blank follows \"[\"");
        return;
    }
    std::size_t close = afterBracket.rfind(']');
    if (close == std::string_view::npos) {
        report(lines_.lineNumber(), "key line ignored: the closing \"]\" is missing");
        return;
    }
    std::string_view path = afterBracket.substr(0, close);
    if (path.starts_with('-'))
        deleteKey(path.substr(1));
    else
        openKey(path);
}

void Importer::openKey(std::string_view path) {
    KeyPath& parsed = keyPath_;
    haveKey_ = false;
    if (auto read = parseKeyPath(path, parsed); !read)
        report(lines_.lineNumber(), "key not opened: " + read.error() + "; its values are skipped");
    else
        apply(lines_.lineNumber(), "key not opened", [&] {
            if (auto opened = target_.openKey(parsed); !opened)
                report(lines_.lineNumber(), "key " + excerpt(path) + " skipped: " + opened.error());
            else
                haveKey_ = true;
        });
    if (!haveKey_)
        noKeyReason_ = "its key (" + lineRef(lines_.lineNumber()) + ") could not be opened";
}

void Importer::deleteKey(std::string_view path) {
    haveKey_ = false;
    noKeyReason_ = "it follows the key deletion on " + lineRef(lines_.lineNumber());
    if (!path.starts_with('H') && !path.starts_with('h')) {
        report(lines_.lineNumber(), "key deletion ignored: the root must follow \"[-\" directly");
        return;
    }
    KeyPath parsed;
    if (auto read = parseKeyPath(path, parsed); !read) {
        report(lines_.lineNumber(), "key not deleted: " + read.error());
        return;
    }
    if (parsed.names.empty()) {
        report(lines_.lineNumber(), "key not deleted: a root key cannot be deleted");
        return;
    }
    apply(lines_.lineNumber(), "key not deleted", [&] {
        if (auto deleted = target_.deleteKey(parsed); !deleted)
            report(lines_.lineNumber(), "key not deleted: " + deleted.error());
    });
}

void Importer::readValueLine(std::string_view line) {
    valueLine_ = lines_.lineNumber();
    std::string name;
    std::string_view rest = line.substr(1);
    if (line.front() == '"') {
        QuotedText quoted = readQuoted(rest);
        reportEscapes(quoted);
        if (!quoted.problem.empty()) {
            report(valueLine_, "line ignored: value name: " + quoted.problem);
            return;
        }
        name = std::move(quoted.text);
        rest = rest.substr(quoted.end);
    }
    valueName_ = std::move(name);
    rest = skipBlanks(rest);
    if (!rest.starts_with('=')) {
        report(valueLine_, "line ignored: \"=\" does not follow the value name");
        return;
    }
    applyValue(valueName_, trimBlanks(rest.substr(1)));
}

void Importer::applyValue(const std::string& name, std::string_view data) {
    if (data.starts_with('-')) {
        if (!onlyComment(data.substr(1)))
            report(valueLine_, valueLabel() + " not deleted: unexpected text after \"=-\"");
        else if (!haveKey_)
            report(valueLine_, valueLabel() + " not deleted: " + noKeyReason_);
        else
            apply(
                valueLine_, [this] { return valueLabel() + " not deleted"; },
                [&] { target_.deleteValue(name); });
        return;
    }
    RegValue value;
    text_.reset();
    if (!readData(data, value))
        return;
    if (name.size() > kMaxValueNameChars &&
        text::utf8ToUtf16le(name).size() / 2 > kMaxValueNameChars)
        dropValue("its name is longer than " + std::to_string(kMaxValueNameChars) + " characters");
    else if (name.find('\0') != std::string::npos) // the registry functions would end it there
        dropValue("its name holds a NUL character");
    else if (!haveKey_)
        dropValue(noKeyReason_);
    else
        apply(
            valueLine_, [this] { return valueLabel() + " not set"; },
            [&] {
                if (text_)
                    target_.setText(name, *text_);
                else
                    target_.setValue(name, value);
            });
}

bool Importer::readData(std::string_view data, RegValue& value) {
    if (data.starts_with('"'))
        return readString(data.substr(1), value);
    if (data.starts_with("hex:") || data.starts_with("hex("))
        return readHex(data, value);
    if (data.starts_with("dword:")) {
        auto number = parseDword(data.substr(6));
        if (!number) {
            dropValue(number.error());
            return false;
        }
        value.type = registry::REG_DWORD;
        for (int shift = 0; shift < 32; shift += 8)
            value.data.push_back(static_cast<std::uint8_t>(*number >> shift));
        return true;
    }
    dropValue(data.empty() ? "no data follows \"=\""
                           : "unknown kind of data " + excerpt(data) +
                                 " (expected \"text\", dword:, hex: or hex(type):)");
    return false;
}

bool Importer::readString(std::string_view afterQuote, RegValue& value) {
    QuotedText quoted = readQuoted(afterQuote);
    reportEscapes(quoted);
    if (quoted.problem.empty() && !onlyComment(afterQuote.substr(quoted.end)))
        quoted.problem = "unexpected text after the closing quote";
    if (quoted.problem.empty() && quoted.text.size() * 2 > kMaxValueBytes)
        quoted.problem =
            "the text is longer than " + std::to_string(kMaxValueBytes / 2) + " characters";
    if (!quoted.problem.empty()) {
        dropValue(quoted.problem);
        return false;
    }
    // The text is widened to UTF-16 only if the target needs it so (see ImportTarget::setText).
    value.type = registry::REG_SZ;
    text_ = std::move(quoted.text);
    return true;
}

bool Importer::readHex(std::string_view data, RegValue& value) {
    auto read = parseHexTag(data);
    if (!read) {
        dropValue(read.error());
        return false;
    }
    const HexTag& tag = *read;
    std::string problem;
    value.type = tag.type;
    std::string_view chunk = data.substr(tag.length);
    if (chunk.empty())
        return true; // "hex(2):" is an empty value of that type, with no NUL added
    std::vector<std::uint8_t> bytes;
    for (;;) {
        HexLine state = appendHexBytes(chunk, bytes, problem);
        if (state == HexLine::Invalid) {
            dropValue(lines_.lineNumber() == valueLine_
                          ? problem
                          : problem + " (on " + lineRef(lines_.lineNumber()) + ")");
            return false;
        }
        if (state == HexLine::Done)
            break;
        Continuation next = nextHexLine(chunk);
        if (next == Continuation::Broken)
            return false;
        if (next == Continuation::End)
            break; // regedit takes a backslash on the last line as the end of the data
    }
    value.data = tag.asStored ? std::move(bytes)
                              : finishHexData(value.type, std::move(bytes), encoding_, codePage_);
    return true;
}

// Blank lines and ";" comments may sit between continued lines; anything else ends the value
// and, as in regedit, is consumed with it.
Importer::Continuation Importer::nextHexLine(std::string_view& chunk) {
    std::string_view line;
    while (lines_.next(line)) {
        std::string_view s = skipBlanks(line);
        if (s.empty() || s.front() == ';')
            continue;
        if (isHexDigit(s.front())) {
            chunk = s;
            return Continuation::More;
        }
        dropValue("its data goes on to " + lineRef(lines_.lineNumber()) +
                  ", which is not hex data and is skipped as well");
        return Continuation::Broken;
    }
    return Continuation::End;
}

void Importer::dropValue(std::string reason) {
    report(valueLine_, valueLabel() + " skipped: " + reason);
}

void Importer::reportEscapes(const QuotedText& quoted) {
    for (const std::string& escaped : quoted.unknownEscapes)
        report(lines_.lineNumber(),
               "unrecognized escape sequence \\" + escaped + ", read as " + escaped);
}

ImportResult importInto(std::string_view fileBytes, ImportTarget& target,
                        const text::CodePage& codePage) {
    DecodedText text = decodeRegFile(fileBytes, codePage);
    ImportResult result;
    result.unicode = text.encoding == TextEncoding::Utf16le;
    Importer importer(text, codePage, target, result);
    result.version = importer.readHeader(fileBytes);
    importer.readBody();
    if (text.halfCharacterAtEnd)
        importer.report(importer.lastLine(),
                        "the file ends in the middle of a UTF-16 character; it may be cut short");
    importer.finishReport();
    return result;
}

} // namespace

ImportResult importRegFile(std::string_view fileBytes, registry::MemoryStore& target,
                           const text::CodePage& codePage) {
    MemoryTarget memory(target);
    return importInto(fileBytes, memory, codePage);
}

Result<ImportResult> importRegFile(std::string_view fileBytes, ImportTarget& target,
                                   const text::CodePage& codePage) {
    return registry::attempt([&] { return importInto(fileBytes, target, codePage); });
}

Result<int> regFileVersion(std::string_view fileBytes, const text::CodePage& codePage) {
    DecodedText text = decodeRegFile(fileBytes, codePage);
    LineReader lines(text.utf8);
    std::string_view first;
    lines.next(first);
    return registry::attempt([&] { return readRegFileHeader(first, fileBytes); });
}

} // namespace moxalo::regfile
