#include "tools/cli/JsonWriter.h"

#include "tools/cli/TextFormats.h"

#include <ostream>
#include <string>

namespace moxalo::cli {

void JsonWriter::separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levels_.empty())
        return;
    Level& level = levels_.back();
    if (level.oneLine)
        out_ << (level.empty ? "" : ", ");
    else
        out_ << (level.empty ? "\n" : ",\n") << std::string(2 * levels_.size(), ' ');
    level.empty = false;
}

void JsonWriter::open(char bracket, bool oneLine) {
    separate();
    // Within a line, everything stays on it.
    bool inLine = oneLine || (!levels_.empty() && levels_.back().oneLine);
    levels_.push_back({inLine});
    out_ << bracket;
}

void JsonWriter::close(char bracket) {
    Level level = levels_.back();
    levels_.pop_back();
    if (!level.oneLine && !level.empty)
        out_ << "\n" << std::string(2 * levels_.size(), ' ');
    out_ << bracket;
}

JsonWriter& JsonWriter::beginObject(bool oneLine) {
    open('{', oneLine);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    close('}');
    return *this;
}

JsonWriter& JsonWriter::beginArray(bool oneLine) {
    open('[', oneLine);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    close(']');
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    separate();
    out_ << JsonString(name) << ": ";
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    separate();
    out_ << JsonString(text);
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    separate();
    out_ << (flag ? "true" : "false");
    return *this;
}

JsonWriter& JsonWriter::value(std::int64_t number) {
    separate();
    out_ << number;
    return *this;
}

void JsonWriter::endLine() {
    out_ << "\n";
}

void JsonWriter::finish() {
    out_ << "\n";
    out_.flush();
}

} // namespace moxalo::cli
