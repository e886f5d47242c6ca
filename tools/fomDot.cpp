// fomDot.cpp -- class hierarchies as Graphviz. Node identifiers are the
// full class names with a prefix per hierarchy ("o:", "i:"), so an object
// class and an interaction class of the same name stay two nodes; labels
// show the last name component, as the tree does.

#include "fomDot.h"

#include <set>
#include <string>
#include <vector>

namespace fomtool {
namespace {

// A DOT double-quoted string. Only '"' and '\' need escaping there; a line
// end in a name would end the label's line, so it is written as a blank.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += (c == '\n' || c == '\r') ? ' ' : c;
    }
    return out + "\"";
}

// Escapes for a label that holds several left-aligned lines: each line ends
// in \l, which is why the text itself cannot go through quoted() whole.
std::string labelLine(const std::string& text) {
    std::string q = quoted(text);
    return q.substr(1, q.size() - 2) + "\\l";
}

std::string leafName(const ZnString& name, const ZnString& parent) {
    return name.string().substr(parent.empty() ? 0 : parent.size() + 1);
}

template <class Class, class Members>
void printCluster(std::ostream& out, const char* cluster, const char* title, const char* prefix,
                  const std::vector<Class>& classes, Members members) {
    out << "  subgraph " << cluster << " {\n    label=" << quoted(title) << ";\n";
    for (const Class& cls : classes) {
        std::string leaf = leafName(cls.name, cls.parent);
        std::vector<std::string> lines = members(cls);
        out << "    " << quoted(prefix + cls.name.string()) << " [label=";
        if (lines.empty()) {
            out << quoted(leaf);
        } else {
            out << '"' << labelLine(leaf);
            for (const std::string& line : lines) out << labelLine("  " + line);
            out << '"';
        }
        out << "];\n";
    }
    out << "  }\n";
}

// Edges only towards classes the model holds: an edge naming an unknown
// parent would make Graphviz invent a node outside both clusters.
template <class Class>
void printEdges(std::ostream& out, const char* prefix, const std::vector<Class>& classes) {
    std::set<std::string> known;
    for (const Class& cls : classes) known.insert(cls.name.string());
    for (const Class& cls : classes)
        if (!cls.parent.empty() && known.count(cls.parent.string()))
            out << "  " << quoted(prefix + cls.parent.string()) << " -> "
                << quoted(prefix + cls.name.string()) << ";\n";
}

}  // namespace

void printModelDot(std::ostream& out, const ZnFom& fom, bool members) {
    out << "digraph fom {\n  rankdir=LR;\n  node [shape=box];\n";
    printCluster(out, "cluster_objects", "Object classes", "o:", fom.objectClasses(),
                 [&](const ZnFom::ObjectClass& cls) {
                     std::vector<std::string> lines;
                     if (members)
                         for (const ZnFom::Attribute& a : cls.attributes)
                             lines.push_back(a.name.string());
                     return lines;
                 });
    printCluster(out, "cluster_interactions", "Interaction classes", "i:", fom.interactionClasses(),
                 [&](const ZnFom::InteractionClass& cls) {
                     std::vector<std::string> lines;
                     if (members)
                         for (const ZnString& p : cls.parameters) lines.push_back(p.string());
                     return lines;
                 });
    printEdges(out, "o:", fom.objectClasses());
    printEdges(out, "i:", fom.interactionClasses());
    out << "}\n";
}

}  // namespace fomtool
