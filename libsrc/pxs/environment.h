// environment.h -- ZnEnvironment, the handle through which a configuration
// tree is built, searched, copied and printed, and the reader and writer
// interfaces of tree files.
//
//   ZnEnvironment env;                               // root object "root"
//   ZnEnvValueSP link = env.addObject("main", "link");
//   env.addAttribute("port", "5", link);
//   env.getAttribute("port")->value();               // "5"
//   std::cout << env;                                // indented listing
//
// A handle is a small value: copies share the tree. Every operation whose
// parent or start node is left out works on the handle's root. Nothing here
// throws: a failure is a null result, false, -1 or no change. Walks over
// the tree use an explicit stack, so depth costs heap, not host stack.

#ifndef PXS_ENVIRONMENT_H
#define PXS_ENVIRONMENT_H

#include <iosfwd>
#include <list>

#include <pxs/envList.h>
#include <pxs/envNamedList.h>
#include <pxs/envObject.h>
#include <pxs/envValue.h>
#include <pxs/nativeValue.h>

class ZnEnvObjectSync;

class ZnEnvironment {
public:
    typedef std::list<ZnEnvValueSP> ValueList;

    // Root: a new object named and typed "root" with an empty value.
    ZnEnvironment();
    // Root: a new object named and typed `name` with an empty value.
    explicit ZnEnvironment(const ZnString& name);
    // Wraps `root`, which may be null. Implicit, so a node can be passed
    // where a handle on its subtree is wanted.
    ZnEnvironment(ZnEnvValueSP root);
    ZnEnvironment(const ZnEnvironment&) = default;
    ZnEnvironment& operator=(const ZnEnvironment&) = default;
    virtual ~ZnEnvironment();

    ZnEnvValueSP root() const { return root_; }
    void setRoot(ZnEnvValueSP root) { root_ = root; }
    // Moves the root up to its parent when it has one.
    void rootToParent();
    // The last node up the parent links; null when the links form a loop.
    ZnEnvValueSP getTopParent() const;
    ZnEnvValueSP getTopParent(ZnEnvValueSP node) const;
    // Moves `child` from its parent (when it has one) to `newParent`, or
    // just detaches it for a null `newParent`; nothing happens when
    // `newParent` is not a list.
    void reparent(ZnEnvValueSP child, ZnEnvValueSP newParent);

    // Building: each returns the new node, null when the parent is null or
    // not a list. Comments and native values get no parent link.
    ZnEnvValueSP addComment(const ZnString& text);
    ZnEnvValueSP addComment(const ZnString& text, ZnEnvValueSP parent);
    ZnEnvValueSP addNativeValue(boost::shared_ptr<ZnNativeValue> value);
    ZnEnvValueSP addNativeValue(boost::shared_ptr<ZnNativeValue> value, ZnEnvValueSP parent);
    ZnEnvValueSP addNamedList(const ZnString& name);
    ZnEnvValueSP addNamedList(const ZnString& name, ZnEnvValueSP parent);
    ZnEnvValueSP addAttribute(const ZnString& name, const ZnString& value);
    ZnEnvValueSP addAttribute(const ZnString& name, const ZnString& value, ZnEnvValueSP parent);
    ZnEnvValueSP addObject(const ZnString& name, const ZnString& type);
    ZnEnvValueSP addObject(const ZnString& name, const ZnString& type, ZnEnvValueSP parent);
    ZnEnvValueSP addObject(const ZnString& name);
    ZnEnvValueSP addObject(const ZnString& name, ZnEnvValueSP parent);

    // Depth-first, pre-order, first match; the start node is tested first.
    // Null when nothing matches.
    ZnEnvValueSP getNamedList(const ZnString& name) const;
    ZnEnvValueSP getNamedList(const ZnString& name, ZnEnvValueSP start) const;
    ZnEnvValueSP getAttribute(const ZnString& name) const;
    ZnEnvValueSP getAttribute(const ZnString& name, ZnEnvValueSP start) const;
    ZnEnvValueSP getObject(const ZnString& name, const ZnString& type) const;
    ZnEnvValueSP getObject(const ZnString& name, const ZnString& type, ZnEnvValueSP start) const;
    // The first direct child of `parent` that is a native value; null when none.
    ZnEnvValueSP getNativeValue(ZnEnvValueSP parent) const;

    // Append every match, in pre-order, to `out` (not cleared first); the
    // start node is tested too and the search goes on below a match.
    void getNamedListsByName(const ZnString& name, ValueList& out) const;
    void getNamedListsByName(const ZnString& name, ValueList& out, ZnEnvValueSP start) const;
    void getObjectsByName(const ZnString& name, ValueList& out) const;
    void getObjectsByName(const ZnString& name, ValueList& out, ZnEnvValueSP start) const;
    void getObjectsByType(const ZnString& type, ValueList& out) const;
    void getObjectsByType(const ZnString& type, ValueList& out, ZnEnvValueSP start) const;

    // Calls updateObjectCB of every synchronised object of the subtree, in pre-order.
    void sync();
    void sync(ZnEnvValueSP start);
    // The synchroniser of getObject(name, type[, start]); null when none.
    ZnEnvObjectSync* getObjectSync(const ZnString& name, const ZnString& type) const;
    ZnEnvObjectSync* getObjectSync(const ZnString& name, const ZnString& type,
                                   ZnEnvValueSP start) const;

    // A parentless deep copy of `source`, appended to `destination` when
    // that is a list; returned either way (null for a null source).
    ZnEnvValueSP copy(ZnEnvValueSP source);
    ZnEnvValueSP copy(ZnEnvValueSP source, ZnEnvValueSP destination);
    // Takes `node` out of its parent and out of the root's direct children.
    void remove(ZnEnvValueSP node);

    // Whether walking up from `node` meets the root (see level()).
    bool contains(ZnEnvValueSP node) const;
    // Parent steps from `node` up to the root, 0 for the root itself; -1
    // when the walk does not meet it. The walk gives up at a node whose
    // value is empty, the root included.
    int level(ZnEnvValueSP node) const;

    // The tree from the root as indented text; children are indented three
    // blanks more than their parent. Comments and plain lists, with their
    // subtrees, only when `withComments` is set.
    void print(std::ostream& out, const ZnString& indent, bool withComments) const;

private:
    ZnEnvValueSP root_;
};

// print(out, "  ", true).
std::ostream& operator<<(std::ostream& out, const ZnEnvironment& env);

// Reads a tree file (PXS or XML form).
class ZnEnvReader {
public:
    virtual ~ZnEnvReader();
    // The tree read; `ok` tells whether the file was read.
    virtual ZnEnvironment readFile(const ZnString& fileName, bool& ok) = 0;
};

// Writes a tree file (PXS or XML form).
class ZnEnvWriter {
public:
    virtual ~ZnEnvWriter();
    // False when the tree was not written.
    virtual bool writeFile(ZnEnvironment& env, const ZnString& fileName) = 0;
};

#endif
