// fomMerge.h -- ZnFomMerge, a ZnFom that merges FOM modules by rule and says
// why when they disagree. It takes the readers' details (definition
// positions, member data types, class sharing, restated records) and keeps
// them beside the model.
//
//     ZnFomMerge fom;  // ZnMergePolicy::Strict
//     ZnFedReader1516e reader;
//     for (const char* file : {"HLAstandardMIM.xml", "base.xml", "ships.xml"}) {
//         fom.beginModule(file);
//         if (reader.readFed(file, &fom, 1, false, false) != ZnFedReadSuccess ||
//             !fom.endModule())
//             break;  // fom.diagnostics() says what disagreed, and where
//     }
//     fom.checkComplete();
//
// The rule, modules taken in the order read:
//  - Classes are matched by full dotted name. A class restated without
//    members (attributes, parameters) is scaffolding and changes nothing.
//  - When two modules both list members of a class, the lists must have the
//    same names and each member the same properties where both give them:
//    data type, update type and condition, ownership, sharing,
//    transportation, order, dimensions; for an interaction class also its
//    transportation, order, sharing and dimensions. Those properties and the
//    members stay as the first module gave them.
//  - Dimensions of one name agree on upper bound, normalization and value,
//    update rates on rate, transportations on reliability; data types of one
//    name are of one kind with the same content (descriptions aside).
//    Notes, tags, time, synchronization points and switches keep their
//    first definition unchecked.
// A disagreement is an error under Strict: the target asks the reader to
// stop, so the read ends with ZnFedReadFailed and the diagnostic's text as
// the reader's last error. Under Lenient it is a warning and the first
// definition stays. Members a module leaves out of a list it restates are
// found when the module ends (endModule).

#ifndef PXS_FOMMERGE_H
#define PXS_FOMMERGE_H

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <pxs/fom.h>
#include <util/znFedTargetDetails.h>

enum class ZnMergePolicy { Strict, Lenient };

struct ZnFomDiagnostic {
    enum Severity { Warning, Error } severity;
    // What disagrees: "objectClass N", "attribute C.a", "parameter C.p",
    // "interactionClass N", "dimension N", "transportation N",
    // "updateRate N" or "dataType N".
    std::string element;
    std::string file;  // where the disagreeing (later) definition stands
    int line;
    std::string otherFile;  // the definition it disagrees with; empty when none
    int otherLine;
    // Reads after the element: "has rate 2.000000 where the first
    // definition has 1.000000", "is not in the member list of C".
    std::string message;
};

class ZnFomMerge : public ZnFom, public ZnFedTargetDetails {
public:
    struct Position {
        std::string file;
        int line = 0;
    };

    explicit ZnFomMerge(ZnMergePolicy policy = ZnMergePolicy::Strict);
    ~ZnFomMerge() override;

    ZnMergePolicy policy() const { return policy_; }
    // Opens the next module; `file` names it in diagnostics until a reader
    // says where a definition stands. A read without it counts as part of
    // the current module.
    void beginModule(const std::string& file);
    // Closes the current module: classes it restated with members are
    // checked for members it left out. False when the module brought an
    // error.
    bool endModule();
    // For when the host holds the whole set: every name the model uses
    // must be defined (see README). False when this found an error.
    bool checkComplete();

    const std::vector<ZnFomDiagnostic>& diagnostics() const { return diagnostics_; }
    // True once any error was found.
    bool failed() const { return errors_ > 0; }

    // The data type a member names; null when none.
    const ZnString* attributeDataTypeOf(const ZnString& className, const ZnString& attribute) const;
    const ZnString* parameterDataTypeOf(const ZnString& className, const ZnString& parameter) const;
    // Where an element (named as in ZnFomDiagnostic) was first defined;
    // empty when unknown.
    std::optional<Position> definitionOf(const std::string& element) const;
    // The sharing a class declared; ZnSharingInvalid when it declared none
    // the readers could tell.
    ZnSharingType_enum classSharing(const ZnString& className, bool interaction) const;
    // The semantics a class's first declaration gave; empty when none.
    ZnString classSemantics(const ZnString& className, bool interaction) const;
    // Every definition whose position is known, sorted by element name.
    std::vector<std::pair<std::string, Position>> definitions() const;

    // --- ZnFedTargetDetails
    void definitionSource(const char* file, int line) override;
    void attributeDataType(const ZnString& className, const ZnString& attribute,
                           const ZnString& dataType) override;
    void parameterDataType(const ZnString& className, const ZnString& parameter,
                           const ZnString& dataType) override;
    void attributeProperties(unsigned given) override;
    void classDetails(const ZnString& className, bool interaction, ZnSharingType_enum sharing,
                      const ZnString& semantics) override;
    void restated(const ZnTransportationType& rec) override;
    void restated(const ZnUpdateRateType& rec) override;
    void restated(const ZnBasicDataRepresentationType& rec) override;
    void restated(const ZnSimpleDatatypeType& rec) override;
    void restated(const ZnArrayDatatypeType& rec) override;
    void restated(const ZnEnumeratedDatatypeType& rec) override;
    void restated(const ZnFixedRecordDatatypeType& rec) override;
    void restated(const ZnVariantRecordDatatypeType& rec) override;
    using ZnFedTargetDetails::restated;
    const char* stopReason() const override;

    // --- ZnFedTarget operations the rule applies to
    void addDimension(const char* name, uint64_t upperBound, uint64_t lower, uint64_t upper,
                      bool excluded, ZnString* normalization) override;
    bool addObjectClass(const char* name, const char* parent) override;
    bool addInteractionClass(const char* name, const char* parent, ZnTransportType transport,
                             ZnOrderType order, const char* space) override;
    void addParameter(const char* className, const char* parameter) override;
    bool addInteractionDimension(const char* className, const char* dimension) override;
    void addAttribute(const char* className, const char* attribute, ZnTransportType transport,
                      ZnOrderType order, ZnSharingType_enum sharing,
                      ZnFomUpdateType_enum updateType, ZnString* updateCondition,
                      ZnOwnershipType_enum ownership, ZnString* semantics,
                      const void* reserved) override;
    bool addAttributeDimension(const char* className, const char* attribute,
                               const char* dimension) override;
    void addTransportation(ZnTransportationType* rec) override;
    void addUpdateRate(ZnUpdateRateType* rec) override;
    void addBasicDataRepresentation(ZnBasicDataRepresentationType* rec) override;
    void addSimpleDatatype(ZnSimpleDatatypeType* rec) override;
    void addArrayDatatype(ZnArrayDatatypeType* rec) override;
    void addEnumeratedDatatype(ZnEnumeratedDatatypeType* rec) override;
    void addFixedRecordDatatype(ZnFixedRecordDatatypeType* rec) override;
    void addVariantRecordDatatype(ZnVariantRecordDatatypeType* rec) override;

private:
    // A position with its file kept once in files_: the bulk of a model is
    // members, and each remembers where it stands.
    struct Spot {
        uint32_t file = 0;
        int line = 0;
    };
    // What a member's first statement gave beyond ZnFom's entry; parallel
    // to the class's attributes or parameters.
    struct MemberState {
        ZnString dataType;
        unsigned given = kStatedByAll;
        Spot at;
    };
    // The properties the module being read gave an interaction class.
    struct InteractionOffer {
        ZnTransportType transport = ZnTransportNone;
        ZnOrderType order = ZnOrderNone;
        ZnSharingType_enum sharing = ZnSharingInvalid;
        std::vector<std::string> dimensions;
        bool compared = false;
        Spot where;
    };
    // What one class of one kind has learnt beyond ZnFom's entry.
    struct ClassState {
        int membersFrom = -1;  // module that gave the member list; -1: none yet
        int declaredIn = -1;   // module that first offered the class
        ZnSharingType_enum sharing = ZnSharingInvalid;
        ZnString semantics;
        Spot firstAt;    // the declaration that counts
        Spot offeredAt;  // the latest statement of the class
        std::vector<MemberState> members;
        int offerIn = -1;  // the module `offer` is from
        InteractionOffer offer;
        // The module being read restates the member list: what it listed.
        int restatedIn = -1;
        std::set<std::string> listed;
        std::unordered_map<std::string, std::vector<std::string>> listedDimensions;
        std::unordered_map<std::string, Spot> listedAt;
    };
    struct Reference {
        std::string element;  // the element that names it
        std::string name;
        Spot where;
    };

    // What the next attribute's file states; a reader that does not say
    // states only transportation and order (HLA 1.3 has nothing else).
    static constexpr unsigned kStatedByAll = ZnMemberTransportation | ZnMemberOrder;

    ClassState* classState(const char* name, bool interaction);
    const ClassState* classState(const ZnString& name, bool interaction) const;
    ClassState& stateAt(bool interaction, size_t position);
    const MemberState* memberState(const ClassState& state, bool interaction,
                                   const ZnString& className, const char* member) const;
    const ZnString* memberDataTypeOf(bool interaction, const ZnString& className,
                                     const ZnString& member) const;
    // Where a member of a known class stands in its list; SIZE_MAX if nowhere.
    size_t memberPosition(bool interaction, const ZnString& className, const char* member) const;
    InteractionOffer& offerOf(ClassState& state);
    bool restating(ClassState& state);
    uint32_t fileIndex(const char* file);
    Position position(const Spot& spot) const;
    void remember(std::string element);
    void error(const std::string& element, const std::string& message,
               std::optional<Position> other = std::nullopt);
    // Data types: `kind` is the table a definition belongs to.
    const char* kindOf(const ZnString& name) const;
    bool claimDataType(const ZnString& name, const char* kind);
    void sameDataType(const ZnString& name, const std::vector<std::string>& stored,
                      const std::vector<std::string>& offered);
    void memberDataType(bool interaction, const ZnString& className, const ZnString& member,
                        const ZnString& dataType);
    void compareInteraction(const std::string& name, ClassState& state);
    void adoptInteraction(const char* className, ClassState& state);
    bool dataTypeExists(const ZnString& name) const;
    void completeness(const std::string& element, std::optional<Position> where,
                      const std::string& message);

    ZnMergePolicy policy_;
    int module_ = 0;
    std::vector<std::string> files_{std::string()};  // 0: no file known
    std::unordered_map<std::string, uint32_t> fileIndex_;
    uint32_t moduleFile_ = 0;
    Spot current_;
    unsigned attributeGiven_ = kStatedByAll;
    std::vector<ZnFomDiagnostic> diagnostics_;
    size_t errors_ = 0;
    size_t moduleErrors_ = 0;
    std::string stop_;
    // Positions of what is not a class or member: dimensions, records, data types.
    std::unordered_map<std::string, Spot> sources_;
    // Parallel to objectClasses() and interactionClasses(): one lookup of the
    // class finds both its entry and its state.
    std::vector<ClassState> objectStates_;
    std::vector<ClassState> interactionStates_;
    struct Restated {
        bool interaction;
        size_t position;
    };
    std::vector<Restated> restatedClasses_;  // this module's, in the order restated
    std::vector<Reference> dimensionReferences_;  // names not declared when met
};

#endif
