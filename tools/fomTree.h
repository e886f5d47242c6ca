// fomTree.h -- the default output of pxs-fom: the object and interaction
// class hierarchies as an indented tree, then one count line per table.
//
// Part of the pxs-fom program only.

#ifndef TOOLS_FOMTREE_H
#define TOOLS_FOMTREE_H

#include <ostream>

#include <pxs/pxs.h>

namespace fomtool {

void printModelTree(std::ostream& out, const ZnFom& fom);

}  // namespace fomtool

#endif
