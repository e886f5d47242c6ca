// environment.cpp -- the tree handle: building under a parent, pre-order
// searches and listings, moving, copying and walking up. Every walk over a
// subtree runs through walkTree (envWalk.h), in a loop with its own stack.

#include "environment.h"

#include <boost/make_shared.hpp>

#include <ostream>

#include <pxs/envObjectSync.h>
#include <pxs/envWalk.h>

namespace {

using pxsdetail::WalkStep;
using pxsdetail::walkTree;

// Steps up the parent links from a node. A loop among the links (only
// possible through setParent misuse) is detected with a second pointer at
// half speed, so no walk up can run forever.
class UpWalk {
public:
    explicit UpWalk(const ZnEnvValueSP& start) : node_(start), slow_(start) {}

    const ZnEnvValueSP& node() const { return node_; }
    bool looped() const { return looped_; }

    // Moves to the parent; false, staying put, when there is none or the
    // links loop.
    bool up() {
        ZnEnvValueSP parent = node_->parent();
        if (!parent) return false;
        node_ = parent;
        if (++steps_ % 2 == 0) slow_ = slow_->parent();
        looped_ = node_ == slow_;
        return !looped_;
    }

private:
    ZnEnvValueSP node_;
    ZnEnvValueSP slow_;
    unsigned long steps_ = 0;
    bool looped_ = false;
};

// Whether `node` is `ancestor` or lies below it along parent links.
bool isAtOrBelow(const ZnEnvValueSP& node, const ZnEnvValueSP& ancestor) {
    UpWalk walk(node);
    do {
        if (walk.node() == ancestor) return true;
    } while (walk.up());
    return false;
}

void collect(const ZnEnvValueSP& start, ZnEnvironment::ValueList& out,
             bool (*match)(const ZnEnvValueSP&, const ZnString&), const ZnString& key) {
    walkTree(start, [&](const ZnEnvValueSP& node, std::size_t) {
        if (match(node, key)) out.push_back(node);
        return WalkStep::Descend;
    });
}

bool namedListNamed(const ZnEnvValueSP& node, const ZnString& name) {
    ZnEnvNamedList* named = ZnEnvNamedList::castToNamedList(node);
    return named && named->name() == name;
}

bool objectNamed(const ZnEnvValueSP& node, const ZnString& name) {
    ZnEnvObject* object = ZnEnvObject::castToObject(node);
    return object && object->name() == name;
}

bool objectTyped(const ZnEnvValueSP& node, const ZnString& type) {
    return ZnEnvObject::isObject(node, type);
}

ZnEnvValueSP newRoot(const ZnString& name) {
    return boost::make_shared<ZnEnvObject>(name, name, ZnString::nullString());
}

}  // namespace

ZnEnvironment::ZnEnvironment() : root_(newRoot("root")) {}

ZnEnvironment::ZnEnvironment(const ZnString& name) : root_(newRoot(name)) {}

ZnEnvironment::ZnEnvironment(ZnEnvValueSP root) : root_(root) {}

ZnEnvironment::~ZnEnvironment() = default;

void ZnEnvironment::rootToParent() {
    if (!root_) return;
    if (ZnEnvValueSP parent = root_->parent()) root_ = parent;
}

ZnEnvValueSP ZnEnvironment::getTopParent() const {
    return getTopParent(root_);
}

ZnEnvValueSP ZnEnvironment::getTopParent(ZnEnvValueSP node) const {
    if (!node) return ZnEnvValueSP();
    UpWalk walk(node);
    while (walk.up()) {
    }
    return walk.looped() ? ZnEnvValueSP() : walk.node();
}

// Moving a node below itself would make it own itself: the subtree would
// leak and every later walk over it would loop. Such a move is refused.
void ZnEnvironment::reparent(ZnEnvValueSP child, ZnEnvValueSP newParent) {
    if (!child) return;
    if (newParent && (!ZnEnvList::isList(newParent) || isAtOrBelow(newParent, child))) return;
    ZnEnvValueSP oldParent = child->parent();
    if (ZnEnvList* old = ZnEnvList::castToList(oldParent)) old->remove(child);
    child->setParent(newParent);
    if (ZnEnvList* list = ZnEnvList::castToList(newParent)) list->append(child);
}

ZnEnvValueSP ZnEnvironment::addComment(const ZnString& text) {
    return addComment(text, root_);
}

ZnEnvValueSP ZnEnvironment::addComment(const ZnString& text, ZnEnvValueSP parent) {
    ZnEnvList* list = ZnEnvList::castToList(parent);
    if (!list) return ZnEnvValueSP();
    ZnEnvValueSP comment = boost::make_shared<ZnEnvValue>(text);
    list->append(comment);
    return comment;
}

ZnEnvValueSP ZnEnvironment::addNativeValue(boost::shared_ptr<ZnNativeValue> value) {
    return addNativeValue(value, root_);
}

ZnEnvValueSP ZnEnvironment::addNativeValue(boost::shared_ptr<ZnNativeValue> value,
                                           ZnEnvValueSP parent) {
    ZnEnvList* list = ZnEnvList::castToList(parent);
    if (!list || !value) return ZnEnvValueSP();
    list->append(value);
    return value;
}

ZnEnvValueSP ZnEnvironment::addNamedList(const ZnString& name) {
    return addNamedList(name, root_);
}

ZnEnvValueSP ZnEnvironment::addNamedList(const ZnString& name, ZnEnvValueSP parent) {
    ZnEnvList* list = ZnEnvList::castToList(parent);
    if (!list) return ZnEnvValueSP();
    ZnEnvValueSP named = boost::make_shared<ZnEnvNamedList>(name, ZnString::nullString());
    named->setParent(parent);
    list->append(named);
    return named;
}

ZnEnvValueSP ZnEnvironment::addAttribute(const ZnString& name, const ZnString& value) {
    return addAttribute(name, value, root_);
}

ZnEnvValueSP ZnEnvironment::addAttribute(const ZnString& name, const ZnString& value,
                                         ZnEnvValueSP parent) {
    ZnEnvValueSP attribute = addNamedList(name, parent);
    if (attribute) attribute->setValue(value);
    return attribute;
}

ZnEnvValueSP ZnEnvironment::addObject(const ZnString& name, const ZnString& type) {
    return addObject(name, type, root_);
}

ZnEnvValueSP ZnEnvironment::addObject(const ZnString& name, const ZnString& type,
                                      ZnEnvValueSP parent) {
    ZnEnvList* list = ZnEnvList::castToList(parent);
    if (!list) return ZnEnvValueSP();
    ZnEnvValueSP object = boost::make_shared<ZnEnvObject>(name, type, ZnString::nullString());
    object->setParent(parent);
    list->append(object);
    return object;
}

ZnEnvValueSP ZnEnvironment::addObject(const ZnString& name) {
    return addObject(name, name, root_);
}

ZnEnvValueSP ZnEnvironment::addObject(const ZnString& name, ZnEnvValueSP parent) {
    return addObject(name, name, parent);
}

ZnEnvValueSP ZnEnvironment::getNamedList(const ZnString& name) const {
    return getNamedList(name, root_);
}

ZnEnvValueSP ZnEnvironment::getNamedList(const ZnString& name, ZnEnvValueSP start) const {
    ZnEnvValueSP found;
    walkTree(start, [&](const ZnEnvValueSP& node, std::size_t) {
        if (!namedListNamed(node, name)) return WalkStep::Descend;
        found = node;
        return WalkStep::Stop;
    });
    return found;
}

ZnEnvValueSP ZnEnvironment::getAttribute(const ZnString& name) const {
    return getNamedList(name, root_);
}

ZnEnvValueSP ZnEnvironment::getAttribute(const ZnString& name, ZnEnvValueSP start) const {
    return getNamedList(name, start);
}

ZnEnvValueSP ZnEnvironment::getObject(const ZnString& name, const ZnString& type) const {
    return getObject(name, type, root_);
}

ZnEnvValueSP ZnEnvironment::getObject(const ZnString& name, const ZnString& type,
                                      ZnEnvValueSP start) const {
    ZnEnvValueSP found;
    walkTree(start, [&](const ZnEnvValueSP& node, std::size_t) {
        if (!ZnEnvObject::isObject(node, name, type)) return WalkStep::Descend;
        found = node;
        return WalkStep::Stop;
    });
    return found;
}

ZnEnvValueSP ZnEnvironment::getNativeValue(ZnEnvValueSP parent) const {
    ZnEnvList* list = ZnEnvList::castToList(parent);
    if (!list) return ZnEnvValueSP();
    for (ZnEnvValueSP child = list->first(); child; child = list->next(child))
        if (ZnNativeValue::isNativeValue(child)) return child;
    return ZnEnvValueSP();
}

void ZnEnvironment::getNamedListsByName(const ZnString& name, ValueList& out) const {
    collect(root_, out, namedListNamed, name);
}

void ZnEnvironment::getNamedListsByName(const ZnString& name, ValueList& out,
                                        ZnEnvValueSP start) const {
    collect(start, out, namedListNamed, name);
}

void ZnEnvironment::getObjectsByName(const ZnString& name, ValueList& out) const {
    collect(root_, out, objectNamed, name);
}

void ZnEnvironment::getObjectsByName(const ZnString& name, ValueList& out,
                                     ZnEnvValueSP start) const {
    collect(start, out, objectNamed, name);
}

void ZnEnvironment::getObjectsByType(const ZnString& type, ValueList& out) const {
    collect(root_, out, objectTyped, type);
}

void ZnEnvironment::getObjectsByType(const ZnString& type, ValueList& out,
                                     ZnEnvValueSP start) const {
    collect(start, out, objectTyped, type);
}

void ZnEnvironment::sync() {
    sync(root_);
}

void ZnEnvironment::sync(ZnEnvValueSP start) {
    walkTree(start, [](const ZnEnvValueSP& node, std::size_t) {
        ZnEnvObject* object = ZnEnvObject::castToObject(node);
        if (object && object->sync()) object->sync()->updateObjectCB(object);
        return WalkStep::Descend;
    });
}

ZnEnvObjectSync* ZnEnvironment::getObjectSync(const ZnString& name, const ZnString& type) const {
    return getObjectSync(name, type, root_);
}

ZnEnvObjectSync* ZnEnvironment::getObjectSync(const ZnString& name, const ZnString& type,
                                              ZnEnvValueSP start) const {
    ZnEnvObject* object = ZnEnvObject::castToObject(getObject(name, type, start));
    return object ? object->sync() : nullptr;
}

ZnEnvValueSP ZnEnvironment::copy(ZnEnvValueSP source) {
    return copy(source, root_);
}

ZnEnvValueSP ZnEnvironment::copy(ZnEnvValueSP source, ZnEnvValueSP destination) {
    if (!source) return ZnEnvValueSP();
    ZnEnvValueSP clone(source->clone());
    if (ZnEnvList* list = ZnEnvList::castToList(destination)) list->append(clone);
    return clone;
}

void ZnEnvironment::remove(ZnEnvValueSP node) {
    if (!node) return;
    ZnEnvValueSP parent = node->parent();
    if (ZnEnvList* list = ZnEnvList::castToList(parent)) list->remove(node);
    if (ZnEnvList* list = ZnEnvList::castToList(root_)) list->remove(node);
}

bool ZnEnvironment::contains(ZnEnvValueSP node) const {
    return level(node) >= 0;
}

int ZnEnvironment::level(ZnEnvValueSP node) const {
    if (!node) return -1;
    UpWalk walk(node);
    for (int steps = 0;; ++steps) {
        if (walk.node()->value().empty()) return -1;
        if (walk.node() == root_) return steps;
        if (!walk.up()) return -1;
    }
}

void ZnEnvironment::print(std::ostream& out, const ZnString& indent, bool withComments) const {
    walkTree(root_, [&](const ZnEnvValueSP& node, std::size_t depth) {
        ZnEnvNamedList* named = ZnEnvNamedList::castToNamedList(node);
        if (named) {
            out << indent;
            for (std::size_t i = 0; i < depth; ++i) out << "   ";
        } else if (!withComments) {
            return WalkStep::Skip;
        } else {
            out << "// ";
        }
        if (ZnEnvObject* object = ZnEnvObject::castToObject(node))
            out << "class " << object->type() << " ";
        if (named)
            out << named->name() << " ";
        else
            out << "comment ";
        out << "Value= " << node->value() << '\n';
        return WalkStep::Descend;
    });
}

std::ostream& operator<<(std::ostream& out, const ZnEnvironment& env) {
    env.print(out, "  ", true);
    return out;
}

ZnEnvReader::~ZnEnvReader() = default;

ZnEnvWriter::~ZnEnvWriter() = default;
