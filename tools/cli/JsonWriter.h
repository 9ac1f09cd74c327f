#pragma once
// The one writer of moxalo-cli's JSON: members and elements on lines of their own, indented by
// two blanks a level, or a whole object on one line (a row of a list), so that the output reads
// well and greps by line. It writes as it goes: a list of thousands of rows is never held.

#include <cstdint>
#include <iosfwd>
#include <string_view>
#include <vector>

namespace moxalo::cli {

class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    // `oneLine` writes the object's members, and all within it, on the line it starts on.
    JsonWriter& beginObject(bool oneLine = false);
    JsonWriter& endObject();
    JsonWriter& beginArray(bool oneLine = false);
    JsonWriter& endArray();

    // A member's name, in an object: the next value or container is its value.
    JsonWriter& key(std::string_view name);
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(bool flag);
    JsonWriter& value(std::int64_t number);

    // A member with a value, in one call.
    template <typename T> JsonWriter& member(std::string_view name, const T& v) {
        return key(name).value(v);
    }

    // Ends the document with a line break.
    void finish();
    // Ends one line of a stream of top-level values (JSON Lines), without flushing.
    void endLine();

private:
    struct Level {
        bool oneLine;
        bool empty = true;
    };
    // Before a value, a member's name or a container: the comma and line break it needs.
    void separate();
    void open(char bracket, bool oneLine);
    void close(char bracket);

    std::ostream& out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

} // namespace moxalo::cli
