// fomWriter.cpp -- the object-model writer. One walk serves both forms: a
// record's properties are written through one call that makes a child
// element (2010) or an XML attribute (2000), so each table is spelled once,
// in the 2010 schema's element order, which the 2000 form does not mind.
// The text is built in a libxml2 buffer and handed on only when complete.

#include <pxs/fomWriter.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <new>
#include <ostream>
#include <set>
#include <unordered_map>
#include <vector>

#include <libxml/xmlstring.h>

#include <pxs/fedSwitches.h>
#include <pxs/fomMerge.h>
#include <util/xmlPtr.h>
#include <util/znNotify.h>

namespace pxsdetail::fomwriter {

namespace {

const xmlChar* xml(const char* s) {
    return reinterpret_cast<const xmlChar*>(s);
}

constexpr const char* kNamespace = "http://standards.ieee.org/IEEE1516-2010";
constexpr const char* kSchemaLocation =
    "http://standards.ieee.org/IEEE1516-2010 "
    "http://standards.ieee.org/downloads/1516/1516.2-2010/IEEE1516-DIF-2010.xsd";
constexpr const char* kFallbackModelName = "Object model";

// Tables indexed by the codes of util/znFedTarget.h.
const char* const kSharing[] = {"PublishSubscribe", "Publish", "Subscribe", "Neither"};
const char* const kUpdateType[] = {"Static", "Periodic", "Conditional", "NA"};
const char* const kOwnership[] = {"Divest", "Acquire", "DivestAcquire", "NoTransfer"};
// Capability codes start at 1; 0 is "not given".
const char* const kCapability[] = {nullptr, "Register", "Achieve", "RegisterAchieve", "NoSynch"};
// Automatic resign action codes start at 1.
const char* const kResignAction[] = {nullptr,
                                     "UnconditionallyDivestAttributes",
                                     "DeleteObjects",
                                     "DeleteObjectsThenDivest",
                                     "NoAction",
                                     "CancelPendingOwnershipAcquisitions",
                                     "CancelThenDeleteThenDivest"};
constexpr int kDefaultResignAction = 6;

// Both forms list the tags and the time entries in this order.
const char* const kTagNames[] = {
    "updateReflectTag",         "sendReceiveTag",        "deleteRemoveTag", "divestitureRequestTag",
    "divestitureCompletionTag", "acquisitionRequestTag", "requestUpdateTag"};
const char* const kTimeNames[] = {"timeStamp", "lookahead"};

template <size_t N>
const char* fromTable(const char* const (&names)[N], int code) {
    return code >= 0 && static_cast<size_t>(code) < N ? names[code] : nullptr;
}

template <size_t N>
bool listed(const char* const (&names)[N], const ZnString& name) {
    return std::any_of(std::begin(names), std::end(names),
                       [&](const char* n) { return name == n; });
}

// The name a 1516 document gives a class root; null when it has none.
const char* rootSpelling(const ZnString& root, const char* standard, const char* hla13) {
    if (root == standard || root == hla13) return standard;
    return nullptr;
}

// What a value must be to stand where it is written.
enum class Kind {
    Name,   // required; an XML name token (2000) or NCName (2010)
    Ref,    // optional reference to a name; the same syntax
    Text,   // optional free text
    Tokens  // optional; name tokens separated by blanks (2000), free text (2010)
};

// Sorted copies of the item sets, which are ordered by pointer.
template <class Item, class Key>
std::vector<const Item*> sortedItems(const std::set<boost::shared_ptr<Item>>& items, Key key) {
    std::vector<const Item*> sorted;
    sorted.reserve(items.size());
    for (const auto& item : items)
        if (item) sorted.push_back(item.get());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const Item* a, const Item* b) { return key(*a) < key(*b); });
    return sorted;
}

// The 2010 schema's cardinality: comma-separated Dynamic, counts and ranges [m..n].
bool cardinalityPattern(const ZnString& text) {
    auto digits = [](const char*& p) {
        const char* begin = p;
        while (*p >= '0' && *p <= '9') ++p;
        return p != begin;
    };
    for (const char* p = text.c_str();;) {
        if (std::strncmp(p, "Dynamic", 7) == 0) {
            p += 7;
        } else if (*p == '[') {
            ++p;
            if (!digits(p) || std::strncmp(p, "..", 2) != 0) return false;
            p += 2;
            if (!digits(p) || *p++ != ']') return false;
        } else if (!digits(p)) {
            return false;
        }
        if (*p == '\0') return true;
        if (*p++ != ',') return false;
    }
}

// How the 2000 reader tells a transportation's reliability: from its name.
bool reliableByName(const ZnString& name) {
    if (name == "HLAbestEffort") return false;
    if (name == "HLAreliable") return true;
    ZnString lower(name);
    lower.toLower();
    return lower.findString("reliable") >= 0;
}

class Writer {
public:
    Writer(const ZnFom& fom, ZnFomFormat format, xmlTextWriter* out)
        : fom_(fom),
          merge_(dynamic_cast<const ZnFomMerge*>(&fom)),
          evolved_(format == ZnFomFormat::Evolved2010),
          out_(out) {}

    bool run();
    const std::string& error() const { return error_; }
    const std::vector<std::string>& omitted() const { return omitted_; }

private:
    // --- Building blocks; each returns false once the write has failed.
    bool fail(const std::string& message) {
        if (error_.empty()) error_ = message;
        return false;
    }
    bool check(int rc) { return rc >= 0 || fail("libxml2 could not write the document"); }
    bool start(const char* element) { return check(xmlTextWriterStartElement(out_, xml(element))); }
    bool end() { return check(xmlTextWriterEndElement(out_)); }
    bool attribute(const char* name, const char* value) {
        return check(xmlTextWriterWriteAttribute(out_, xml(name), xml(value)));
    }
    bool element(const char* name, const char* value) {
        return check(xmlTextWriterWriteElement(out_, xml(name), xml(value)));
    }
    // A property of the current record: a child element (2010) or an XML
    // attribute (2000); empty optional values are left out. `what` names the
    // record in a failure.
    bool property(const char* name, const ZnString& value, Kind kind, const std::string& what);
    // A property whose value comes from a code table; null `text` is an error.
    bool coded(const char* name, const char* text, int code, const std::string& what);
    bool validText(const ZnString& value, const std::string& what);
    bool validName(const ZnString& value, Kind kind, const std::string& what);

    // --- The tables, in document order.
    bool modelIdentification();
    template <class Class>
    bool classTree(const std::vector<Class>& classes, const char* table, const char* kind,
                   const char* root, bool (Writer::*writeClass)(size_t, const char*));
    bool objects();
    bool objectClass(size_t index, const char* spelledName);
    bool objectAttribute(const ZnFom::ObjectClass& cls, const ZnFom::Attribute& a);
    bool interactions();
    bool interactionClass(size_t index, const char* spelledName);
    bool dimensionList(const std::vector<ZnString>& dimensions, bool naWhenEmpty,
                       const std::string& what);
    bool transportation(ZnTransportType code, const ZnString& pending, const std::string& what);
    bool order(ZnOrderType order, const std::string& what);
    bool classDetails(const ZnString& name, bool interaction, const std::string& what);
    bool semantics(const ZnString& name, bool interaction, const std::string& what);
    bool memberDataType(const ZnString* type, const std::string& what);
    bool dimensions();
    bool time();
    bool tags();
    bool synchronizations();
    bool transportations();
    bool switches();
    bool updateRates();
    bool dataTypes();
    bool notes();
    void noteOmissions();

    // Name of a class without its parent's; false when it does not extend it.
    bool localName(const ZnString& full, const ZnString& parent, const char* kind,
                   std::string* local);

    const ZnFom& fom_;
    // A merged model also knows member data types and class sharing and
    // semantics, which a plain ZnFom does not keep.
    const ZnFomMerge* merge_;
    const bool evolved_;
    xmlTextWriter* out_;
    std::string error_;
    std::vector<std::string> omitted_;
    std::unordered_map<int, std::string> transportNames_;
    size_t spacedMembers_ = 0;  // HLA 1.3 members placed in a routing space
    // Transportations members named before any module declared them.
    std::map<std::pair<std::string, std::string>, ZnString> pending_;
};

bool Writer::validText(const ZnString& value, const std::string& what) {
    const unsigned char* text = reinterpret_cast<const unsigned char*>(value.c_str());
    if (!xmlCheckUTF8(text)) return fail(what + " is not UTF-8 text");
    for (const unsigned char* p = text; *p; ++p)
        if (*p < 0x20 && *p != '\t' && *p != '\n' && *p != '\r')
            return fail(what + " holds a control character no XML document can carry");
    return true;
}

bool Writer::validName(const ZnString& value, Kind kind, const std::string& what) {
    const char* form = evolved_ ? "an XML NCName" : "an XML name token";
    if (kind == Kind::Name && value.empty())
        return fail(what + " is empty, which the format does not allow");
    if (!validText(value, what)) return false;
    if (kind == Kind::Tokens) {
        // Checked token by token; 2010 takes any text here.
        if (evolved_) return true;
        std::string token;
        for (const char* p = value.c_str();; ++p) {
            if (*p && *p != ' ' && *p != '\t' && *p != '\n' && *p != '\r') {
                token += *p;
                continue;
            }
            if (!token.empty() && xmlValidateNMToken(xml(token.c_str()), 0) != 0)
                return fail(what + ": \"" + token + "\" is not an XML name token");
            token.clear();
            if (!*p) return true;
        }
    }
    int rc = evolved_ ? xmlValidateNCName(xml(value.c_str()), 0)
                      : xmlValidateNMToken(xml(value.c_str()), 0);
    if (rc != 0) return fail(what + ": \"" + value.std() + "\" is not " + form);
    return true;
}

bool Writer::property(const char* name, const ZnString& value, Kind kind, const std::string& what) {
    if (value.empty() && kind != Kind::Name) return true;
    const std::string label = what + " " + name;
    if (kind == Kind::Text ? !validText(value, label) : !validName(value, kind, label))
        return false;
    return evolved_ ? element(name, value.c_str()) : attribute(name, value.c_str());
}

bool Writer::coded(const char* name, const char* text, int code, const std::string& what) {
    if (!text)
        return fail(what + " has " + name + " code " + std::to_string(code) +
                    ", which has no name in the format");
    return evolved_ ? element(name, text) : attribute(name, text);
}

bool Writer::run() {
    for (size_t i = 0; i < fom_.transportations().size(); ++i) {
        const ZnTransportationType& rec = fom_.transportations()[i];
        ZnTransportType code = fom_.transportTypeOf(&rec);
        if (code != ZnTransportNone) transportNames_.emplace(code, rec.name.std());
    }
    transportNames_[ZnTransportBestEffort] = "HLAbestEffort";
    transportNames_[ZnTransportReliable] = "HLAreliable";
    for (const ZnFom::PendingTransportation& p : fom_.pendingTransportations())
        pending_.emplace(std::make_pair(p.className.std(), p.attribute.std()), p.transportation);

    if (!check(xmlTextWriterStartDocument(out_, nullptr, "UTF-8", nullptr))) return false;
    // Indenting only after the document type keeps it on one line.
    if (!evolved_ &&
        !check(xmlTextWriterWriteDTD(out_, xml("objectModel"), nullptr, xml("HLA.dtd"), nullptr)))
        return false;
    if (!check(xmlTextWriterSetIndent(out_, 1)) ||
        !check(xmlTextWriterSetIndentString(out_, xml("  "))))
        return false;
    if (!start("objectModel")) return false;
    if (evolved_) {
        if (!attribute("xmlns", kNamespace) ||
            !attribute("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance") ||
            !attribute("xsi:schemaLocation", kSchemaLocation))
            return false;
    }
    bool ok = modelIdentification() && objects() && interactions() && dimensions() && time() &&
              tags() && synchronizations() && transportations() && switches() && updateRates() &&
              dataTypes() && notes() && end() && check(xmlTextWriterEndDocument(out_));
    if (ok) noteOmissions();
    return ok;
}

// The one module this document becomes: the model's module when it has one;
// for a merged model the names joined and the dependencies no part of it
// supplies.
bool Writer::modelIdentification() {
    std::string name;
    std::vector<ZnString> dependencies;
    std::set<std::string> contained;
    for (const ZnFom::Module& m : fom_.modules()) {
        if (m.name.empty()) continue;
        if (!name.empty()) name += ", ";
        name += m.name.std();
        contained.insert(m.name.std());
    }
    std::set<std::string> seen;
    for (const ZnFom::Module& m : fom_.modules())
        for (const ZnString& d : m.dependencies)
            if (!contained.count(d.std()) && seen.insert(d.std()).second) dependencies.push_back(d);
    if (name.empty()) name = kFallbackModelName;
    if (!validText(ZnString(name), "Module name")) return false;
    if (!evolved_) {
        if (!dependencies.empty())
            omitted_.push_back(std::to_string(dependencies.size()) + " module dependencies");
        return attribute("name", name.c_str()) && attribute("type", "FOM") &&
               attribute("version", "1.0");
    }
    if (!start("modelIdentification") || !element("name", name.c_str()) ||
        !element("type", "FOM") || !element("version", "1.0"))
        return false;
    for (const ZnString& d : dependencies) {
        if (!validText(d, "Module dependency \"" + d.std() + "\"")) return false;
        if (!start("reference") || !element("type", "Dependency") ||
            !element("identification", d.c_str()) || !end())
            return false;
    }
    return end();
}

bool Writer::localName(const ZnString& full, const ZnString& parent, const char* kind,
                       std::string* local) {
    const std::string& f = full.std();
    const std::string& p = parent.std();
    if (f.size() <= p.size() + 1 || f.compare(0, p.size(), p) != 0 || f[p.size()] != '.')
        return fail(std::string(kind) + " " + f + " does not extend its parent's name " + p);
    *local = f.substr(p.size() + 1);
    return true;
}

// Classes are written from explicit stacks: a model may nest deeper than
// the call stack could follow.
// One class hierarchy, root first, each class opened before its subclasses
// and closed after them; without recursion, as hierarchies may be deep.
template <class Class>
bool Writer::classTree(const std::vector<Class>& classes, const char* table, const char* kind,
                       const char* root, bool (Writer::*writeClass)(size_t, const char*)) {
    std::unordered_map<std::string, std::vector<size_t>> children;
    size_t rootIndex = classes.size();
    for (size_t i = 0; i < classes.size(); ++i) {
        if (classes[i].parent.empty())
            rootIndex = i;
        else
            children[classes[i].parent.std()].push_back(i);
    }
    if (rootIndex == classes.size()) {
        std::string plural = std::string(kind) + "es";  // "Object class" -> "object classes"
        plural[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(plural[0])));
        return fail("The " + plural + " have no root");
    }
    if (!start(table)) return false;
    struct Frame {
        size_t index;
        size_t next;
    };
    std::vector<Frame> stack;
    if (!(this->*writeClass)(rootIndex, root)) return false;
    stack.push_back({rootIndex, 0});
    while (!stack.empty()) {
        Frame& top = stack.back();
        const std::vector<size_t>& kids = children[classes[top.index].name.std()];
        if (top.next == kids.size()) {
            if (!end()) return false;
            stack.pop_back();
            continue;
        }
        size_t child = kids[top.next++];
        std::string local;
        if (!localName(classes[child].name, classes[top.index].name, kind, &local) ||
            !(this->*writeClass)(child, local.c_str()))
            return false;
        stack.push_back({child, 0});
    }
    return end();
}

bool Writer::objects() {
    const std::vector<ZnFom::ObjectClass>& classes = fom_.objectClasses();
    if (classes.empty()) return true;
    const char* root = rootSpelling(fom_.objectRoot(), "HLAobjectRoot", "ObjectRoot");
    if (!root)
        return fail("Object class root " + fom_.objectRoot().std() +
                    " has no place in the format, which roots classes at HLAobjectRoot");
    return classTree(classes, "objects", "Object class", root, &Writer::objectClass);
}

// Opens the class element and writes its own content; the caller closes it
// after the subclasses.
bool Writer::objectClass(size_t index, const char* spelledName) {
    const ZnFom::ObjectClass& cls = fom_.objectClasses()[index];
    const std::string what = "Object class " + cls.name.std();
    if (!start("objectClass") || !property("name", ZnString(spelledName), Kind::Name, what) ||
        !classDetails(cls.name, false, what) || !semantics(cls.name, false, what))
        return false;
    for (const ZnFom::Attribute& a : cls.attributes)
        if (!objectAttribute(cls, a)) return false;
    return true;
}

bool Writer::objectAttribute(const ZnFom::ObjectClass& cls, const ZnFom::Attribute& a) {
    const std::string what = "Attribute " + a.name.std() + " of object class " + cls.name.std();
    if (!a.space.empty()) ++spacedMembers_;
    auto pending = pending_.find(std::make_pair(cls.name.std(), a.name.std()));
    return start("attribute") && property("name", a.name, Kind::Name, what) &&
           memberDataType(merge_ ? merge_->attributeDataTypeOf(cls.name, a.name) : nullptr,
                          what) &&
           coded("updateType", fromTable(kUpdateType, a.updateType), a.updateType, what) &&
           property("updateCondition", a.updateCondition, Kind::Text, what) &&
           coded("ownership", fromTable(kOwnership, a.ownership), a.ownership, what) &&
           coded("sharing", fromTable(kSharing, a.sharing), a.sharing, what) &&
           dimensionList(a.dimensions, false, what) &&
           transportation(a.transport, pending == pending_.end() ? ZnString() : pending->second,
                          what) &&
           order(a.order, what) && property("semantics", a.semantics, Kind::Text, what) && end();
}

bool Writer::dimensionList(const std::vector<ZnString>& dimensions, bool naWhenEmpty,
                           const std::string& what) {
    for (const ZnString& d : dimensions)
        if (!validName(d, Kind::Name, what + " dimension")) return false;
    if (!evolved_) {
        // The 2000 reader complains about an interaction class without a list.
        if (dimensions.empty()) return !naWhenEmpty || attribute("dimensions", "NA");
        std::string list;
        for (const ZnString& d : dimensions) list += (list.empty() ? "" : " ") + d.std();
        return attribute("dimensions", list.c_str());
    }
    if (dimensions.empty()) return true;
    if (!start("dimensions")) return false;
    for (const ZnString& d : dimensions)
        if (!element("dimension", d.c_str())) return false;
    return end();
}

bool Writer::transportation(ZnTransportType code, const ZnString& pending,
                            const std::string& what) {
    if (code == ZnTransportNone) {
        if (pending.empty()) return true;
        return property("transportation", pending, Kind::Ref, what);
    }
    auto it = transportNames_.find(code);
    if (it == transportNames_.end())
        return fail(what + " uses transportation code " + std::to_string(code) +
                    ", which the model declares no transportation for");
    return property("transportation", ZnString(it->second), Kind::Ref, what);
}

bool Writer::order(ZnOrderType order, const std::string& what) {
    if (order == ZnOrderNone) return true;
    const char* text = order == ZnOrderReceive     ? "Receive"
                       : order == ZnOrderTimeStamp ? "TimeStamp"
                                                   : nullptr;
    return coded("order", text, order, what);
}

bool Writer::interactions() {
    const std::vector<ZnFom::InteractionClass>& classes = fom_.interactionClasses();
    if (classes.empty()) return true;
    const char* root =
        rootSpelling(fom_.interactionRoot(), "HLAinteractionRoot", "InteractionRoot");
    if (!root)
        return fail("Interaction class root " + fom_.interactionRoot().std() +
                    " has no place in the format, which roots classes at HLAinteractionRoot");
    return classTree(classes, "interactions", "Interaction class", root,
                     &Writer::interactionClass);
}

bool Writer::interactionClass(size_t index, const char* spelledName) {
    const ZnFom::InteractionClass& cls = fom_.interactionClasses()[index];
    const std::string what = "Interaction class " + cls.name.std();
    if (!cls.space.empty()) ++spacedMembers_;
    auto pending = pending_.find(std::make_pair(cls.name.std(), std::string()));
    if (!start("interactionClass") || !property("name", ZnString(spelledName), Kind::Name, what) ||
        !classDetails(cls.name, true, what) || !dimensionList(cls.dimensions, true, what) ||
        !transportation(cls.transport, pending == pending_.end() ? ZnString() : pending->second,
                        what) ||
        !order(cls.order, what) || !semantics(cls.name, true, what))
        return false;
    for (const ZnString& p : cls.parameters) {
        const std::string parameterWhat = "Parameter " + p.std() + " of " + what;
        if (!start("parameter") || !property("name", p, Kind::Name, parameterWhat) ||
            !memberDataType(merge_ ? merge_->parameterDataTypeOf(cls.name, p) : nullptr,
                            parameterWhat) ||
            !end())
            return false;
    }
    return true;
}

// The class's own sharing, when the model knows it; the schema puts it
// right after the name.
bool Writer::classDetails(const ZnString& name, bool interaction, const std::string& what) {
    ZnSharingType_enum sharing = merge_ ? merge_->classSharing(name, interaction) : ZnSharingInvalid;
    if (sharing == ZnSharingInvalid) return true;
    return coded("sharing", fromTable(kSharing, sharing), sharing, what + " sharing");
}

bool Writer::semantics(const ZnString& name, bool interaction, const std::string& what) {
    if (!merge_) return true;
    return property("semantics", merge_->classSemantics(name, interaction), Kind::Text, what);
}

bool Writer::memberDataType(const ZnString* type, const std::string& what) {
    return !type || property("dataType", *type, Kind::Ref, what);
}

bool Writer::dimensions() {
    // The 2010 reader under strict checking wants the table, empty or not;
    // the 2000 DTD allows an empty one too.
    if (fom_.dimensions().empty() && !evolved_) return true;
    if (!start("dimensions")) return false;
    const char* federate = evolved_ ? "HLAfederate" : "Federate";
    for (const ZnFom::Dimension& d : fom_.dimensions()) {
        const std::string what = "Dimension " + d.name.std();
        if (!start("dimension") || !property("name", d.name, Kind::Name, what)) return false;
        // The federate dimension alone may go unbounded; the readers take a
        // missing bound as the widest.
        if (!(d.upperBound == UINT64_MAX && d.name == federate)) {
            if (d.upperBound == 0 && evolved_)
                return fail(what + " has upper bound 0; the format's bounds are positive");
            if (!property("upperBound", ZnString(std::to_string(d.upperBound)), Kind::Text, what))
                return false;
        }
        if (!property("normalization", d.normalization, Kind::Text, what)) return false;
        if (d.excluded) {
            if (!property("value", ZnString("Excluded"), Kind::Text, what)) return false;
        } else if (d.lower != 0 || d.upper != 1) {
            if (!(d.lower < d.upper && d.upper <= d.upperBound))
                return fail(what + " has the range [" + std::to_string(d.lower) + ".." +
                            std::to_string(d.upper) + "), which is empty or past its bound");
            std::string range =
                "[" + std::to_string(d.lower) + ".." + std::to_string(d.upper) + ")";
            if (!property("value", ZnString(range), Kind::Text, what)) return false;
        }
        if (!end()) return false;
    }
    return end();
}

bool Writer::time() {
    const auto& times = fom_.times();
    if (times.empty()) return true;
    for (size_t i = 0; i < times.size(); ++i)
        if (!listed(kTimeNames, times[i].name))
            return fail("Time entry " + times[i].name.std() + " has no place in the format");
    if (!start("time")) return false;
    for (const char* name : kTimeNames) {
        const ZnTimeType* rec = times.find(ZnString(name));
        if (!rec) continue;
        const std::string what = std::string("Time entry ") + name;
        if (!start(name) || !property("dataType", rec->dataType, Kind::Ref, what) ||
            !property("semantics", rec->semantics, Kind::Text, what) || !end())
            return false;
    }
    return end();
}

bool Writer::tags() {
    const auto& tags = fom_.userSuppliedTags();
    if (tags.empty()) return true;
    for (size_t i = 0; i < tags.size(); ++i)
        if (!listed(kTagNames, tags[i].name))
            return fail("User-supplied tag " + tags[i].name.std() + " has no place in the format");
    if (!start("tags")) return false;
    for (const char* name : kTagNames) {
        const ZnUserSuppliedTagsType* rec = tags.find(ZnString(name));
        if (!rec) continue;
        const std::string what = std::string("User-supplied tag ") + name;
        // The DTD requires the data type of a tag.
        if (!start(name) ||
            !property("dataType", rec->dataType, evolved_ ? Kind::Ref : Kind::Name, what) ||
            !property("semantics", rec->semantics, Kind::Text, what) || !end())
            return false;
    }
    return end();
}

bool Writer::synchronizations() {
    const auto& points = fom_.synchronizationPoints();
    if (points.empty()) return true;
    if (!start("synchronizations")) return false;
    for (size_t i = 0; i < points.size(); ++i) {
        const ZnSynchronizationPointsType& p = points[i];
        const std::string what = "Synchronization point " + p.label.std();
        if (!start(evolved_ ? "synchronizationPoint" : "synchronization") ||
            !property("label", p.label, Kind::Name, what) ||
            !property("dataType", p.dataType, Kind::Ref, what))
            return false;
        if (p.capability != 0 &&
            !coded("capability", fromTable(kCapability, p.capability), p.capability, what))
            return false;
        if (!property("semantics", p.semantics, Kind::Text, what) || !end()) return false;
    }
    return end();
}

bool Writer::transportations() {
    const auto& table = fom_.transportations();
    if (table.empty() && !evolved_) return true;
    if (!start("transportations")) return false;
    for (size_t i = 0; i < table.size(); ++i) {
        const ZnTransportationType& t = table[i];
        const std::string what = "Transportation " + t.name.std();
        if (!start("transportation") || !property("name", t.name, Kind::Name, what)) return false;
        // One free text each form calls by its own name.
        const ZnString& primary = evolved_ ? t.semantics : t.description;
        const ZnString& other = evolved_ ? t.description : t.semantics;
        if (!primary.empty() && !other.empty() && primary != other)
            omitted_.push_back("the " + std::string(evolved_ ? "description" : "semantics") +
                               " of transportation " + t.name.std());
        const ZnString& text = primary.empty() ? other : primary;
        if (evolved_) {
            if (!element("reliable", t.reliable ? "Yes" : "No") ||
                !property("semantics", text, Kind::Text, what))
                return false;
        } else {
            if (reliableByName(t.name) != t.reliable)
                return fail(what + " is " + (t.reliable ? "reliable" : "best effort") +
                            ", which the format can only say through the word \"reliable\" "
                            "in the name");
            if (!property("description", text, Kind::Text, what)) return false;
        }
        if (!end()) return false;
    }
    return end();
}

// A switch is written when the model's table holds it or when the model's
// value differs from what a reader would install without it.
bool Writer::switches() {
    using pxsdetail::switches::Switch;
    auto wanted = [&](const Switch& s) {
        const ZnString name(s.name);
        return fom_.hasSwitch(name) || (fom_.*s.get)() != fom_.switchValue(name);
    };
    // The switch table's rows stand in the schema's (and the DTD's) order.
    size_t count = 0;
    const Switch* table = pxsdetail::switches::all(&count);
    const auto form = evolved_ ? pxsdetail::switches::kEvolved : pxsdetail::switches::kFdd1516;
    if (!evolved_) {
        for (size_t i = 0; i < count; ++i)
            if (!table[i].position[form] && wanted(table[i]))
                omitted_.push_back(std::string("switch ") + table[i].name);
        if (fom_.automaticResignAction() != kDefaultResignAction)
            omitted_.push_back("switch automaticResignAction");
    }
    const char* resign = fromTable(kResignAction, fom_.automaticResignAction());
    if (evolved_ && !resign)
        return fail("Automatic resign action code " + std::to_string(fom_.automaticResignAction()) +
                    " has no name in the format");
    std::vector<const Switch*> chosen;
    for (size_t i = 0; i < count; ++i)
        if (table[i].position[form] && wanted(table[i])) chosen.push_back(&table[i]);
    if (chosen.empty() && !evolved_) return true;
    if (!start("switches")) return false;
    for (const Switch* s : chosen) {
        bool on = (fom_.*s->get)();
        if (evolved_) {
            if (!start(s->name) || !attribute("isEnabled", on ? "true" : "false") || !end())
                return false;
        } else if (!attribute(s->name, on ? "Enabled" : "Disabled")) {
            return false;
        }
    }
    if (evolved_ &&
        (!start("automaticResignAction") || !attribute("resignAction", resign) || !end()))
        return false;
    return end();
}

bool Writer::updateRates() {
    const auto& rates = fom_.updateRates();
    if (rates.empty()) return true;
    if (!evolved_) {
        omitted_.push_back(std::to_string(rates.size()) + " update rates");
        return true;
    }
    if (!start("updateRates")) return false;
    for (size_t i = 0; i < rates.size(); ++i) {
        const ZnUpdateRateType& r = rates[i];
        const std::string what = "Update rate " + r.name.std();
        if (!std::isfinite(r.rate)) return fail(what + " is not a finite number");
        // The schema's decimal has no exponent; the shortest fixed form that
        // reads back as the same float.
        char text[64];
        auto result = std::to_chars(text, text + sizeof text - 1, r.rate, std::chars_format::fixed);
        if (result.ec != std::errc()) return fail(what + " could not be spelled");
        *result.ptr = '\0';
        if (!start("updateRate") || !property("name", r.name, Kind::Name, what) ||
            !element("rate", text) || !property("semantics", r.semantics, Kind::Text, what) ||
            !end())
            return false;
    }
    return end();
}

bool Writer::dataTypes() {
    const auto& basics = fom_.basicDataRepresentations();
    const auto& simples = fom_.simpleDatatypes();
    const auto& enums = fom_.enumeratedDatatypes();
    const auto& arrays = fom_.arrayDatatypes();
    const auto& fixeds = fom_.fixedRecordDatatypes();
    const auto& variants = fom_.variantRecordDatatypes();
    if (basics.empty() && simples.empty() && enums.empty() && arrays.empty() && fixeds.empty() &&
        variants.empty())
        return true;
    if (!evolved_ && basics.empty())
        return fail(
            "The data types have no basic data representation, which the format "
            "requires of a data type table");
    if (!start("dataTypes")) return false;

    if (!basics.empty()) {
        if (!start("basicDataRepresentations")) return false;
        for (size_t i = 0; i < basics.size(); ++i) {
            const ZnBasicDataRepresentationType& b = basics[i];
            const std::string what = "Basic data representation " + b.name.std();
            if (!start("basicData") || !property("name", b.name, Kind::Name, what)) return false;
            if (b.size != 0 &&
                !property("size", ZnString(std::to_string(b.size)), Kind::Text, what))
                return false;
            if (!property("interpretation", b.interpretation, Kind::Text, what)) return false;
            if (b.endian != 0 && !coded("endian",
                                        b.endian == 1   ? "Big"
                                        : b.endian == 2 ? "Little"
                                                        : nullptr,
                                        b.endian, what))
                return false;
            if (!property("encoding", b.encoding, Kind::Text, what) || !end()) return false;
        }
        if (!end()) return false;
    }
    if (!simples.empty()) {
        if (!start("simpleDataTypes")) return false;
        for (size_t i = 0; i < simples.size(); ++i) {
            const ZnSimpleDatatypeType& s = simples[i];
            const std::string what = "Simple data type " + s.name.std();
            if (!start("simpleData") || !property("name", s.name, Kind::Name, what) ||
                !property("representation", s.representation, Kind::Ref, what) ||
                !property("units", s.units, Kind::Text, what) ||
                !property("resolution", s.resolution, Kind::Text, what) ||
                !property("accuracy", s.accuracy, Kind::Text, what) ||
                !property("semantics", s.semantics, Kind::Text, what) || !end())
                return false;
        }
        if (!end()) return false;
    }
    if (!enums.empty()) {
        if (!start("enumeratedDataTypes")) return false;
        for (size_t i = 0; i < enums.size(); ++i) {
            const ZnEnumeratedDatatypeType& e = enums[i];
            const std::string what = "Enumerated data type " + e.name.std();
            if (!evolved_ && e.enumerators.empty())
                return fail(what + " has no enumerator, which the format requires");
            if (!start("enumeratedData") || !property("name", e.name, Kind::Name, what) ||
                !property("representation", e.representation, Kind::Ref, what) ||
                !property("semantics", e.semantics, Kind::Text, what))
                return false;
            for (const ZnEnumeratorType* item :
                 sortedItems(e.enumerators, [](const ZnEnumeratorType& x) { return x.name; })) {
                const std::string itemWhat = "Enumerator " + item->name.std() + " of " + what;
                if (!start("enumerator") || !property("name", item->name, Kind::Name, itemWhat) ||
                    !property(evolved_ ? "value" : "values", item->values, Kind::Tokens,
                              itemWhat) ||
                    !end())
                    return false;
            }
            if (!end()) return false;
        }
        if (!end()) return false;
    }
    if (!arrays.empty()) {
        if (!start("arrayDataTypes")) return false;
        for (size_t i = 0; i < arrays.size(); ++i) {
            const ZnArrayDatatypeType& a = arrays[i];
            const std::string what = "Array data type " + a.name.std();
            if (!start("arrayData") || !property("name", a.name, Kind::Name, what) ||
                !property("dataType", a.dataType, Kind::Ref, what))
                return false;
            if (evolved_ && !a.cardinality.empty() && !cardinalityPattern(a.cardinality))
                return fail(what + " has cardinality \"" + a.cardinality.std() +
                            "\", which is not Dynamic, a count or a range [m..n]");
            if (!property("cardinality", a.cardinality, Kind::Text, what) ||
                !property("encoding", a.encoding, Kind::Text, what) ||
                !property("semantics", a.semantics, Kind::Text, what) || !end())
                return false;
        }
        if (!end()) return false;
    }
    if (!fixeds.empty()) {
        if (!start("fixedRecordDataTypes")) return false;
        for (size_t i = 0; i < fixeds.size(); ++i) {
            const ZnFixedRecordDatatypeType& f = fixeds[i];
            const std::string what = "Fixed record data type " + f.name.std();
            if (!evolved_ && f.fields.empty())
                return fail(what + " has no field, which the format requires");
            if (!start("fixedRecordData") || !property("name", f.name, Kind::Name, what) ||
                !property("encoding", f.encoding, Kind::Text, what) ||
                !property("semantics", f.semantics, Kind::Text, what))
                return false;
            for (const ZnFieldType* item :
                 sortedItems(f.fields, [](const ZnFieldType& x) { return x.name; })) {
                const std::string itemWhat = "Field " + item->name.std() + " of " + what;
                if (!start("field") || !property("name", item->name, Kind::Name, itemWhat) ||
                    !property("dataType", item->dataType, Kind::Ref, itemWhat) ||
                    !property("semantics", item->semantics, Kind::Text, itemWhat) || !end())
                    return false;
            }
            if (!end()) return false;
        }
        if (!end()) return false;
    }
    if (!variants.empty()) {
        if (!start("variantRecordDataTypes")) return false;
        for (size_t i = 0; i < variants.size(); ++i) {
            const ZnVariantRecordDatatypeType& v = variants[i];
            const std::string what = "Variant record data type " + v.name.std();
            if (!evolved_ && v.alternatives.empty())
                return fail(what + " has no alternative, which the format requires");
            if (!start("variantRecordData") || !property("name", v.name, Kind::Name, what) ||
                !property("discriminant", v.discriminant, evolved_ ? Kind::Ref : Kind::Text,
                          what) ||
                !property("dataType", v.dataType, Kind::Ref, what))
                return false;
            // The 2000 form's properties are XML attributes, which must come
            // before the alternatives; the 2010 schema puts these two after.
            if (!evolved_ && (!property("encoding", v.encoding, Kind::Text, what) ||
                              !property("semantics", v.semantics, Kind::Text, what)))
                return false;
            for (const ZnAlternativeType* item : sortedItems(
                     v.alternatives, [](const ZnAlternativeType& x) { return x.enumerator; })) {
                const std::string itemWhat =
                    "Alternative " + item->enumerator.std() + " of " + what;
                if (!start("alternative")) return false;
                // The DTD requires the enumerator, empty or not.
                if (!evolved_ && item->enumerator.empty()) {
                    if (!attribute("enumerator", "")) return false;
                } else if (!property("enumerator", item->enumerator, Kind::Text, itemWhat)) {
                    return false;
                }
                if (!property("name", item->name, Kind::Ref, itemWhat) ||
                    !property("dataType", item->dataType, Kind::Ref, itemWhat) ||
                    !property("semantics", item->semantics, Kind::Text, itemWhat) || !end())
                    return false;
            }
            if (evolved_ && (!property("encoding", v.encoding, Kind::Text, what) ||
                             !property("semantics", v.semantics, Kind::Text, what)))
                return false;
            if (!end()) return false;
        }
        if (!end()) return false;
    }
    return end();
}

bool Writer::notes() {
    const auto& notes = fom_.notes();
    if (notes.empty()) return true;
    if (!start("notes")) return false;
    for (size_t i = 0; i < notes.size(); ++i) {
        const ZnNotesType& n = notes[i];
        const std::string what = "Note " + n.name.std();
        if (!start("note") || !property(evolved_ ? "label" : "name", n.name, Kind::Name, what) ||
            !property("semantics", n.semantics, Kind::Text, what) || !end())
            return false;
    }
    return end();
}

void Writer::noteOmissions() {
    if (!fom_.spaces().empty() || spacedMembers_ > 0)
        omitted_.push_back(std::to_string(fom_.spaces().size()) + " routing spaces (" +
                           std::to_string(spacedMembers_) + " members placed in them)");
}

}  // namespace

}  // namespace pxsdetail::fomwriter

bool ZnWriteFom(const ZnFom& fom, ZnFomFormat format, std::ostream& out, std::string* error) {
    auto failWith = [&](const std::string& message) {
        if (error) *error = message;
        return false;
    };
    if (format != ZnFomFormat::Evolved2010 && format != ZnFomFormat::Fdd2000)
        return failWith("Unknown object-model format");
    const char* formName = format == ZnFomFormat::Evolved2010 ? "HLA Evolved" : "IEEE 1516-2000";
    try {
        XmlBufferPtr buffer(xmlBufferCreate());
        if (!buffer) return failWith("Out of memory writing the object model");
        std::vector<std::string> omitted;
        {
            XmlTextWriterPtr writer(xmlNewTextWriterMemory(buffer.get(), 0));
            if (!writer) return failWith("Out of memory writing the object model");
            pxsdetail::fomwriter::Writer walk(fom, format, writer.get());
            if (!walk.run())
                return failWith("Cannot write the object model in the " + std::string(formName) +
                                " form: " + walk.error());
            omitted = walk.omitted();
        }  // freeing the writer flushes the last bytes into the buffer
        out.write(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
                  xmlBufferLength(buffer.get()));
        out.flush();
        if (!out) return failWith("The object model could not be written to the stream");
        for (const std::string& what : omitted)
            ZnWarn << "The " << formName << " form has no place for " << what
                   << "; they are left out.\n";
    } catch (const std::bad_alloc&) {
        return failWith("Out of memory writing the object model");
    }
    if (error) error->clear();
    return true;
}

bool ZnWriteFomFile(const ZnFom& fom, ZnFomFormat format, const std::string& path,
                    std::string* error) {
    auto failWith = [&](const std::string& message) {
        if (error) *error = message;
        return false;
    };
    if (path.empty()) return failWith("No file name to write the object model to");
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) return failWith("Cannot create " + temporary + ": " + std::strerror(errno));
        if (!ZnWriteFom(fom, format, file, error)) {
            file.close();
            std::remove(temporary.c_str());
            return false;
        }
        file.close();
        if (!file) {
            std::remove(temporary.c_str());
            return failWith("Cannot write " + temporary);
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::string reason = std::strerror(errno);
        std::remove(temporary.c_str());
        return failWith("Cannot replace " + path + ": " + reason);
    }
    return true;
}
