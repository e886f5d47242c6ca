// envPxsWriter.cpp -- writes a configuration tree as nested PXS forms. The
// subtree walk keeps its own stack: trees built in code have no depth limit.

#include "envPxsWriter.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

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

void quoted(std::ofstream& out, const ZnString& value) {
    out.put('"');
    put(out, value);
    out.put('"');
}

}  // namespace

ZnEnvPXSWriter::ZnEnvPXSWriter() = default;

ZnEnvPXSWriter::~ZnEnvPXSWriter() = default;

bool ZnEnvPXSWriter::writeFile(ZnEnvironment& env, const ZnString& fileName) {
    env_ = &env;
    root_ = env.root();
    const bool hasRoot = static_cast<bool>(root_);
    if (hasRoot) {
        indentation_ = 0;
        std::ofstream out(fileName.c_str(), std::ios::out | std::ios::trunc | std::ios::binary);
        if (out) writeValue(root_, out);
    }
    env_ = nullptr;
    root_.reset();
    return hasRoot;
}

// Objects and attributes open a level on an explicit stack; a level closes
// with its ")" once its children are written. Children of an object are
// three blanks further in, children of an attribute at its own indentation.
//
// A comment runs to the end of its line, so text that would follow it on
// that line (an attribute's ")", a plain list's value) goes to a new line,
// and a comment holding line breaks continues each of its lines with ";".
// Either would otherwise comment out or inject syntax; output without
// comments in those places is unaffected.
void ZnEnvPXSWriter::writeValue(ZnEnvValueSP node, std::ofstream& out) {
    struct Level {
        ZnEnvValueSP hold;
        ZnEnvList* list;
        ZnEnvValueSP next;
        bool object;
    };
    std::vector<Level> stack;
    bool inComment = false;
    auto endComment = [&] {
        if (inComment) out.put('\n');
        inComment = false;
    };
    auto visit = [&](const ZnEnvValueSP& value) {
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
            stack.push_back({value, object, object->first(), true});
            indentation_ += kObjectIndent;
        } else if (ZnEnvNamedList* named = ZnEnvNamedList::castToNamedList(value)) {
            inComment = false;
            newLine(out, indentation_);
            out.put('(');
            put(out, named->name());
            out.put(' ');
            quoted(out, named->value());
            stack.push_back({value, named, named->first(), false});
        } else if (ZnEnvList::isList(value)) {
            endComment();
            quoted(out, value->value());
        } else {
            const std::string text = value->value().string();
            out << "\n;";
            for (char c : text) {
                out.put(c);
                if (c == '\n') out.put(';');
            }
            inComment = true;
        }
    };
    visit(node);
    while (!stack.empty()) {
        Level& top = stack.back();
        if (top.next) {
            ZnEnvValueSP child = top.next;
            top.next = top.list->next(child);
            visit(child);  // may grow the stack: `top` is not used after this
            continue;
        }
        if (top.object) {
            indentation_ -= kObjectIndent;
            newLine(out, indentation_);
            inComment = false;
        } else {
            endComment();
        }
        out.put(')');
        stack.pop_back();
    }
}
