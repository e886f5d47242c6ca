// envPxsWriter.cpp -- writes a configuration tree as nested PXS forms. The
// subtree walk keeps its own stack: trees built in code have no depth limit.

#include "envPxsWriter.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include <pxs/envWalk.h>
#include <pxs/read.h>
#include <util/znNotify.h>

namespace {

using pxsdetail::WalkStep;

constexpr int kObjectIndent = 3;

void put(std::ofstream& out, const ZnString& text) {
    out.write(text.c_str(), static_cast<std::streamsize>(text.size()));
}

void newLine(std::ofstream& out, int indentation) {
    static const std::string kBlanks(64, ' ');
    out.put('\n');
    for (; indentation > 0; indentation -= static_cast<int>(kBlanks.size()))
        out.write(kBlanks.data(), std::min<std::streamsize>(indentation, kBlanks.size()));
}

// The reader's string escape character, or -1 when there is none. A double
// quote as escape character never takes effect: the quote ends the string.
int escapeChar() {
    if (!ZnPxsReadEscapeChar || *ZnPxsReadEscapeChar == '"') return -1;
    return static_cast<unsigned char>(*ZnPxsReadEscapeChar);
}

// `value` as the text between the double quotes of a PXS string that reads
// back as `value`; false when there is none. Without an escape character a
// double quote cannot be written. With one, the reader takes the escape
// character and the character after it as a pair, keeping both unless the
// second is a double quote: a double quote is written escaped, and an
// escape character in the value must be followed by a character other than
// a double quote, or it would swallow one.
bool encodeValue(const ZnString& value, std::string& out) {
    const std::string& text = value.std();
    const int escape = escapeChar();
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int c = static_cast<unsigned char>(text[i]);
        if (c == '"') {
            if (escape < 0) return false;
            out += static_cast<char>(escape);
        } else if (c == escape) {
            if (i + 1 == text.size() || text[i + 1] == '"') return false;
            out += text[i++];
        }
        out += text[i];
    }
    return true;
}

void quoted(std::ofstream& out, const ZnString& value) {
    std::string text;
    if (!encodeValue(value, text)) text = value.std();  // unchecked writeValue: as it is
    out.put('"');
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.put('"');
}

// A name or type is written as a symbol: it must read back as one token
// that is neither a number, a string, a quoted datum, a comment, nor one of
// the reader's constants.
bool symbolFits(const ZnString& text) {
    const std::string& s = text.std();
    if (s.empty() || s[0] == '"' || s[0] == '\'' || s[0] == ';') return false;
    if (s == "nil") return false;
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (digit(s[0]) || (s[0] == '-' && s.size() > 1 && digit(s[1]))) return false;
    for (char c : s)
        if (c == '(' || c == ')' || c == ' ' || (c >= '\t' && c <= '\r')) return false;
    return true;
}

void cannotWrite(const std::vector<ZnString>& path, const ZnString& name, const char* reason) {
    std::string where;
    for (const ZnString& step : path) where += step.std() + "/";
    ZnWarn << "ZnEnvPXSWriter: cannot write " << where << name.std() << ": " << reason << "\n";
}

// Whether every node of the tree from `root` reads back from the PXS form
// as written; each node that does not is named on ZnWarn. Comments and
// native values are written as line comments, which a read skips by
// design, so they are never counted as lost.
bool fitsPxsForm(const ZnEnvValueSP& root) {
    if (!ZnEnvObject::isObject(root)) {
        cannotWrite({}, "the root", "is not an object, so the first form would not rename it");
        return false;
    }
    bool fits = true;
    std::vector<ZnString> path;      // names from the root to the node's parent
    std::vector<bool> attributes;    // for each of them, whether it is an attribute
    std::string scratch;
    auto enter = [&](const ZnEnvValueSP& node, std::size_t) {
        ZnEnvNamedList* named = ZnEnvNamedList::castToNamedList(node);
        if (!named) {
            if (ZnEnvList::isList(node)) {
                cannotWrite(path, "(a plain list)", "does not read back from the PXS form");
                fits = false;
            }
            return WalkStep::Skip;
        }
        const ZnString name = named->name();
        auto fail = [&](const char* reason) {
            cannotWrite(path, name, reason);
            fits = false;
        };
        ZnEnvObject* object = ZnEnvObject::castToObject(node);
        const bool inAttribute = !attributes.empty() && attributes.back();
        if (!symbolFits(name)) fail("has a name that does not read back as a PXS symbol");
        if (object && !symbolFits(object->type()))
            fail("has a type that does not read back as a PXS symbol");
        if (!encodeValue(named->value(), scratch))
            fail("has a value that a PXS string cannot hold (a double quote)");
        if (inAttribute) fail("is a child of an attribute, which the PXS form drops");
        path.push_back(name);
        attributes.push_back(!object);
        return WalkStep::Descend;
    };
    pxsdetail::walkTree(root, enter, [&](const ZnEnvValueSP&, std::size_t) {
        path.pop_back();
        attributes.pop_back();
    });
    return fits;
}

}  // namespace

ZnEnvPXSWriter::ZnEnvPXSWriter() = default;

ZnEnvPXSWriter::~ZnEnvPXSWriter() = default;

// Nothing is written, and the file is left as it was, unless the whole tree
// reads back. A file that cannot be created still answers true, as callers
// of writeFile have always been told; the warning names it.
bool ZnEnvPXSWriter::writeFile(ZnEnvironment& env, const ZnString& fileName) {
    env_ = &env;
    root_ = env.root();
    bool written = false;
    if (root_ && fitsPxsForm(root_)) {
        indentation_ = 0;
        std::ofstream out(fileName.c_str(), std::ios::out | std::ios::trunc | std::ios::binary);
        if (out) writeValue(root_, out);
        out.close();
        written = true;
        if (!out)
            ZnWarn << "ZnEnvPXSWriter: cannot write " << fileName.std()
                   << ": the file cannot be created or written\n";
    }
    env_ = nullptr;
    root_.reset();
    return written;
}

// Objects and attributes are closed with their ")" when the walk leaves
// them. Children of an object are three blanks further in, children of an
// attribute at its own indentation.
//
// A comment runs to the end of its line, so text that would follow it on
// that line (an attribute's ")", a plain list's value) goes to a new line,
// and a comment holding line breaks continues each of its lines with ";".
// Either would otherwise comment out or inject syntax; output without
// comments in those places is unaffected.
void ZnEnvPXSWriter::writeValue(ZnEnvValueSP node, std::ofstream& out) {
    bool inComment = false;
    auto endComment = [&] {
        if (inComment) out.put('\n');
        inComment = false;
    };
    auto enter = [&](const ZnEnvValueSP& value, std::size_t) {
        if (ZnEnvObject* object = ZnEnvObject::castToObject(value)) {
            inComment = false;
            newLine(out, indentation_);
            const ZnString name = object->name();
            const ZnString type = object->type();
            const ZnString text = object->value();
            out.put('(');
            put(out, name);
            out.put(' ');
            if (type != name) put(out, type);
            if (!text.empty()) {
                out << "( ";
                quoted(out, text);
                out << " )";
            }
            indentation_ += kObjectIndent;
            return WalkStep::Descend;
        }
        if (ZnEnvNamedList* named = ZnEnvNamedList::castToNamedList(value)) {
            inComment = false;
            newLine(out, indentation_);
            out.put('(');
            put(out, named->name());
            out.put(' ');
            quoted(out, named->value());
            return WalkStep::Descend;
        }
        if (ZnEnvList::isList(value)) {
            endComment();
            quoted(out, value->value());
            return WalkStep::Skip;
        }
        const ZnString comment = value->value();
        out << "\n;";
        for (char c : comment.std()) {
            out.put(c);
            if (c == '\n') out.put(';');
        }
        inComment = true;
        return WalkStep::Skip;
    };
    auto leave = [&](const ZnEnvValueSP& value, std::size_t) {
        if (ZnEnvObject::isObject(value)) {
            indentation_ -= kObjectIndent;
            newLine(out, indentation_);
            inComment = false;
        } else {
            endComment();
        }
        out.put(')');
    };
    pxsdetail::walkTree(node, enter, leave);
}
