// fddRecordWalk.h -- the one record-table engine of the XML object-model
// readers. A table is a row of data (record elements, properties, messages,
// target operations); the engine walks a run of sibling nodes, builds one
// record per record element and hands it to the target. Where a record's
// properties come from is the only thing the two forms disagree on, so that
// is a policy: AttributeSource reads XML attributes (IEEE 1516-2000),
// ChildElementSource reads child elements whose text is the value (HLA
// Evolved).
//
// Internal to the library: only the two walk files include it. Nothing here
// keeps state between walks; a record belongs to the walk until the target
// accepts it and to the target afterwards.

#ifndef PXS_FDDRECORDWALK_H
#define PXS_FDDRECORDWALK_H

#include <cstddef>
#include <cstring>
#include <memory>
#include <set>
#include <utility>

#include <boost/shared_ptr.hpp>

#include <pxs/fddEvolvedWalk.h>
#include <pxs/fddWalk.h>

namespace pxsdetail::fdd::record {

// Error bookkeeping of one walk. Once a problem has ended the walk under
// strict, later problems of the same record do not replace its message: the
// caller should see what stopped the read.
class Walk {
public:
    explicit Walk(WalkContext& ctx) : ctx_(ctx) {}

    ZnFedTarget* target() const { return ctx_.target; }
    const DetailsSink& details() const { return ctx_.details; }
    // True once the target asked for the read to end; the reason becomes
    // the last error.
    bool stopped() const { return ctx_.details.stopped(ctx_.lastError); }

    // Records message + location unless the status already says failed.
    void report(const xmlNode* node, ZnString message, ZnFedReadStatus& status) {
        if (status != ZnFedReadSuccess) return;
        appendLocation(node, message);
        ctx_.lastError = message;
        if (ctx_.strict) status = ZnFedReadFailed;
    }

    // Message + the node's content + location, as for every unexpected tag.
    void reportTag(const xmlNode* node, const char* text, ZnFedReadStatus& status) {
        ZnString message(text);
        appendContent(node, message);
        report(node, message, status);
    }

    // A duplicate is reported but never ends a walk.
    void reportDuplicate(const xmlNode* node, ZnString message, ZnFedReadStatus status) {
        if (status != ZnFedReadSuccess) return;
        appendLocation(node, message);
        ctx_.lastError = message;
    }

private:
    WalkContext& ctx_;
};

// One property of a record: its attribute or child element name and either
// the text member it fills or a conversion for values with a vocabulary. A
// conversion is given the node the value came from and returns false after
// building its complaint in `message`.
template <class Rec>
struct Property {
    const char* name;
    ZnString Rec::*member;
    bool (*convert)(Rec& rec, xmlNode* node, const ZnString& value, ZnString& message);
};

// A record table. `Hook` is the form's way of reading the nested items of a
// record (enumerators, fields, alternatives).
template <class Rec, class Hook>
struct Table {
    const char* const* elements;  // null-terminated; null: every node is a record
    ZnString Rec::*nodeName;      // receives the record element's name, or null
    const Property<Rec>* properties;
    size_t propertyCount;
    const char* badProperty;  // a property the record does not have
    const char* badElement;   // a node of the table that is no record
    const char* duplicateOpen;
    const char* duplicateClose;
    ZnString Rec::*key;  // the name quoted in the duplicate message
    bool (ZnFedTarget::*has)(const Rec*) const;
    void (ZnFedTarget::*add)(Rec*);
    Hook items;                // or null
    void (*finish)(Rec& rec);  // runs once every property is read, or null
};

// The nested items of one record in the attribute form: every child is an
// item element whose attributes are its properties.
template <class Item>
struct ItemTable {
    const char* element;
    const Property<Item>* properties;
    size_t propertyCount;
    const char* badProperty;
    const char* badElement;
};

template <class T, size_t N>
constexpr size_t countOf(T (&)[N]) {
    return N;
}

template <class Rec>
const Property<Rec>* findProperty(const char* name, const Property<Rec>* properties,
                                  size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (std::strcmp(properties[i].name, name) == 0) return &properties[i];
    return nullptr;
}

// Stores one value; a refused conversion is reported at `node`.
template <class Rec>
void assign(Rec& rec, const Property<Rec>& property, xmlNode* node, ZnString value, Walk& walk,
            ZnFedReadStatus& status) {
    ZnString message;
    if (property.member)
        rec.*(property.member) = std::move(value);
    else if (!property.convert(rec, node, value, message))
        walk.report(node, message, status);
}

// True for an element named in the null-terminated `elements`; with null
// `elements`, for any element.
inline bool isItemElement(const xmlNode* node, const char* const* elements) {
    if (node->type != XML_ELEMENT_NODE) return false;
    if (!elements) return true;
    for (; *elements; ++elements)
        if (isNamed(node, *elements)) return true;
    return false;
}

// Properties as XML attributes of the record element. Tables whose every
// node is a record (tags) keep comments: a comment becomes a tag named after
// its node.
struct AttributeSource {
    template <class Rec, class H>
    static bool skips(const Table<Rec, H>& table, const xmlNode* node) {
        return table.elements ? isSkipped(node) : isBlankText(node);
    }
    template <class Rec, class H>
    static bool isRecord(const Table<Rec, H>& table, const xmlNode* node) {
        return !table.elements || isItemElement(node, table.elements);
    }

    // "<property>Notes" of a listed property is accepted and ignored.
    template <class Rec>
    static bool isNotesOf(const char* name, const Property<Rec>* properties, size_t count) {
        size_t len = std::strlen(name);
        if (len <= 5 || std::strcmp(name + len - 5, "Notes") != 0) return false;
        for (size_t i = 0; i < count; ++i)
            if (std::strlen(properties[i].name) == len - 5 &&
                std::strncmp(properties[i].name, name, len - 5) == 0)
                return true;
        return false;
    }

    template <class Rec>
    static void fill(Rec& rec, xmlNode* node, const Property<Rec>* properties, size_t count,
                     const char* badProperty, Walk& walk, ZnFedReadStatus& status) {
        if (node->type != XML_ELEMENT_NODE) return;
        for (const xmlAttr* a = node->properties; a; a = a->next) {
            const char* name = reinterpret_cast<const char*>(a->name);
            if (const Property<Rec>* property = findProperty(name, properties, count))
                assign(rec, *property, node, attributeText(a), walk, status);
            else if (!isNotesOf(name, properties, count))
                walk.report(node, ZnString(badProperty) + name, status);
        }
    }

    // Nested items first, then the record's own attributes.
    template <class Rec, class H>
    static void fillRecord(const Table<Rec, H>& table, Rec& rec, xmlNode* node, Walk& walk,
                           ZnFedReadStatus& status) {
        if (table.items) status = table.items(rec, node, walk);
        fill(rec, node, table.properties, table.propertyCount, table.badProperty, walk, status);
        if (table.finish) table.finish(rec);
    }

    template <class Item>
    static ZnFedReadStatus items(std::set<boost::shared_ptr<Item>>& items,
                                 const ItemTable<Item>& table, xmlNode* node, Walk& walk) {
        ZnFedReadStatus status = ZnFedReadSuccess;
        for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
             child = child->next) {
            if (isSkipped(child)) continue;
            if (child->type != XML_ELEMENT_NODE || !isNamed(child, table.element)) {
                walk.reportTag(child, table.badElement, status);
                continue;
            }
            boost::shared_ptr<Item> item(new Item);
            fill(*item, child, table.properties, table.propertyCount, table.badProperty, walk,
                 status);
            items.insert(item);
        }
        return status;
    }
};

// Properties as child elements of the record element, the element's text
// being the value; a later element of a name replaces the earlier value.
// Nested items are children too, taken by the table's item hook.
struct ChildElementSource {
    template <class Rec, class H>
    static bool skips(const Table<Rec, H>&, const xmlNode* node) {
        return isSkipped(node);
    }
    template <class Rec, class H>
    static bool isRecord(const Table<Rec, H>& table, const xmlNode* node) {
        return isItemElement(node, table.elements);
    }

    // `item` answers true when it took the child as a nested item.
    template <class Rec, class ItemHook>
    static void fill(Rec& rec, xmlNode* node, const Property<Rec>* properties, size_t count,
                     ItemHook item, const char* badProperty, Walk& walk,
                     ZnFedReadStatus& status) {
        for (xmlNode* child = node->children; child; child = child->next) {
            if (isSkipped(child)) continue;
            const bool element = child->type == XML_ELEMENT_NODE;
            const Property<Rec>* property =
                element ? findProperty(reinterpret_cast<const char*>(child->name), properties,
                                       count)
                        : nullptr;
            if (property) {
                assign(rec, *property, child, evolved::elementText(child), walk, status);
                continue;
            }
            if (item && element && item(rec, child, walk, status)) continue;
            walk.reportTag(child, badProperty, status);
        }
    }

    template <class Rec, class H>
    static void fillRecord(const Table<Rec, H>& table, Rec& rec, xmlNode* node, Walk& walk,
                           ZnFedReadStatus& status) {
        fill(rec, node, table.properties, table.propertyCount, table.items, table.badProperty,
             walk, status);
        if (table.finish) table.finish(rec);
    }

    // An item record (enumerator, field, alternative) in its parent's set;
    // false when `child` is not named `element`.
    template <class Item>
    static bool takeItem(std::set<boost::shared_ptr<Item>>& items, const char* element,
                         const Property<Item>* properties, size_t count, const char* badProperty,
                         xmlNode* child, Walk& walk, ZnFedReadStatus& status) {
        if (!isNamed(child, element)) return false;
        using NoItems = bool (*)(Item&, xmlNode*, Walk&, ZnFedReadStatus&);
        boost::shared_ptr<Item> entry(new Item);
        fill(*entry, child, properties, count, NoItems(nullptr), badProperty, walk, status);
        items.insert(entry);
        return true;
    }
};

// Hands the record to the target unless it names a record the target holds;
// a refused record is freed here, on leaving scope, after a target that
// takes details has seen it.
template <class Rec, class H>
void deliver(const Table<Rec, H>& table, std::unique_ptr<Rec> rec, xmlNode* node, Walk& walk,
             ZnFedReadStatus status) {
    ZnFedTarget* target = walk.target();
    if (!target) return;
    const DetailsSink& details = walk.details();
    details.source(node);
    if ((target->*table.has)(rec.get())) {
        if (details.details) details.details->restated(*rec);
        ZnString message(table.duplicateOpen);
        message += (*rec).*(table.key);
        message += table.duplicateClose;
        appendContent(node, message);
        walk.reportDuplicate(node, message, status);
        return;
    }
    (target->*table.add)(rec.release());
}

// Walks `first` and its following siblings until a problem ends the walk
// under strict. A record is delivered even when one of its properties was
// in error, so the target sees what the file says.
template <class Source, class Rec, class H>
ZnFedReadStatus walkRecords(const Table<Rec, H>& table, xmlNode* first, WalkContext& ctx) {
    Walk walk(ctx);
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* node = first; node && status == ZnFedReadSuccess; node = node->next) {
        if (Source::skips(table, node)) continue;
        if (!Source::isRecord(table, node)) {
            walk.reportTag(node, table.badElement, status);
            continue;
        }
        auto rec = std::make_unique<Rec>();
        if (table.nodeName) (*rec).*(table.nodeName) = reinterpret_cast<const char*>(node->name);
        Source::fillRecord(table, *rec, node, walk, status);
        deliver(table, std::move(rec), node, walk, status);
        if (walk.stopped()) status = ZnFedReadFailed;
    }
    return status;
}

// The same over the children of a table element; a null table has none.
template <class Source, class Rec, class H>
ZnFedReadStatus walkTable(const Table<Rec, H>& table, xmlNode* element, WalkContext& ctx) {
    return walkRecords<Source>(table, element ? element->children : nullptr, ctx);
}

}  // namespace pxsdetail::fdd::record

#endif
