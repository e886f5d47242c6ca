// fomMerge.cpp -- ZnFomMerge: the merge rule of FOM modules (see fomMerge.h)
// on top of ZnFom's storage. ZnFom already keeps first definitions; this
// file decides which later definitions must agree with them, reports those
// that do not, and keeps later member lists from growing a class that an
// earlier module gave its members.

#include <pxs/fomMerge.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace pxsdetail::merge {
namespace {

std::string text(const char* s) { return s ? s : ""; }

// A data type name that stands for none.
bool noType(const ZnString& name) { return name.empty() || name == "NA"; }

// "an array data type", "a simple data type".
std::string withArticle(const char* kind) {
    return (std::strchr("aeiou", kind[0]) ? "an " : "a ") + std::string(kind);
}

// The properties in which a restatement differs, as one clause:
// "transportation differs", "order and sharing differ".
class Differences {
public:
    void add(const char* what) { names_.push_back(what); }
    bool empty() const { return names_.empty(); }
    std::string text() const {
        std::string out;
        for (size_t i = 0; i < names_.size(); ++i)
            out += (i == 0 ? "" : i + 1 == names_.size() ? " and " : ", ") + names_[i];
        return out + (names_.size() == 1 ? " differs" : " differ");
    }

private:
    std::vector<std::string> names_;
};

// The content of a data type that two equivalent definitions share, one
// text per property or item; descriptions (semantics) stay out. Items are
// sorted because the readers keep them in pointer order.
template <class Set, class Fn>
std::vector<std::string> items(const Set& set, Fn fn) {
    std::vector<std::string> out;
    for (const auto& item : set) out.push_back(fn(*item));
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> content(const ZnBasicDataRepresentationType& r) {
    return {std::to_string(r.size), std::to_string(r.endian), r.encoding.std()};
}
std::vector<std::string> content(const ZnSimpleDatatypeType& r) {
    return {r.representation.std(), r.units.std(), r.resolution.std(), r.accuracy.std()};
}
std::vector<std::string> content(const ZnArrayDatatypeType& r) {
    return {r.dataType.std(), r.cardinality.std(), r.encoding.std()};
}
std::vector<std::string> content(const ZnEnumeratedDatatypeType& r) {
    std::vector<std::string> out{r.representation.std()};
    for (std::string& e : items(r.enumerators, [](const ZnEnumeratorType& e) {
             return "enumerator " + e.name.std() + "=" + e.values.std();
         }))
        out.push_back(std::move(e));
    return out;
}
std::vector<std::string> content(const ZnFixedRecordDatatypeType& r) {
    std::vector<std::string> out{r.encoding.std()};
    for (std::string& f : items(r.fields, [](const ZnFieldType& f) {
             return "field " + f.name.std() + ":" + f.dataType.std();
         }))
        out.push_back(std::move(f));
    return out;
}
std::vector<std::string> content(const ZnVariantRecordDatatypeType& r) {
    std::vector<std::string> out{r.discriminant.std(), r.dataType.std(), r.encoding.std()};
    for (std::string& a : items(r.alternatives, [](const ZnAlternativeType& a) {
             return "alternative " + a.enumerator.std() + " " + a.name.std() + ":" +
                    a.dataType.std();
         }))
        out.push_back(std::move(a));
    return out;
}

// Names and ranges of an alternative's enumerator text: "A, B" or "[A..C]"
// give their end names; HLAother stands for every enumerator left over.
std::vector<std::string> enumeratorNames(const ZnString& list) {
    std::vector<std::string> names;
    std::string current;
    auto flush = [&] {
        if (!current.empty()) names.push_back(current);
        current.clear();
    };
    const std::string& s = list.std();
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == ',' || c == '[' || c == ']' || std::isspace(static_cast<unsigned char>(c))) {
            flush();
        } else if (c == '.' && i + 1 < s.size() && s[i + 1] == '.') {
            flush();
            ++i;
        } else {
            current += c;
        }
    }
    flush();
    return names;
}

// Enumerator values: one or more integers, separated by commas or blanks.
bool integerValues(const ZnString& values) {
    const char* p = values.c_str();
    int count = 0;
    for (;;) {
        while (*p == ',' || std::isspace(static_cast<unsigned char>(*p))) ++p;
        if (!*p) return count > 0;
        char* end = nullptr;
        std::strtoll(p, &end, 10);
        if (end == p) return false;
        p = end;
        ++count;
        if (*p && *p != ',' && !std::isspace(static_cast<unsigned char>(*p))) return false;
    }
}

std::string joined(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string& n : names) out += (out.empty() ? "" : " ") + n;
    return out.empty() ? "none" : out;
}

std::vector<std::string> strings(const std::vector<ZnString>& names) {
    std::vector<std::string> out;
    for (const ZnString& n : names) out.push_back(n.std());
    return out;
}

}  // namespace
}  // namespace pxsdetail::merge

using namespace pxsdetail::merge;

ZnFomMerge::ZnFomMerge(ZnMergePolicy policy) : policy_(policy) {}

ZnFomMerge::~ZnFomMerge() = default;

void ZnFomMerge::beginModule(const std::string& file) {
    endModule();
    ++module_;
    moduleFile_ = fileIndex(file.c_str());
    current_ = Spot{moduleFile_, 0};
    moduleErrors_ = 0;
    stop_.clear();
}

bool ZnFomMerge::endModule() {
    // Members the restating module left out; the list of the first stays.
    for (const Restated& restated : restatedClasses_) {
        const bool interaction = restated.interaction;
        ClassState& state = stateAt(interaction, restated.position);
        if (state.restatedIn != module_) continue;
        const std::string name = interaction
                                     ? interactionClasses()[restated.position].name.std()
                                     : objectClasses()[restated.position].name.std();
        std::string kind = interaction ? "parameter " : "attribute ";
        std::vector<std::string> first;
        if (interaction) {
            first = strings(interactionClasses()[restated.position].parameters);
        } else {
            const ObjectClass* cls = &objectClasses()[restated.position];
            for (const Attribute& a : cls->attributes) {
                first.push_back(a.name.std());
                auto listed = state.listedDimensions.find(a.name.std());
                if (listed == state.listedDimensions.end() || listed->second.empty() ||
                    a.dimensions.empty())
                    continue;
                std::vector<std::string> had = strings(a.dimensions);
                current_ = state.listedAt[a.name.std()];
                if (joined(had) != joined(listed->second))
                    error("attribute " + name + "." + a.name.std(),
                          "has dimensions " + joined(listed->second) +
                              " where the first definition has " + joined(had));
            }
        }
        current_ = state.offeredAt;
        for (const std::string& member : first)
            if (!state.listed.count(member))
                error(kind + name + "." + member, "is missing from the restated member list of " +
                                                      name);
        state.restatedIn = -1;
        state.listed.clear();
        state.listedDimensions.clear();
        state.listedAt.clear();
    }
    restatedClasses_.clear();
    return moduleErrors_ == 0;
}

const ZnFomMerge::ClassState* ZnFomMerge::classState(const ZnString& name, bool interaction) const {
    const auto& states = interaction ? interactionStates_ : objectStates_;
    size_t at = SIZE_MAX;
    if (interaction) {
        if (const InteractionClass* cls = interactionClass(name))
            at = static_cast<size_t>(cls - interactionClasses().data());
    } else if (const ObjectClass* cls = objectClass(name)) {
        at = static_cast<size_t>(cls - objectClasses().data());
    }
    return at < states.size() ? &states[at] : nullptr;
}

// The member's state; null when the class has no member of that name.
const ZnFomMerge::MemberState* ZnFomMerge::memberState(const ClassState& state, bool interaction,
                                                       const ZnString& className,
                                                       const char* member) const {
    const size_t at = memberPosition(interaction, className, member);
    return at < state.members.size() ? &state.members[at] : nullptr;
}

size_t ZnFomMerge::memberPosition(bool interaction, const ZnString& className,
                                  const char* member) const {
    if (!interaction) return attributePosition(*objectClass(className), member);
    // Parameters arrive in order and are asked for as they arrive.
    const std::vector<ZnString>& params = interactionClass(className)->parameters;
    for (size_t i = params.size(); i-- > 0;)
        if (params[i] == member) return i;
    return SIZE_MAX;
}

const ZnString* ZnFomMerge::memberDataTypeOf(bool interaction, const ZnString& className,
                                             const ZnString& member) const {
    const ClassState* state = classState(className, interaction);
    const MemberState* m = state ? memberState(*state, interaction, className, member.c_str())
                                 : nullptr;
    return m && !m->dataType.empty() ? &m->dataType : nullptr;
}

const ZnString* ZnFomMerge::attributeDataTypeOf(const ZnString& className,
                                                const ZnString& attribute) const {
    return memberDataTypeOf(false, className, attribute);
}

const ZnString* ZnFomMerge::parameterDataTypeOf(const ZnString& className,
                                                const ZnString& parameter) const {
    return memberDataTypeOf(true, className, parameter);
}

std::optional<ZnFomMerge::Position> ZnFomMerge::definitionOf(const std::string& element) const {
    const size_t space = element.find(' ');
    if (space == std::string::npos) return std::nullopt;
    const std::string kind = element.substr(0, space);
    const std::string name = element.substr(space + 1);
    const bool interaction = kind == "interactionClass" || kind == "parameter";
    if (kind == "objectClass" || kind == "interactionClass") {
        const ClassState* state = classState(ZnString(name.c_str()), interaction);
        if (!state || state->declaredIn < 0) return std::nullopt;
        return position(state->firstAt);
    }
    if (kind == "attribute" || kind == "parameter") {
        const size_t dot = name.rfind('.');
        if (dot == std::string::npos) return std::nullopt;
        const ZnString className(name.substr(0, dot).c_str());
        const ClassState* state = classState(className, interaction);
        const MemberState* m =
            state ? memberState(*state, interaction, className, name.c_str() + dot + 1) : nullptr;
        if (!m) return std::nullopt;
        return position(m->at);
    }
    auto it = sources_.find(element);
    if (it == sources_.end()) return std::nullopt;
    return position(it->second);
}

ZnSharingType_enum ZnFomMerge::classSharing(const ZnString& className, bool interaction) const {
    const ClassState* state = classState(className, interaction);
    return state ? state->sharing : ZnSharingInvalid;
}

ZnString ZnFomMerge::classSemantics(const ZnString& className, bool interaction) const {
    const ClassState* state = classState(className, interaction);
    return state ? state->semantics : ZnString();
}

std::vector<std::pair<std::string, ZnFomMerge::Position>> ZnFomMerge::definitions() const {
    std::vector<std::pair<std::string, Position>> all;
    for (const auto& [element, spot] : sources_) all.emplace_back(element, position(spot));
    auto classes = [&](const char* classKind, const char* memberKind, bool interaction,
                       const auto& entries, auto memberName) {
        const auto& states = interaction ? interactionStates_ : objectStates_;
        for (size_t c = 0; c < entries.size() && c < states.size(); ++c) {
            const ClassState& state = states[c];
            const std::string name = entries[c].name.std();
            if (state.declaredIn >= 0) all.emplace_back(classKind + name, position(state.firstAt));
            for (size_t m = 0; m < state.members.size(); ++m)
                all.emplace_back(memberKind + name + "." + memberName(entries[c], m),
                                 position(state.members[m].at));
        }
    };
    classes("objectClass ", "attribute ", false, objectClasses(),
            [](const ObjectClass& c, size_t m) { return c.attributes[m].name.std(); });
    classes("interactionClass ", "parameter ", true, interactionClasses(),
            [](const InteractionClass& c, size_t m) { return c.parameters[m].std(); });
    std::sort(all.begin(), all.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    return all;
}

const char* ZnFomMerge::stopReason() const { return stop_.empty() ? nullptr : stop_.c_str(); }

uint32_t ZnFomMerge::fileIndex(const char* file) {
    if (!file || !*file) return 0;
    auto [it, added] = fileIndex_.emplace(file, static_cast<uint32_t>(files_.size()));
    if (added) files_.push_back(file);
    return it->second;
}

ZnFomMerge::Position ZnFomMerge::position(const Spot& spot) const {
    return Position{files_[spot.file], spot.line};
}

void ZnFomMerge::definitionSource(const char* file, int line) {
    // Called before every definition, nearly always with the file of the last.
    if (!file || !*file)
        current_.file = moduleFile_;
    else if (files_[current_.file] != file)
        current_.file = fileIndex(file);
    current_.line = line;
}

void ZnFomMerge::remember(std::string element) {
    sources_.emplace(std::move(element), current_);
}

void ZnFomMerge::error(const std::string& element, const std::string& message,
                       std::optional<Position> other) {
    if (!other) other = definitionOf(element);
    ZnFomDiagnostic d{policy_ == ZnMergePolicy::Strict ? ZnFomDiagnostic::Error
                                                       : ZnFomDiagnostic::Warning,
                      element,
                      files_[current_.file],
                      current_.line,
                      other ? other->file : std::string(),
                      other ? other->line : 0,
                      message};
    diagnostics_.push_back(d);
    if (d.severity != ZnFomDiagnostic::Error) return;
    ++errors_;
    ++moduleErrors_;
    if (!stop_.empty()) return;
    // The first error of a module is what the reader's last error says.
    stop_ = d.file + ":" + std::to_string(d.line) + ": " + element + " " + message;
    if (!d.otherFile.empty())
        stop_ += " (first defined at " + d.otherFile + ":" + std::to_string(d.otherLine) + ")";
}

ZnFomMerge::ClassState* ZnFomMerge::classState(const char* name, bool interaction) {
    if (!name) return nullptr;
    size_t at = interaction ? interactionClassPosition(name) : objectClassPosition(name);
    return at == SIZE_MAX ? nullptr : &stateAt(interaction, at);
}

// States grow with the classes; a reference to one lasts until the next
// class is accepted.
ZnFomMerge::ClassState& ZnFomMerge::stateAt(bool interaction, size_t position) {
    std::vector<ClassState>& states = interaction ? interactionStates_ : objectStates_;
    if (position >= states.size()) states.resize(position + 1);
    return states[position];
}

// What the module being read says of an interaction class, fresh for each
// module.
ZnFomMerge::InteractionOffer& ZnFomMerge::offerOf(ClassState& state) {
    if (state.offerIn != module_) {
        state.offerIn = module_;
        state.offer = InteractionOffer();
    }
    return state.offer;
}

// True when the module being read lists members of a class an earlier
// module gave its members; the first such member marks the class restated.
bool ZnFomMerge::restating(ClassState& state) {
    if (state.membersFrom < 0) state.membersFrom = module_;
    return state.membersFrom != module_;
}

// --- Classes and members

bool ZnFomMerge::addObjectClass(const char* name, const char* parent) {
    bool accepted = ZnFom::addObjectClass(name, parent);
    if (accepted) {
        ClassState& state = *classState(name, false);
        if (state.declaredIn < 0) {
            state.declaredIn = module_;
            state.firstAt = current_;
        }
        state.offeredAt = current_;
    }
    return accepted;
}

bool ZnFomMerge::addInteractionClass(const char* name, const char* parent,
                                     ZnTransportType transport, ZnOrderType order,
                                     const char* space) {
    bool accepted = ZnFom::addInteractionClass(name, parent, transport, order, space);
    if (accepted) {
        ClassState& state = *classState(name, true);
        if (state.declaredIn < 0) {
            state.declaredIn = module_;
            state.firstAt = current_;
        }
        state.offeredAt = current_;
        // Each statement of the class in a module starts the module's offer afresh.
        state.offerIn = module_;
        state.offer = InteractionOffer();
        state.offer.transport = transport;
        state.offer.order = order;
        state.offer.where = current_;
    }
    return accepted;
}

void ZnFomMerge::attributeProperties(unsigned given) { attributeGiven_ = given; }

void ZnFomMerge::classDetails(const ZnString& className, bool interaction,
                              ZnSharingType_enum sharing, const ZnString& semantics) {
    ClassState* state = classState(className.c_str(), interaction);
    if (!state) return;
    if (interaction) offerOf(*state).sharing = sharing;
    if (state->declaredIn != module_) return;  // the first declaration's stay
    state->sharing = sharing;
    state->semantics = semantics;
}

void ZnFomMerge::addAttribute(const char* className, const char* attribute,
                              ZnTransportType transport, ZnOrderType order,
                              ZnSharingType_enum sharing, ZnFomUpdateType_enum updateType,
                              ZnString* updateCondition, ZnOwnershipType_enum ownership,
                              ZnString* semantics, const void* reserved) {
    const unsigned given = attributeGiven_;
    attributeGiven_ = kStatedByAll;
    ClassState* state = classState(className, false);
    if (!state || !attribute) return;
    if (!restating(*state)) {
        const ObjectClass* cls = objectClass(ZnString(className));
        const size_t before = cls->attributes.size();
        ZnFom::addAttribute(className, attribute, transport, order, sharing, updateType,
                            updateCondition, ownership, semantics, reserved);
        // A name the module repeats keeps its first statement.
        if (cls->attributes.size() > before) {
            state->members.resize(cls->attributes.size());
            state->members.back().given = given;
            state->members.back().at = current_;
        }
        return;
    }
    const std::string element = "attribute " + text(className) + "." + attribute;
    if (state->restatedIn != module_) {
        state->restatedIn = module_;
        restatedClasses_.push_back(Restated{false, objectClassPosition(className)});
    }
    state->listed.insert(attribute);
    state->listedAt.emplace(attribute, current_);
    const ObjectClass* cls = objectClass(ZnString(className));
    const size_t at = attributePosition(*cls, attribute);
    if (at == SIZE_MAX) {
        error(element, "is not in the member list of " + text(className),
              definitionOf("objectClass " + text(className)));
        return;
    }
    const Attribute& first = cls->attributes[at];
    const unsigned both = given & (at < state->members.size() ? state->members[at].given
                                                              : kStatedByAll);
    Differences differs;
    // Compared only where both statements give the property.
    if ((both & ZnMemberTransportation) && transport != ZnTransportNone &&
        first.transport != ZnTransportNone && transport != first.transport)
        differs.add("transportation");
    if ((both & ZnMemberOrder) && order != ZnOrderNone && first.order != ZnOrderNone &&
        order != first.order)
        differs.add("order");
    if ((both & ZnMemberSharing) && sharing != first.sharing) differs.add("sharing");
    // NA is what a reader passes when the module gives no update type.
    if ((both & ZnMemberUpdateType) && updateType != ZnUpdateNA &&
        first.updateType != ZnUpdateNA && updateType != first.updateType)
        differs.add("update type");
    if ((both & ZnMemberUpdateCondition) && updateCondition && !updateCondition->empty() &&
        !first.updateCondition.empty() && *updateCondition != first.updateCondition)
        differs.add("update condition");
    if ((both & ZnMemberOwnership) && ownership != first.ownership) differs.add("ownership");
    if (!differs.empty()) error(element, differs.text() + " from the first definition");
}

bool ZnFomMerge::addAttributeDimension(const char* className, const char* attribute,
                                       const char* dimensionName) {
    // Dimensions are never taken back: one known now passes checkComplete.
    if (className && attribute && dimensionName && !dimension(ZnString(dimensionName)))
        dimensionReferences_.push_back(
            Reference{"attribute " + text(className) + "." + attribute, dimensionName, current_});
    ClassState* state = classState(className, false);
    if (!state || state->membersFrom < 0 || state->membersFrom == module_ || !attribute ||
        !dimensionName)
        return ZnFom::addAttributeDimension(className, attribute, dimensionName);
    // A restated attribute: its dimensions are compared, never added.
    state->listedDimensions[attribute].push_back(dimensionName);
    return dimension(ZnString(dimensionName)) &&
           attributePosition(*objectClass(ZnString(className)), attribute) != SIZE_MAX;
}

void ZnFomMerge::compareInteraction(const std::string& name, ClassState& state) {
    if (state.offerIn != module_ || state.offer.compared) return;
    InteractionOffer& offer = state.offer;
    offer.compared = true;
    const InteractionClass* cls = interactionClass(ZnString(name.c_str()));
    Differences differs;
    if (offer.transport != ZnTransportNone && cls->transport != ZnTransportNone &&
        offer.transport != cls->transport)
        differs.add("transportation");
    if (offer.order != ZnOrderNone && cls->order != ZnOrderNone && offer.order != cls->order)
        differs.add("order");
    if (offer.sharing != ZnSharingInvalid && state.sharing != ZnSharingInvalid &&
        offer.sharing != state.sharing)
        differs.add("sharing");
    if (!offer.dimensions.empty() && !cls->dimensions.empty() &&
        joined(offer.dimensions) != joined(strings(cls->dimensions)))
        differs.add("dimensions");
    if (differs.empty()) return;
    // Found at the first parameter, said where the class's statement stands.
    const Spot at = current_;
    current_ = offer.where;
    error("interactionClass " + name, differs.text() + " from the first definition");
    current_ = at;
}

// The first module to list parameters of a class that only scaffolding
// declared so far gives the class its properties: scaffolding changes nothing.
void ZnFomMerge::adoptInteraction(const char* className, ClassState& state) {
    InteractionClass* cls = storedInteractionClass(ZnString(className));
    if (state.offerIn != module_ || !cls) return;
    const InteractionOffer& offer = state.offer;
    cls->transport = offer.transport;
    cls->order = offer.order;
    state.sharing = offer.sharing;
    cls->dimensions.clear();
    for (const std::string& d : offer.dimensions)
        if (dimension(ZnString(d.c_str()))) cls->dimensions.emplace_back(d.c_str());
    state.firstAt = offer.where;
}

void ZnFomMerge::addParameter(const char* className, const char* parameter) {
    ClassState* state = classState(className, true);
    if (!state || !parameter) return;
    if (state->membersFrom < 0 && state->declaredIn != module_) adoptInteraction(className, *state);
    if (!restating(*state)) {
        const InteractionClass* cls = interactionClass(ZnString(className));
        const size_t before = cls->parameters.size();
        ZnFom::addParameter(className, parameter);
        if (cls->parameters.size() > before) {
            state->members.resize(cls->parameters.size());
            state->members.back().at = current_;
        }
        return;
    }
    if (state->restatedIn != module_) {
        state->restatedIn = module_;
        restatedClasses_.push_back(Restated{true, interactionClassPosition(className)});
        compareInteraction(className, *state);
    }
    state->listed.insert(parameter);
    state->listedAt.emplace(parameter, current_);
    const InteractionClass* cls = interactionClass(ZnString(className));
    if (std::none_of(cls->parameters.begin(), cls->parameters.end(),
                     [&](const ZnString& p) { return p == parameter; }))
        error("parameter " + text(className) + "." + parameter,
              "is not in the member list of " + text(className),
              definitionOf("interactionClass " + text(className)));
}

bool ZnFomMerge::addInteractionDimension(const char* className, const char* dimensionName) {
    if (className && dimensionName && !dimension(ZnString(dimensionName)))
        dimensionReferences_.push_back(
            Reference{"interactionClass " + text(className), dimensionName, current_});
    ClassState* state = classState(className, true);
    if (!state || !dimensionName || state->declaredIn == module_)
        return ZnFom::addInteractionDimension(className, dimensionName);
    // A later statement of the class: its dimensions only take part in the
    // comparison, and only if the module lists parameters.
    offerOf(*state).dimensions.push_back(dimensionName);
    return dimension(ZnString(dimensionName)) != nullptr;
}

void ZnFomMerge::memberDataType(bool interaction, const ZnString& className,
                                const ZnString& member, const ZnString& dataType) {
    ClassState* state = classState(className.c_str(), interaction);
    if (!state || noType(dataType)) return;
    const size_t at = memberPosition(interaction, className, member.c_str());
    if (at >= state->members.size()) return;
    MemberState& m = state->members[at];
    if (state->membersFrom == module_ && state->restatedIn != module_) {
        if (m.dataType.empty()) m.dataType = dataType;  // a repeated name keeps its first
        return;
    }
    if (m.dataType.empty() || m.dataType == dataType) return;
    error(std::string(interaction ? "parameter " : "attribute ") + className.std() + "." +
              member.std(),
          "has data type " + dataType.std() + " where the first definition has " +
              m.dataType.std());
}

void ZnFomMerge::attributeDataType(const ZnString& className, const ZnString& attribute,
                                   const ZnString& dataType) {
    memberDataType(false, className, attribute, dataType);
}

void ZnFomMerge::parameterDataType(const ZnString& className, const ZnString& parameter,
                                   const ZnString& dataType) {
    memberDataType(true, className, parameter, dataType);
}

// --- Dimensions and records

void ZnFomMerge::addDimension(const char* name, uint64_t upperBound, uint64_t lower,
                              uint64_t upper, bool excluded, ZnString* normalization) {
    if (!name) return;
    const std::string element = "dimension " + text(name);
    const Dimension* first = dimension(ZnString(name));
    if (!first) {
        remember(element);
        ZnFom::addDimension(name, upperBound, lower, upper, excluded, normalization);
        return;
    }
    Differences differs;
    if (first->upperBound != upperBound) differs.add("upper bound");
    ZnString norm = normalization ? *normalization : ZnString();
    if (first->normalization != norm) differs.add("normalization");
    if (first->excluded != excluded || (!excluded && (first->lower != lower || first->upper != upper)))
        differs.add("value");
    if (!differs.empty()) error(element, differs.text() + " from the first definition");
}

void ZnFomMerge::addTransportation(ZnTransportationType* rec) {
    if (rec && !transportations().find(rec->name)) remember("transportation " + rec->name.std());
    ZnFom::addTransportation(rec);
}

void ZnFomMerge::restated(const ZnTransportationType& rec) {
    const ZnTransportationType* first = transportations().find(rec.name);
    if (first && first->reliable != rec.reliable)
        error("transportation " + rec.name.std(),
              std::string("has reliability ") + (rec.reliable ? "Yes" : "No") +
                  " where the first definition has " + (first->reliable ? "Yes" : "No"));
}

void ZnFomMerge::addUpdateRate(ZnUpdateRateType* rec) {
    if (rec && !updateRates().find(rec->name)) remember("updateRate " + rec->name.std());
    ZnFom::addUpdateRate(rec);
}

void ZnFomMerge::restated(const ZnUpdateRateType& rec) {
    const ZnUpdateRateType* first = updateRates().find(rec.name);
    if (first && first->rate != rec.rate)
        error("updateRate " + rec.name.std(), "has rate " + std::to_string(rec.rate) +
                                                  " where the first definition has " +
                                                  std::to_string(first->rate));
}

const char* ZnFomMerge::kindOf(const ZnString& name) const {
    if (basicDataRepresentations().find(name)) return "basic data representation";
    if (simpleDatatypes().find(name)) return "simple data type";
    if (arrayDatatypes().find(name)) return "array data type";
    if (enumeratedDatatypes().find(name)) return "enumerated data type";
    if (fixedRecordDatatypes().find(name)) return "fixed record data type";
    if (variantRecordDatatypes().find(name)) return "variant record data type";
    return nullptr;
}

bool ZnFomMerge::dataTypeExists(const ZnString& name) const { return kindOf(name) != nullptr; }

// True when `name` may go into the table of `kind`; a name of another kind
// is a conflict and the first definition stays.
bool ZnFomMerge::claimDataType(const ZnString& name, const char* kind) {
    const char* held = kindOf(name);
    if (!held) {
        remember("dataType " + name.std());
        return true;
    }
    if (std::strcmp(held, kind) != 0)
        error("dataType " + name.std(), "is " + withArticle(kind) + " here but " +
                                            withArticle(held) + " in its first definition");
    return false;
}

void ZnFomMerge::sameDataType(const ZnString& name, const std::vector<std::string>& stored,
                              const std::vector<std::string>& offered) {
    if (stored == offered) return;
    std::string detail;
    for (size_t i = 0; i < std::max(stored.size(), offered.size()); ++i) {
        const std::string a = i < stored.size() ? stored[i] : "(none)";
        const std::string b = i < offered.size() ? offered[i] : "(none)";
        if (a == b) continue;
        detail = " (\"" + b + "\" where the first has \"" + a + "\")";
        break;
    }
    error("dataType " + name.std(), "differs from its first definition" + detail);
}

#define PXS_MERGE_DATA_TYPE(add, Type, table, kind)                          \
    void ZnFomMerge::add(Type* rec) {                                        \
        if (rec && !claimDataType(rec->name, kind)) {                        \
            delete rec;                                                      \
            return;                                                          \
        }                                                                    \
        ZnFom::add(rec);                                                     \
    }                                                                        \
    void ZnFomMerge::restated(const Type& rec) {                             \
        if (const Type* first = table().find(rec.name))                      \
            sameDataType(rec.name, content(*first), content(rec));           \
    }
PXS_MERGE_DATA_TYPE(addBasicDataRepresentation, ZnBasicDataRepresentationType,
                    basicDataRepresentations, "basic data representation")
PXS_MERGE_DATA_TYPE(addSimpleDatatype, ZnSimpleDatatypeType, simpleDatatypes, "simple data type")
PXS_MERGE_DATA_TYPE(addArrayDatatype, ZnArrayDatatypeType, arrayDatatypes, "array data type")
PXS_MERGE_DATA_TYPE(addEnumeratedDatatype, ZnEnumeratedDatatypeType, enumeratedDatatypes,
                    "enumerated data type")
PXS_MERGE_DATA_TYPE(addFixedRecordDatatype, ZnFixedRecordDatatypeType, fixedRecordDatatypes,
                    "fixed record data type")
PXS_MERGE_DATA_TYPE(addVariantRecordDatatype, ZnVariantRecordDatatypeType,
                    variantRecordDatatypes, "variant record data type")
#undef PXS_MERGE_DATA_TYPE

// --- Completeness

void ZnFomMerge::completeness(const std::string& element, std::optional<Position> where,
                              const std::string& message) {
    ZnFomDiagnostic d{ZnFomDiagnostic::Error, element, where ? where->file : std::string(),
                      where ? where->line : 0, std::string(), 0, message};
    diagnostics_.push_back(d);
    ++errors_;
}

bool ZnFomMerge::checkComplete() {
    const size_t before = errors_;
    for (const Reference& ref : dimensionReferences_)
        if (!dimension(ZnString(ref.name.c_str())))
            completeness(ref.element, position(ref.where),
                         "names dimension " + ref.name + ", which no module declares");
    auto needType = [&](const std::string& element, const ZnString& type, const char* role) {
        if (!noType(type) && !dataTypeExists(type))
            completeness(element, definitionOf(element),
                         std::string(role) + " " + type.std() + " is not defined");
    };
    // Members are the bulk of a model: their element names are only made
    // for the few that fail.
    auto needMember = [&](const char* kind, const ZnString& cls, const ZnString& member,
                          const ZnString* type) {
        if (!member.empty() && (!type || noType(*type) || dataTypeExists(*type))) return;
        const std::string element = kind + cls.std() + "." + member.std();
        if (member.empty()) completeness(element, definitionOf(element), "has no name");
        if (type) needType(element, *type, "data type");
    };
    auto typeOf = [](const std::vector<ClassState>& states, size_t c, size_t m) {
        const bool known = c < states.size() && m < states[c].members.size();
        return known ? &states[c].members[m].dataType : nullptr;
    };
    for (size_t c = 0; c < objectClasses().size(); ++c) {
        const ObjectClass& cls = objectClasses()[c];
        for (size_t m = 0; m < cls.attributes.size(); ++m)
            needMember("attribute ", cls.name, cls.attributes[m].name, typeOf(objectStates_, c, m));
    }
    for (size_t c = 0; c < interactionClasses().size(); ++c) {
        const InteractionClass& cls = interactionClasses()[c];
        for (size_t m = 0; m < cls.parameters.size(); ++m)
            needMember("parameter ", cls.name, cls.parameters[m], typeOf(interactionStates_, c, m));
    }
    for (const Dimension& d : dimensions())
        if (d.name.empty()) completeness("dimension ", std::nullopt, "has no name");
    auto named = [&](const ZnString& name) {
        const std::string element = "dataType " + name.std();
        if (name.empty()) completeness(element, std::nullopt, "has no name");
        return element;
    };
    for (size_t i = 0; i < basicDataRepresentations().size(); ++i)
        named(basicDataRepresentations()[i].name);
    for (size_t i = 0; i < simpleDatatypes().size(); ++i) {
        const ZnSimpleDatatypeType& r = simpleDatatypes()[i];
        std::string element = named(r.name);
        if (!basicDataRepresentations().find(r.representation))
            completeness(element, definitionOf(element),
                         "representation " + r.representation.std() +
                             " is not a basic data representation");
    }
    for (size_t i = 0; i < arrayDatatypes().size(); ++i) {
        const ZnArrayDatatypeType& r = arrayDatatypes()[i];
        std::string element = named(r.name);
        needType(element, r.dataType, "element type");
    }
    for (size_t i = 0; i < enumeratedDatatypes().size(); ++i) {
        const ZnEnumeratedDatatypeType& r = enumeratedDatatypes()[i];
        std::string element = named(r.name);
        const std::optional<Position> where = definitionOf(element);
        if (!basicDataRepresentations().find(r.representation))
            completeness(element, where,
                         "representation " + r.representation.std() +
                             " is not a basic data representation");
        if (r.enumerators.empty()) completeness(element, where, "has no enumerators");
        for (const auto& e : r.enumerators) {
            if (e->name.empty()) completeness(element, where, "has an enumerator without a name");
            if (!integerValues(e->values))
                completeness(element, where,
                             "enumerator " + e->name.std() + " has no integer value");
        }
    }
    for (size_t i = 0; i < fixedRecordDatatypes().size(); ++i) {
        const ZnFixedRecordDatatypeType& r = fixedRecordDatatypes()[i];
        std::string element = named(r.name);
        for (const auto& f : r.fields) {
            if (f->name.empty())
                completeness(element, definitionOf(element), "has a field without a name");
            needType(element, f->dataType, ("field " + f->name.std() + " type").c_str());
        }
    }
    for (size_t i = 0; i < variantRecordDatatypes().size(); ++i) {
        const ZnVariantRecordDatatypeType& r = variantRecordDatatypes()[i];
        std::string element = named(r.name);
        const std::optional<Position> where = definitionOf(element);
        if (r.discriminant.empty()) completeness(element, where, "has no discriminant name");
        needType(element, r.dataType, "discriminant type");
        const ZnEnumeratedDatatypeType* discriminant = enumeratedDatatypes().find(r.dataType);
        if (!discriminant && dataTypeExists(r.dataType))
            completeness(element, where,
                         "discriminant type " + r.dataType.std() + " is not enumerated");
        for (const auto& a : r.alternatives) {
            if (a->name.empty())
                completeness(element, where, "has an alternative without a name");
            needType(element, a->dataType, ("alternative " + a->name.std() + " type").c_str());
            if (!discriminant) continue;
            for (const std::string& e : enumeratorNames(a->enumerator)) {
                if (e == "HLAother") continue;
                bool known = std::any_of(
                    discriminant->enumerators.begin(), discriminant->enumerators.end(),
                    [&](const auto& d) { return d->name == e.c_str(); });
                if (!known)
                    completeness(element, where,
                                 "alternative " + a->name.std() + " names " + e +
                                     ", which is no enumerator of " + r.dataType.std());
            }
        }
    }
    return errors_ == before;
}
