// fomJsonWriter.h -- a small streaming JSON writer for pxs-fom: values go
// straight to an ostream, with commas placed by nesting level. No document
// is built in memory, so a model of any size costs only its nesting depth.
//
//     Json j(std::cout);
//     j.beginObject().key("name").value("Quay").key("size").number(12).endObject();
//
// Part of the pxs-fom program only.

#ifndef TOOLS_FOMJSONWRITER_H
#define TOOLS_FOMJSONWRITER_H

#include <ostream>
#include <vector>

#include <pxs/pxs.h>

namespace fomtool {

// Writes JSON values; the caller opens and closes objects and arrays in
// matching pairs and writes a key before each member of an object.
class Json {
public:
    explicit Json(std::ostream& out) : out_(out) {}

    Json& beginObject() { return open('{'); }
    Json& endObject() { return close('}'); }
    Json& beginArray() { return open('['); }
    Json& endArray() { return close(']'); }
    Json& key(const char* name);
    // A string, or null for a null pointer.
    Json& value(const char* text);
    Json& value(const ZnString& text) { return value(text.c_str()); }
    Json& value(const ZnString* text) { return value(text ? text->c_str() : nullptr); }
    Json& boolean(bool b);
    Json& number(long long n);
    Json& unsignedNumber(unsigned long long n);
    // Shortest text that reads back as the same float; null when not finite.
    Json& real(float f);
    Json& null() { return value(static_cast<const char*>(nullptr)); }
    Json& strings(const std::vector<ZnString>& list);

private:
    Json& open(char c);
    Json& close(char c);
    void separate();
    void writeString(const char* text);

    std::ostream& out_;
    std::vector<bool> first_;  // per open container: nothing written in it yet
    bool afterKey_ = false;    // a key was just written: its value takes no comma
};

}  // namespace fomtool

#endif
