// fomWriter_test.cpp -- the object-model writer: every model of tests/data
// and the built-in MIM written in both XML forms, each document checked
// against the embedded schema or DTD and read back with the matching reader
// into a model that must hold what the first one held; awkward text, the
// values a form cannot spell, the tables it leaves out, and file output.

#include "fomTestSupport.h"

#include <pxs/fomMerge.h>
#include <pxs/fomWriter.h>

#include <libxml/parser.h>
#include <libxml/valid.h>
#include <libxml/xmlschemas.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>

namespace {

using fomtest::Capture;
using fomtest::Quiet;
using fomtest::TempDir;

const char* formName(ZnFomFormat format) {
    return format == ZnFomFormat::Evolved2010 ? "2010" : "2000";
}

// --- Reading models

ZnFedReadStatus readModel(const std::string& name, ZnFom* fom, std::string* error) {
    Quiet quiet;
    std::unique_ptr<ZnFedReader> reader;
    if (name == "HLAstandardMIM.xml") {
        ZnFedReader1516e mim;
        ZnFedReadStatus status =
            mim.readFedFilePtr(nullptr, fom, ZnFilename(name.c_str()), 0, false, false);
        *error = mim.lastError().std();
        return status;
    }
    std::string ext = name.substr(name.rfind('.') + 1);
    if (ext == "fed")
        reader = std::make_unique<ZnFedReader13>();
    else if (ext == "fdd")
        reader = std::make_unique<ZnFedReader1516>();
    else
        reader = std::make_unique<ZnFedReader1516e>();
    ZnFedReadStatus status = reader->readFed(fomtest::dataPath(name).c_str(), fom, 0, false, false);
    *error = reader->lastError().std();
    return status;
}

// Reads a written document with the reader of its form, strictly: the
// writer's output must not need any of the readers' leniency.
ZnFedReadStatus readBack(const std::string& text, ZnFomFormat format, ZnFom* fom,
                         std::string* error) {
    Quiet quiet;
    std::unique_ptr<ZnFedReader> reader;
    if (format == ZnFomFormat::Evolved2010)
        reader = std::make_unique<ZnFedReader1516e>();
    else
        reader = std::make_unique<ZnFedReader1516>();
    ZnFedReadStatus status = fomtest::readText(*reader, text, fom, 1);
    *error = reader->lastError().std();
    return status;
}

std::string writeText(const ZnFom& fom, ZnFomFormat format, bool* ok, std::string* error) {
    Quiet quiet;
    std::ostringstream out;
    *ok = ZnWriteFom(fom, format, out, error);
    return out.str();
}

// --- Validation with libxml2 directly, against the library's embedded copies

struct ErrorLog {
    std::string text;
};

void collect(void* ctx, const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    static_cast<ErrorLog*>(ctx)->text += buffer;
}

#if LIBXML_VERSION >= 21200
void collectStructured(void* ctx, const xmlError* error) {
#else
void collectStructured(void* ctx, xmlError* error) {
#endif
    if (error && error->message) static_cast<ErrorLog*>(ctx)->text += error->message;
}

// Empty when `text` is a valid document of `format`; else what is wrong.
std::string validationErrors(const std::string& text, ZnFomFormat format) {
    XmlDocPtr doc(xmlReadMemory(text.data(), static_cast<int>(text.size()), "written.xml", nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!doc) return "not well-formed XML";
    xmlNode* root = xmlDocGetRootElement(doc.get());
    if (!root || !xmlStrEqual(root->name, BAD_CAST "objectModel")) return "root is not objectModel";
    ErrorLog log;
    if (format == ZnFomFormat::Fdd2000) {
        xmlDtd* named = doc->intSubset;
        if (!named || !xmlStrEqual(named->name, BAD_CAST "objectModel") ||
            !xmlStrEqual(named->SystemID, BAD_CAST "HLA.dtd"))
            return "no document type objectModel SYSTEM \"HLA.dtd\"";
        const PxsEmbeddedFile* file = pxsFindEmbeddedFile("HLA.dtd");
        if (!file) return "no embedded HLA.dtd";
        xmlParserInputBuffer* input =
            xmlParserInputBufferCreateMem(reinterpret_cast<const char*>(file->data),
                                          static_cast<int>(file->size), XML_CHAR_ENCODING_NONE);
        XmlDtdPtr dtd(xmlIOParseDTD(nullptr, input, XML_CHAR_ENCODING_NONE));
        if (!dtd) return "embedded DTD does not parse";
        XmlValidCtxtPtr ctxt(xmlNewValidCtxt());
        ctxt->userData = &log;
        ctxt->error = collect;
        ctxt->warning = collect;
        if (xmlValidateDtd(ctxt.get(), doc.get(), dtd.get()) != 1)
            return "DTD: " + (log.text.empty() ? std::string("invalid") : log.text);
        return "";
    }
    if (!root->ns ||
        !xmlStrEqual(root->ns->href, BAD_CAST "http://standards.ieee.org/IEEE1516-2010"))
        return "root is not in the 2010 namespace";
    XmlCharPtr location(xmlGetNsProp(root, BAD_CAST "schemaLocation",
                                     BAD_CAST "http://www.w3.org/2001/XMLSchema-instance"));
    if (!location ||
        std::string(reinterpret_cast<const char*>(location.get())) !=
            "http://standards.ieee.org/IEEE1516-2010 "
            "http://standards.ieee.org/downloads/1516/1516.2-2010/IEEE1516-DIF-2010.xsd")
        return "schemaLocation does not name the published schema";
    const PxsEmbeddedFile* file = pxsFindEmbeddedFile("IEEE1516-DIF-2010.xsd");
    if (!file) return "no embedded schema";
    XmlSchemaParserCtxtPtr parser(xmlSchemaNewMemParserCtxt(
        reinterpret_cast<const char*>(file->data), static_cast<int>(file->size)));
    XmlSchemaPtr schema(xmlSchemaParse(parser.get()));
    if (!schema) return "embedded schema does not parse";
    XmlSchemaValidCtxtPtr valid(xmlSchemaNewValidCtxt(schema.get()));
    xmlSchemaSetValidStructuredErrors(valid.get(), collectStructured, &log);
    if (xmlSchemaValidateDoc(valid.get(), doc.get()) != 0)
        return "schema: " + (log.text.empty() ? std::string("invalid") : log.text);
    return "";
}

// --- Comparing two models table by table

// The IEEE 1516 forms root classes at HLAobjectRoot / HLAinteractionRoot;
// an HLA 1.3 model's roots come back under those names.
std::string rooted(const ZnString& name, const char* hla13, const char* standard) {
    const std::string& n = name.std();
    size_t len = std::strlen(hla13);
    if (n.compare(0, len, hla13) == 0 && (n.size() == len || n[len] == '.'))
        return standard + n.substr(len);
    return n;
}
std::string objectName(const ZnString& n) {
    return rooted(n, "ObjectRoot", "HLAobjectRoot");
}
std::string interactionName(const ZnString& n) {
    return rooted(n, "InteractionRoot", "HLAinteractionRoot");
}

std::vector<std::string> texts(const std::vector<ZnString>& names) {
    std::vector<std::string> out;
    for (const ZnString& n : names) out.push_back(n.std());
    return out;
}

// What a member's transportation reads back as: the 2000 reader knows only
// the two standard names on a class or attribute, so a user transportation
// there comes back as none.
ZnTransportType expectedTransport(ZnTransportType code, ZnFomFormat format) {
    if (format == ZnFomFormat::Fdd2000 && code > ZnTransportReliable) return ZnTransportNone;
    return code;
}

template <class Item, class Key, class Text>
std::vector<std::string> itemTexts(const std::set<boost::shared_ptr<Item>>& items, Key key,
                                   Text text) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (const auto& item : items) rows.emplace_back(key(*item), text(*item));
    std::sort(rows.begin(), rows.end());
    std::vector<std::string> out;
    for (auto& row : rows) out.push_back(row.second);
    return out;
}

// Every record of table `a` has a record of the same key in `b` with the
// same `text`, and the tables have the same size.
template <class Table, class Key, class Text>
void expectSameRecords(const char* table, const Table& a, const Table& b, Key key, Text text) {
    SCOPED_TRACE(table);
    EXPECT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        const auto* other = b.find(key(a[i]));
        if (!other) {
            ADD_FAILURE() << "missing " << key(a[i]);
            continue;
        }
        EXPECT_EQ(text(a[i]), text(*other)) << key(a[i]);
    }
}

void expectSameModel(const ZnFom& a, const ZnFom& b, ZnFomFormat format) {
    const bool evolved = format == ZnFomFormat::Evolved2010;

    // Classes in the same order, each with the same members in order.
    ASSERT_EQ(a.objectClasses().size(), b.objectClasses().size());
    for (size_t i = 0; i < a.objectClasses().size(); ++i) {
        const ZnFom::ObjectClass& x = a.objectClasses()[i];
        const ZnFom::ObjectClass& y = b.objectClasses()[i];
        SCOPED_TRACE("object class " + x.name.std());
        EXPECT_EQ(objectName(x.name), y.name.std());
        EXPECT_EQ(objectName(x.parent), y.parent.std());
        ASSERT_EQ(x.attributes.size(), y.attributes.size());
        for (size_t j = 0; j < x.attributes.size(); ++j) {
            const ZnFom::Attribute& p = x.attributes[j];
            const ZnFom::Attribute& q = y.attributes[j];
            SCOPED_TRACE("attribute " + p.name.std());
            EXPECT_EQ(p.name, q.name);
            EXPECT_EQ(expectedTransport(p.transport, format), q.transport);
            EXPECT_EQ(p.order, q.order);
            EXPECT_EQ(p.sharing, q.sharing);
            EXPECT_EQ(p.updateType, q.updateType);
            EXPECT_EQ(p.updateCondition, q.updateCondition);
            EXPECT_EQ(p.ownership, q.ownership);
            EXPECT_EQ(p.semantics, q.semantics);
            EXPECT_EQ(texts(p.dimensions), texts(q.dimensions));
            // Neither form has HLA 1.3 routing spaces.
            EXPECT_TRUE(q.space.empty());
        }
    }
    ASSERT_EQ(a.interactionClasses().size(), b.interactionClasses().size());
    for (size_t i = 0; i < a.interactionClasses().size(); ++i) {
        const ZnFom::InteractionClass& x = a.interactionClasses()[i];
        const ZnFom::InteractionClass& y = b.interactionClasses()[i];
        SCOPED_TRACE("interaction class " + x.name.std());
        EXPECT_EQ(interactionName(x.name), y.name.std());
        EXPECT_EQ(interactionName(x.parent), y.parent.std());
        EXPECT_EQ(expectedTransport(x.transport, format), y.transport);
        EXPECT_EQ(x.order, y.order);
        EXPECT_EQ(texts(x.parameters), texts(y.parameters));
        EXPECT_EQ(texts(x.dimensions), texts(y.dimensions));
    }
    EXPECT_TRUE(b.spaces().empty());

    ASSERT_EQ(a.dimensions().size(), b.dimensions().size());
    for (size_t i = 0; i < a.dimensions().size(); ++i) {
        const ZnFom::Dimension& x = a.dimensions()[i];
        const ZnFom::Dimension& y = b.dimensions()[i];
        SCOPED_TRACE("dimension " + x.name.std());
        EXPECT_EQ(x.name, y.name);
        EXPECT_EQ(x.upperBound, y.upperBound);
        EXPECT_EQ(x.excluded, y.excluded);
        if (!x.excluded) {
            EXPECT_EQ(x.lower, y.lower);
            EXPECT_EQ(x.upper, y.upper);
        }
        EXPECT_EQ(x.normalization, y.normalization);
    }

    // Transportations in the same order, so user codes stay the same. Each
    // form has one free text, the other form's text fills in for it.
    ASSERT_EQ(a.transportations().size(), b.transportations().size());
    for (size_t i = 0; i < a.transportations().size(); ++i) {
        const ZnTransportationType& x = a.transportations()[i];
        const ZnTransportationType& y = b.transportations()[i];
        EXPECT_EQ(x.name, y.name);
        EXPECT_EQ(x.reliable, y.reliable);
        EXPECT_EQ(a.transportTypeOf(&x), b.transportTypeOf(&y));
        const ZnString& mine = evolved ? x.semantics : x.description;
        const ZnString& theirs = evolved ? x.description : x.semantics;
        EXPECT_EQ(mine.empty() ? theirs : mine, evolved ? y.semantics : y.description);
    }

    auto nameOf = [](const auto& r) { return r.name; };
    expectSameRecords("time", a.times(), b.times(), nameOf, [](const ZnTimeType& r) {
        return r.dataType.std() + "|" + r.semantics.std();
    });
    expectSameRecords(
        "tags", a.userSuppliedTags(), b.userSuppliedTags(), nameOf,
        [](const ZnUserSuppliedTagsType& r) { return r.dataType.std() + "|" + r.semantics.std(); });
    expectSameRecords(
        "synchronization points", a.synchronizationPoints(), b.synchronizationPoints(),
        [](const ZnSynchronizationPointsType& r) { return r.label; },
        [](const ZnSynchronizationPointsType& r) {
            return r.dataType.std() + "|" + std::to_string(r.capability) + "|" + r.semantics.std();
        });
    expectSameRecords("notes", a.notes(), b.notes(), nameOf,
                      [](const ZnNotesType& r) { return r.semantics.std(); });
    // The 2000 form has no update rates.
    if (evolved)
        expectSameRecords("update rates", a.updateRates(), b.updateRates(), nameOf,
                          [](const ZnUpdateRateType& r) {
                              std::ostringstream s;
                              s.precision(9);
                              s << r.rate << "|" << r.semantics;
                              return s.str();
                          });
    else
        EXPECT_TRUE(b.updateRates().empty());

    expectSameRecords("basic data", a.basicDataRepresentations(), b.basicDataRepresentations(),
                      nameOf, [](const ZnBasicDataRepresentationType& r) {
                          return std::to_string(r.size) + "|" + r.interpretation.std() + "|" +
                                 std::to_string(r.endian) + "|" + r.encoding.std();
                      });
    expectSameRecords("simple data", a.simpleDatatypes(), b.simpleDatatypes(), nameOf,
                      [](const ZnSimpleDatatypeType& r) {
                          return r.representation.std() + "|" + r.units.std() + "|" +
                                 r.resolution.std() + "|" + r.accuracy.std() + "|" +
                                 r.semantics.std();
                      });
    expectSameRecords("array data", a.arrayDatatypes(), b.arrayDatatypes(), nameOf,
                      [](const ZnArrayDatatypeType& r) {
                          return r.dataType.std() + "|" + r.cardinality.std() + "|" +
                                 r.encoding.std() + "|" + r.semantics.std();
                      });
    // Item sets carry no order, so they are compared sorted.
    expectSameRecords(
        "enumerated data", a.enumeratedDatatypes(), b.enumeratedDatatypes(), nameOf,
        [](const ZnEnumeratedDatatypeType& r) {
            std::string s = r.representation.std() + "|" + r.semantics.std();
            for (const std::string& item : itemTexts(
                     r.enumerators, [](const ZnEnumeratorType& e) { return e.name.std(); },
                     [](const ZnEnumeratorType& e) { return e.name.std() + "=" + e.values.std(); }))
                s += "|" + item;
            return s;
        });
    expectSameRecords("fixed record data", a.fixedRecordDatatypes(), b.fixedRecordDatatypes(),
                      nameOf, [](const ZnFixedRecordDatatypeType& r) {
                          std::string s = r.encoding.std() + "|" + r.semantics.std();
                          for (const std::string& item : itemTexts(
                                   r.fields, [](const ZnFieldType& f) { return f.name.std(); },
                                   [](const ZnFieldType& f) {
                                       return f.name.std() + ":" + f.dataType.std() + ":" +
                                              f.semantics.std();
                                   }))
                              s += "|" + item;
                          return s;
                      });
    expectSameRecords(
        "variant record data", a.variantRecordDatatypes(), b.variantRecordDatatypes(), nameOf,
        [](const ZnVariantRecordDatatypeType& r) {
            std::string s = r.discriminant.std() + "|" + r.dataType.std() + "|" + r.encoding.std() +
                            "|" + r.semantics.std();
            for (const std::string& item : itemTexts(
                     r.alternatives, [](const ZnAlternativeType& x) { return x.enumerator.std(); },
                     [](const ZnAlternativeType& x) {
                         return x.enumerator.std() + ":" + x.name.std() + ":" + x.dataType.std() +
                                ":" + x.semantics.std();
                     }))
                s += "|" + item;
            return s;
        });

    // Switches: the values of those the form has; a switch the first model's
    // table held is in the second's too. Only 2010 has the resign action.
    static const char* const kFdd[] = {"autoProvide",
                                       "conveyRegionDesignatorSets",
                                       "attributeScopeAdvisory",
                                       "attributeRelevanceAdvisory",
                                       "objectClassRelevanceAdvisory",
                                       "interactionRelevanceAdvisory",
                                       "serviceReporting"};
    static const char* const kEvolvedOnly[] = {"conveyProducingFederate", "exceptionReporting",
                                               "delaySubscriptionEvaluation"};
    std::vector<const char*> carried(std::begin(kFdd), std::end(kFdd));
    if (evolved) carried.insert(carried.end(), std::begin(kEvolvedOnly), std::end(kEvolvedOnly));
    for (const char* name : carried) {
        SCOPED_TRACE(name);
        const ZnString key(name);
        if (a.hasSwitch(key)) {
            EXPECT_TRUE(b.hasSwitch(key));
        }
    }
    EXPECT_EQ(a.autoProvide(), b.autoProvide());
    EXPECT_EQ(a.conveyRegionDesignatorSets(), b.conveyRegionDesignatorSets());
    EXPECT_EQ(a.attributeScopeAdvisory(), b.attributeScopeAdvisory());
    EXPECT_EQ(a.attributeRelevanceAdvisory(), b.attributeRelevanceAdvisory());
    EXPECT_EQ(a.objectClassRelevanceAdvisory(), b.objectClassRelevanceAdvisory());
    EXPECT_EQ(a.interactionRelevanceAdvisory(), b.interactionRelevanceAdvisory());
    EXPECT_EQ(a.serviceReporting(), b.serviceReporting());
    if (evolved) {
        EXPECT_EQ(a.conveyProducingFederate(), b.conveyProducingFederate());
        EXPECT_EQ(a.exceptionReporting(), b.exceptionReporting());
        EXPECT_EQ(a.delaySubscriptionEvaluation(), b.delaySubscriptionEvaluation());
        EXPECT_EQ(a.automaticResignAction(), b.automaticResignAction());
    }

    // A 2010 document is one module: the model's, or a named stand-in. The
    // 2000 form has no module identification.
    if (evolved) {
        ASSERT_EQ(b.modules().size(), 1u);
        if (a.modules().size() == 1) {
            EXPECT_EQ(a.modules()[0].name, b.modules()[0].name);
            EXPECT_EQ(texts(a.modules()[0].dependencies), texts(b.modules()[0].dependencies));
        } else if (a.modules().empty()) {
            EXPECT_EQ(b.modules()[0].name, "Object model");
            EXPECT_TRUE(b.modules()[0].dependencies.empty());
        }
    } else {
        EXPECT_TRUE(b.modules().empty());
    }
}

// Writes, validates, reads back and compares; then checks that a model read
// from the writer's own output is written to the same text it came from, so
// output is deterministic and reader and writer agree on every spelling.
void expectRoundTrip(const ZnFom& fom, ZnFomFormat format) {
    SCOPED_TRACE(formName(format));
    bool ok = false;
    std::string error;
    std::string text = writeText(fom, format, &ok, &error);
    ASSERT_TRUE(ok) << error;
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(validationErrors(text, format), "") << text;
    ZnFom back;
    std::string readError;
    ASSERT_EQ(readBack(text, format, &back, &readError), ZnFedReadSuccess) << readError << "\n"
                                                                           << text;
    expectSameModel(fom, back, format);
    // What the first write filled in or left out is settled by the second:
    // from there on writing and reading change nothing.
    std::string again = writeText(back, format, &ok, &error);
    ASSERT_TRUE(ok) << error;
    ZnFom settled;
    ASSERT_EQ(readBack(again, format, &settled, &readError), ZnFedReadSuccess) << readError;
    EXPECT_EQ(writeText(settled, format, &ok, &error), again);
}

class FomWriterModels : public ::testing::TestWithParam<const char*> {};

TEST_P(FomWriterModels, BothFormsValidateAndReadBackAsTheSameModel) {
    ZnFom fom;
    std::string error;
    ASSERT_EQ(readModel(GetParam(), &fom, &error), ZnFedReadSuccess) << error;
    ASSERT_FALSE(fom.objectClasses().empty());
    expectRoundTrip(fom, ZnFomFormat::Evolved2010);
    expectRoundTrip(fom, ZnFomFormat::Fdd2000);
}

INSTANTIATE_TEST_SUITE_P(AllModels, FomWriterModels,
                         ::testing::Values("harbor.fdd", "harbor.fed", "harborCargo.xml",
                                           "harborEvolved.xml", "harborPilots.xml",
                                           "HLAstandardMIM.xml"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             name.erase(std::remove_if(name.begin(), name.end(),
                                                       [](char c) { return !std::isalnum(c); }),
                                        name.end());
                             return name;
                         });

// --- A generated model

// A small model built through the target interface, touching every table,
// whose names and texts are ones an XML writer must escape or encode.
void fillAwkwardModel(ZnFom& fom, const std::string& name, const std::string& text) {
    fom.setModuleName(name.c_str());
    fom.addDimension("Höhe", 100, 2, 9, false, nullptr);
    ZnString linear(text);
    fom.addDimension("Tiefe", 50, 0, 1, true, &linear);
    auto* radio = new ZnTransportationType;
    radio->name = "FunkReliable";
    radio->reliable = true;
    radio->description = text.c_str();
    fom.addTransportation(radio);
    fom.addObjectClass("HLAobjectRoot", nullptr);
    fom.addObjectClass("HLAobjectRoot.Fähre", "HLAobjectRoot");
    fom.addObjectClass("HLAobjectRoot.Fähre.東京丸", "HLAobjectRoot.Fähre");
    ZnString cond(text), sem(text + " (semantics)");
    fom.addAttribute("HLAobjectRoot.Fähre", "Ladung_ß", static_cast<ZnTransportType>(2),
                     ZnOrderTimeStamp, ZnSharingPublish, ZnUpdateConditional, &cond,
                     ZnOwnershipDivestAcquire, &sem, nullptr);
    fom.addAttributeDimension("HLAobjectRoot.Fähre", "Ladung_ß", "Höhe");
    fom.addAttributeDimension("HLAobjectRoot.Fähre", "Ladung_ß", "Tiefe");
    fom.addAttribute("HLAobjectRoot.Fähre.東京丸", "Kurs", ZnTransportBestEffort, ZnOrderReceive,
                     ZnSharingNeither, ZnUpdateStatic, nullptr, ZnOwnershipAcquire, nullptr,
                     nullptr);
    fom.addInteractionClass("HLAinteractionRoot", nullptr, ZnTransportReliable, ZnOrderReceive,
                            nullptr);
    fom.addInteractionClass("HLAinteractionRoot.Grüß", "HLAinteractionRoot", ZnTransportNone,
                            ZnOrderNone, nullptr);
    fom.addParameter("HLAinteractionRoot.Grüß", "Wort");
    fom.addInteractionDimension("HLAinteractionRoot.Grüß", "Höhe");
    auto* note = new ZnNotesType;
    note->name = "Notiz1";
    note->semantics = text.c_str();
    fom.addNote(note);
    auto* sync = new ZnSynchronizationPointsType;
    sync->label = "Ankunft";
    sync->capability = 3;
    sync->semantics = text.c_str();
    fom.addSynchronizationPoint(sync);
    auto* tag = new ZnUserSuppliedTagsType;
    tag->name = "sendReceiveTag";
    tag->dataType = "Zeichen";
    tag->semantics = text.c_str();
    fom.addUserSuppliedTag(tag);
    auto* basic = new ZnBasicDataRepresentationType;
    basic->name = "Oktett";
    basic->size = 8;
    basic->interpretation = text.c_str();
    basic->endian = 2;
    fom.addBasicDataRepresentation(basic);
    auto* enumerated = new ZnEnumeratedDatatypeType;
    enumerated->name = "Farbe";
    enumerated->representation = "Oktett";
    enumerated->semantics = text.c_str();
    for (const char* e : {"Grün", "Blau", "Rot"}) {
        boost::shared_ptr<ZnEnumeratorType> item(new ZnEnumeratorType);
        item->name = e;
        item->values = std::to_string(std::strlen(e)).c_str();
        enumerated->enumerators.insert(item);
    }
    fom.addEnumeratedDatatype(enumerated);
    auto* rate = new ZnUpdateRateType;
    rate->name = "Selten";
    rate->rate = 0.1f;  // no short binary fraction: its spelling must still read back exactly
    rate->semantics = text.c_str();
    fom.addUpdateRate(rate);
    fom.setSwitch("autoProvide", false);
    fom.setAutoProvide(false);
    fom.setAutomaticResignAction(4);
}

TEST(FomWriterText, EscapedAndNonAsciiTextSurvivesBothForms) {
    // Markup characters, both quotes, a CDATA end, blanks that attribute
    // normalisation would eat, and text outside Latin-1.
    const std::string text = "a < b && \"c\" > 'd' ]]> tab\there\nnew line Ærø — 東京";
    ZnFom fom;
    fillAwkwardModel(fom, "Hafen <&> \"Ost\"", text);
    expectRoundTrip(fom, ZnFomFormat::Evolved2010);
    expectRoundTrip(fom, ZnFomFormat::Fdd2000);

    bool ok = false;
    std::string error;
    std::string written = writeText(fom, ZnFomFormat::Evolved2010, &ok, &error);
    ASSERT_TRUE(ok) << error;
    // Enumerators come out by name, whatever order the set holds them in.
    size_t blau = written.find("<name>Blau</name>");
    size_t gruen = written.find("<name>Grün</name>");
    size_t rot = written.find("<name>Rot</name>");
    ASSERT_NE(blau, std::string::npos);
    EXPECT_LT(blau, gruen);
    EXPECT_LT(gruen, rot);
}

// --- What a form cannot express

struct Refusal {
    const char* label;
    std::function<void(ZnFom&)> spoil;
    bool evolvedFails;
    bool fddFails;
    const char* mentioned;  // part of the message in either form
};

TEST(FomWriterRefusals, UnspellableValuesFailWithoutWritingAnything) {
    const std::vector<Refusal> cases = {
        {"attribute name with a blank",
         [](ZnFom& f) {
             f.addAttribute("HLAobjectRoot.Fähre", "Fore Deck", ZnTransportNone, ZnOrderNone,
                            ZnSharingPublishSubscribe, ZnUpdateNA, nullptr, ZnOwnershipNoTransfer,
                            nullptr, nullptr);
         },
         true, true, "Fore Deck"},
        {"class name with markup",
         [](ZnFom& f) { f.addObjectClass("HLAobjectRoot.A<B", "HLAobjectRoot"); }, true, true,
         "A<B"},
        // A name token may start with a digit, an NCName may not.
        {"class name starting with a digit",
         [](ZnFom& f) { f.addObjectClass("HLAobjectRoot.3rdClass", "HLAobjectRoot"); }, true, false,
         "3rdClass"},
        {"control character in semantics",
         [](ZnFom& f) {
             auto* note = new ZnNotesType;
             note->name = "Bell";
             note->semantics = "ring \x07";
             f.addNote(note);
         },
         true, true, "Note Bell"},
        {"text that is not UTF-8",
         [](ZnFom& f) {
             auto* note = new ZnNotesType;
             note->name = "Latin1";
             note->semantics = "caf\xe9";
             f.addNote(note);
         },
         true, true, "UTF-8"},
        // The 2000 reader takes reliability from the name alone.
        {"reliable transportation without the word",
         [](ZnFom& f) {
             auto* t = new ZnTransportationType;
             t->name = "Courier";
             t->reliable = true;
             f.addTransportation(t);
         },
         false, true, "Courier"},
        {"tag the forms do not list",
         [](ZnFom& f) {
             auto* tag = new ZnUserSuppliedTagsType;
             tag->name = "comment";
             tag->dataType = "HLAASCIIstring";
             f.addUserSuppliedTag(tag);
         },
         true, true, "comment"},
        {"capability the reader could not name",
         [](ZnFom& f) {
             auto* sync = new ZnSynchronizationPointsType;
             sync->label = "Odd";
             sync->capability = 5;
             f.addSynchronizationPoint(sync);
         },
         true, true, "Odd"},
        {"transportation code nothing declares",
         [](ZnFom& f) {
             f.addAttribute("HLAobjectRoot.Fähre", "Lost", static_cast<ZnTransportType>(9),
                            ZnOrderNone, ZnSharingPublishSubscribe, ZnUpdateNA, nullptr,
                            ZnOwnershipNoTransfer, nullptr, nullptr);
         },
         true, true, "code 9"},
        // The DTD wants at least one enumerator; the 2010 schema does not.
        {"enumerated type without enumerators",
         [](ZnFom& f) {
             auto* e = new ZnEnumeratedDatatypeType;
             e->name = "Empty";
             f.addEnumeratedDatatype(e);
         },
         false, true, "Empty"},
        {"HLA Evolved reader's unknown sharing",
         [](ZnFom& f) {
             f.addAttribute("HLAobjectRoot.Fähre", "Shared", ZnTransportNone, ZnOrderNone,
                            ZnSharingInvalid, ZnUpdateNA, nullptr, ZnOwnershipNoTransfer, nullptr,
                            nullptr);
         },
         true, true, "sharing code 4"},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.label);
        ZnFom fom;
        fillAwkwardModel(fom, "Refusals", "text");
        c.spoil(fom);
        for (ZnFomFormat format : {ZnFomFormat::Evolved2010, ZnFomFormat::Fdd2000}) {
            SCOPED_TRACE(formName(format));
            const bool fails = format == ZnFomFormat::Evolved2010 ? c.evolvedFails : c.fddFails;
            bool ok = true;
            std::string error;
            std::string text = writeText(fom, format, &ok, &error);
            EXPECT_EQ(ok, !fails) << error;
            if (fails) {
                EXPECT_TRUE(text.empty()) << text;
                EXPECT_NE(error.find(c.mentioned), std::string::npos) << error;
            } else {
                EXPECT_EQ(validationErrors(text, format), "");
            }
        }
    }
}

// A root the 1516 forms cannot name is refused rather than renamed.
TEST(FomWriterRefusals, ForeignClassRootIsRefused) {
    ZnFom fom;
    fom.addObjectClass("Root", nullptr);
    std::ostringstream out;
    std::string error;
    Quiet quiet;
    EXPECT_FALSE(ZnWriteFom(fom, ZnFomFormat::Evolved2010, out, &error));
    EXPECT_NE(error.find("Object class root Root"), std::string::npos) << error;
    EXPECT_TRUE(out.str().empty());
}

// --- Tables a form has no place for

TEST(FomWriterOmissions, LeftOutTablesAreReportedOnWarn) {
    ZnFom evolved;
    std::string error;
    ASSERT_EQ(readModel("harborEvolved.xml", &evolved, &error), ZnFedReadSuccess) << error;
    std::string warned;
    {
        Capture capture(ZnWarn, 1);
        std::ostringstream out;
        ASSERT_TRUE(ZnWriteFom(evolved, ZnFomFormat::Fdd2000, out, &error)) << error;
        warned = capture.text();
    }
    // harborEvolved.xml has two update rates, a dependency on the MIM and
    // switches the DTD lacks (exceptionReporting, resign action DeleteObjects).
    EXPECT_NE(warned.find("2 update rates"), std::string::npos) << warned;
    EXPECT_NE(warned.find("1 module dependencies"), std::string::npos) << warned;
    EXPECT_NE(warned.find("switch exceptionReporting"), std::string::npos) << warned;
    EXPECT_NE(warned.find("switch automaticResignAction"), std::string::npos) << warned;
    {
        // The 2010 form has a place for all of it.
        Capture capture(ZnWarn, 1);
        std::ostringstream out;
        ASSERT_TRUE(ZnWriteFom(evolved, ZnFomFormat::Evolved2010, out, &error)) << error;
        EXPECT_EQ(capture.text(), "");
    }

    ZnFom hla13;
    ASSERT_EQ(readModel("harbor.fed", &hla13, &error), ZnFedReadSuccess) << error;
    Capture capture(ZnWarn, 1);
    std::ostringstream out;
    ASSERT_TRUE(ZnWriteFom(hla13, ZnFomFormat::Evolved2010, out, &error)) << error;
    // Two spaces; Position and the Berth interaction are placed in Basin.
    EXPECT_NE(capture.text().find("2 routing spaces (2 members placed in them)"), std::string::npos)
        << capture.text();
}

// Modules merged into one model become one module that depends on what
// none of them supplies.
TEST(FomWriterModules, MergedModulesBecomeOneModule) {
    ZnFom fom;
    std::string error;
    ASSERT_EQ(readModel("harborEvolved.xml", &fom, &error), ZnFedReadSuccess) << error;
    ASSERT_EQ(readModel("harborCargo.xml", &fom, &error), ZnFedReadSuccess) << error;
    ASSERT_EQ(fom.modules().size(), 2u);
    bool ok = false;
    std::string text = writeText(fom, ZnFomFormat::Evolved2010, &ok, &error);
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(validationErrors(text, ZnFomFormat::Evolved2010), "");
    ZnFom back;
    ASSERT_EQ(readBack(text, ZnFomFormat::Evolved2010, &back, &error), ZnFedReadSuccess) << error;
    ASSERT_EQ(back.modules().size(), 1u);
    EXPECT_EQ(back.modules()[0].name, "Harbor Operations, Harbor Cargo");
    // Cargo's dependency on Harbor Operations is inside the document now.
    EXPECT_EQ(texts(back.modules()[0].dependencies), texts(fom.modules()[0].dependencies));
    EXPECT_NE(back.objectClass("HLAobjectRoot.Vessel.Freighter"), nullptr);
}

// What only a merged model keeps (member data types, class sharing and
// semantics), one line per item, for comparing two models.
std::vector<std::string> mergedDetails(const ZnFomMerge& fom) {
    std::vector<std::string> out;
    auto type = [](const ZnString* t) { return t ? t->std() : std::string("-"); };
    for (const ZnFom::ObjectClass& c : fom.objectClasses()) {
        out.push_back("o " + c.name.std() + " " + std::to_string(fom.classSharing(c.name, false)) +
                      " " + fom.classSemantics(c.name, false).std());
        for (const ZnFom::Attribute& a : c.attributes)
            out.push_back("  " + a.name.std() + " " + type(fom.attributeDataTypeOf(c.name, a.name)));
    }
    for (const ZnFom::InteractionClass& c : fom.interactionClasses()) {
        out.push_back("i " + c.name.std() + " " + std::to_string(fom.classSharing(c.name, true)) +
                      " " + fom.classSemantics(c.name, true).std());
        for (const ZnString& p : c.parameters)
            out.push_back("  " + p.std() + " " + type(fom.parameterDataTypeOf(c.name, p)));
    }
    return out;
}

TEST(FomWriterMerged, MemberDataTypesAndClassDetailsSurviveBothForms) {
    for (const char* name : {"HLAstandardMIM.xml", "harborEvolved.xml", "harbor.fdd"}) {
        SCOPED_TRACE(name);
        ZnFomMerge fom;
        std::string error;
        ASSERT_EQ(readModel(name, &fom, &error), ZnFedReadSuccess) << error;
        const std::vector<std::string> details = mergedDetails(fom);
        ASSERT_NE(std::find_if(details.begin(), details.end(),
                               [](const std::string& l) {
                                   return l[0] == ' ' && l.compare(l.size() - 2, 2, " -") != 0;
                               }),
                  details.end())
            << "the model names no member data type";
        for (ZnFomFormat format : {ZnFomFormat::Evolved2010, ZnFomFormat::Fdd2000}) {
            SCOPED_TRACE(formName(format));
            bool ok = false;
            std::string text = writeText(fom, format, &ok, &error);
            ASSERT_TRUE(ok) << error;
            EXPECT_EQ(validationErrors(text, format), "");
            ZnFomMerge back;
            ASSERT_EQ(readBack(text, format, &back, &error), ZnFedReadSuccess) << error;
            EXPECT_TRUE(mergedDetails(back) == details);
        }
    }
    // A plain model has none of it to write.
    ZnFom plain;
    std::string error;
    ASSERT_EQ(readModel("harborEvolved.xml", &plain, &error), ZnFedReadSuccess);
    bool ok = false;
    std::string text = writeText(plain, ZnFomFormat::Evolved2010, &ok, &error);
    EXPECT_EQ(text.find("<dataType>Coordinates</dataType>"), std::string::npos);
}

// --- Files

TEST(FomWriterFile, WritesTheStreamTextAndKeepsTheOldFileOnFailure) {
    ZnFom fom;
    std::string error;
    ASSERT_EQ(readModel("harbor.fdd", &fom, &error), ZnFedReadSuccess) << error;
    TempDir dir;
    const std::string path = dir.file("out.fdd");
    Quiet quiet;
    ASSERT_TRUE(ZnWriteFomFile(fom, ZnFomFormat::Fdd2000, path, &error)) << error;
    std::ostringstream expected;
    ASSERT_TRUE(ZnWriteFom(fom, ZnFomFormat::Fdd2000, expected, &error));
    EXPECT_EQ(fomtest::slurp(path), expected.str());

    // A failing write leaves the earlier document and no temporary file.
    fom.addObjectClass("HLAobjectRoot.Bad Name", "HLAobjectRoot");
    EXPECT_FALSE(ZnWriteFomFile(fom, ZnFomFormat::Fdd2000, path, &error));
    EXPECT_NE(error.find("Bad Name"), std::string::npos) << error;
    EXPECT_EQ(fomtest::slurp(path), expected.str());
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    EXPECT_FALSE(ZnWriteFomFile(fom, ZnFomFormat::Fdd2000, dir.file("no/such/dir/x.fdd"), &error));
    EXPECT_NE(error.find("Cannot create"), std::string::npos) << error;
}

}  // namespace
