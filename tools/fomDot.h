// fomDot.h -- the --dot output of pxs-fom: the object and interaction class
// hierarchies as one Graphviz digraph, each hierarchy a cluster, an edge
// from every class to each of its subclasses.
//
//     pxs-fom --dot model.xml | dot -Tsvg >model.svg
//
// Part of the pxs-fom program only.

#ifndef TOOLS_FOMDOT_H
#define TOOLS_FOMDOT_H

#include <ostream>

#include <pxs/pxs.h>

namespace fomtool {

// With `members`, each node label lists the class's own attributes or
// parameters under its name.
void printModelDot(std::ostream& out, const ZnFom& fom, bool members);

}  // namespace fomtool

#endif
