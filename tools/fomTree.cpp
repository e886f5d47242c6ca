// fomTree.cpp -- the class tree of pxs-fom. Each class is printed by its
// last name component, indented two spaces a level, with its attributes or
// parameters below it; the counts of every table follow.

#include "fomTree.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fomNames.h"

namespace fomtool {
namespace {

// Children of each class in delivery order, then a depth-first walk with an
// explicit stack (a class tree is as deep as its file allows).
template <class Class, class PrintMembers>
void printTree(std::ostream& out, const std::vector<Class>& classes, PrintMembers members) {
    std::map<std::string, std::vector<size_t>> children;
    std::vector<size_t> roots;
    for (size_t i = 0; i < classes.size(); ++i) {
        if (classes[i].parent.empty())
            roots.push_back(i);
        else
            children[classes[i].parent.string()].push_back(i);
    }
    std::vector<std::pair<size_t, int>> stack;
    for (auto it = roots.rbegin(); it != roots.rend(); ++it) stack.emplace_back(*it, 0);
    while (!stack.empty()) {
        auto [index, depth] = stack.back();
        stack.pop_back();
        const Class& cls = classes[index];
        std::string indent(static_cast<size_t>(depth) * 2, ' ');
        std::string leaf = cls.name.string().substr(cls.parent.empty() ? 0 : cls.parent.size() + 1);
        out << indent << leaf;
        members(cls, indent + "  ");
        const std::vector<size_t>& kids = children[cls.name.string()];
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) stack.emplace_back(*it, depth + 1);
    }
}

}  // namespace

void printModelTree(std::ostream& out, const ZnFom& fom) {
    size_t attributes = 0, parameters = 0;
    out << "Object classes\n";
    printTree(out, fom.objectClasses(), [&](const ZnFom::ObjectClass& cls, const std::string& in) {
        out << "\n";
        for (const ZnFom::Attribute& a : cls.attributes) {
            ++attributes;
            out << in << "attribute " << a.name << " [" << transportText(fom, a.transport) << ", "
                << orderText(a.order) << "]";
            if (!a.space.empty()) out << " space " << a.space;
            if (!a.dimensions.empty()) out << " dimensions " << joined(a.dimensions);
            out << "\n";
        }
    });
    out << "Interaction classes\n";
    printTree(out, fom.interactionClasses(),
              [&](const ZnFom::InteractionClass& cls, const std::string& in) {
                  out << " [" << transportText(fom, cls.transport) << ", " << orderText(cls.order)
                      << "]";
                  if (!cls.space.empty()) out << " space " << cls.space;
                  if (!cls.dimensions.empty()) out << " dimensions " << joined(cls.dimensions);
                  out << "\n";
                  for (const ZnString& p : cls.parameters) {
                      ++parameters;
                      out << in << "parameter " << p << "\n";
                  }
              });
    const std::pair<const char*, size_t> counts[] = {
        {"object classes", fom.objectClasses().size()},
        {"attributes", attributes},
        {"interaction classes", fom.interactionClasses().size()},
        {"parameters", parameters},
        {"dimensions", fom.dimensions().size()},
        {"routing spaces", fom.spaces().size()},
        {"transportations", fom.transportations().size()},
        {"switches", fom.switchTable().size()},
        {"time", fom.times().size()},
        {"synchronization points", fom.synchronizationPoints().size()},
        {"user-supplied tags", fom.userSuppliedTags().size()},
        {"notes", fom.notes().size()},
        {"update rates", fom.updateRates().size()},
        {"basic data representations", fom.basicDataRepresentations().size()},
        {"simple data types", fom.simpleDatatypes().size()},
        {"array data types", fom.arrayDatatypes().size()},
        {"enumerated data types", fom.enumeratedDatatypes().size()},
        {"fixed record data types", fom.fixedRecordDatatypes().size()},
        {"variant record data types", fom.variantRecordDatatypes().size()},
        {"modules", fom.modules().size()},
    };
    out << "\n";
    for (const auto& [table, count] : counts) out << table << ": " << count << "\n";
}

}  // namespace fomtool
