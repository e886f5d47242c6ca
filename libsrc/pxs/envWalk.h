// envWalk.h -- the one walk over a configuration subtree, depth first in
// pre-order, used by every module that visits a tree (searches, listings,
// synchronisation, copies, the writers). Internal: not installed.
//
//   pxsdetail::walkTree(root,
//       [](const ZnEnvValueSP& node, std::size_t depth) { ...; return WalkStep::Descend; },
//       [](const ZnEnvValueSP& node, std::size_t depth) { ... });
//
// The walk keeps its own stack on the heap, so a tree of any depth costs
// heap, not host stack. Each open level holds its node and its current
// child by shared pointer, so a callback may change the tree under the
// walk (remove the current node, its children or its siblings; a
// synchroniser may do so from inside a tree operation) without leaving the
// walk on a freed node.

#ifndef PXS_ENVWALK_H
#define PXS_ENVWALK_H

#include <cstddef>
#include <vector>

#include <pxs/envList.h>

namespace pxsdetail {

// What enter() answers for a node: go below it, pass over its subtree, or
// end the whole walk.
enum class WalkStep { Descend, Skip, Stop };

// Calls enter(node, depth) for `start` and then for each node of its
// subtree, children from first() on; `depth` is 0 for `start`. For every
// node whose enter() answered Descend, leave(node, depth) follows once its
// subtree is done (at once for a node without children). A Skip gets no
// leave(); after a Stop nothing more is called.
//
// The next child of a list is asked for (next()) only when the previous
// child's subtree is done, as a recursive walk would: children appended
// meanwhile are visited, and removing the current child from its list ends
// that list's level, since next() no longer finds it. Answers false when
// the walk was stopped, true when it ran to the end (or `start` is null).
template <typename Enter, typename Leave>
bool walkTree(const ZnEnvValueSP& start, Enter&& enter, Leave&& leave) {
    struct Level {
        ZnEnvValueSP node;   // keeps `list` alive whatever callbacks do
        ZnEnvList* list;     // null for a node that is not a list
        ZnEnvValueSP child;  // the child being walked; null before the first
    };
    std::vector<Level> stack;
    auto open = [&](const ZnEnvValueSP& node) {
        const WalkStep step = enter(node, stack.size());
        if (step == WalkStep::Descend) stack.push_back({node, ZnEnvList::castToList(node), {}});
        return step != WalkStep::Stop;
    };
    if (!start) return true;
    if (!open(start)) return false;
    while (!stack.empty()) {
        Level& top = stack.back();
        ZnEnvValueSP child;
        if (top.list) child = top.child ? top.list->next(top.child) : top.list->first();
        if (child) {
            top.child = child;
            if (!open(child)) return false;  // may grow the stack: `top` is stale now
            continue;
        }
        ZnEnvValueSP done = std::move(top.node);
        stack.pop_back();
        leave(done, stack.size());
    }
    return true;
}

// The walk without leave().
template <typename Enter>
bool walkTree(const ZnEnvValueSP& start, Enter&& enter) {
    return walkTree(start, enter, [](const ZnEnvValueSP&, std::size_t) {});
}

}  // namespace pxsdetail

#endif
