// pxsFomCheck.cpp -- validates object-model files against the standard
// copies the library embeds. libxml2 is set never to touch the network and
// never to substitute entities, so checking a file reads only that file.

#include "pxsFomCheck.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>

#include <libxml/parserInternals.h>

#include <pxs/pxs.h>
#include <util/xmlPtr.h>

#include "fomRead.h"

namespace check {
namespace {

#if LIBXML_VERSION >= 21200
using ErrorArg = const xmlError*;
#else
using ErrorArg = xmlError*;
#endif

// Collects libxml2's complaints about one file: each printed as
// "FILE:LINE: message" as it arrives.
class Complaints {
public:
    Complaints(std::ostream& out, std::string file) : out_(out), file_(std::move(file)) {}

    static void onError(void* self, ErrorArg error) {
        static_cast<Complaints*>(self)->add(error);
    }
    void add(ErrorArg error) {
        if (!error || error->level == XML_ERR_WARNING) return;
        std::string message = error->message ? error->message : "invalid\n";
        while (!message.empty() && message.back() == '\n') message.pop_back();
        out_ << file_ << ':' << error->line << ": " << message << '\n';
        ++count_;
    }
    // Adds a complaint of our own (no line known).
    void add(const std::string& message) {
        out_ << file_ << ": " << message << '\n';
        ++count_;
    }
    int count() const { return count_; }

private:
    std::ostream& out_;
    std::string file_;
    int count_ = 0;
};

// Routes every libxml2 error of this thread to `complaints` for the scope:
// DTD validity errors reach no other structured handler.
class RouteErrors {
public:
    explicit RouteErrors(Complaints& complaints) {
        xmlSetStructuredErrorFunc(&complaints, Complaints::onError);
    }
    ~RouteErrors() { xmlSetStructuredErrorFunc(nullptr, nullptr); }
    RouteErrors(const RouteErrors&) = delete;
    RouteErrors& operator=(const RouteErrors&) = delete;
};

const PxsEmbeddedFile& standardFile(const char* name) {
    const PxsEmbeddedFile* file = pxsFindEmbeddedFile(name);
    if (!file) {
        std::cerr << "pxs-fom: the library holds no " << name << "\n";
        std::exit(2);
    }
    return *file;
}

void validateDtd(xmlDoc* doc, Complaints& complaints) {
    const PxsEmbeddedFile& dtdFile = standardFile("HLA.dtd");
    // xmlIOParseDTD takes the input buffer over, freed or not.
    xmlParserInputBufferPtr input =
        xmlParserInputBufferCreateMem(reinterpret_cast<const char*>(dtdFile.data),
                                      static_cast<int>(dtdFile.size), XML_CHAR_ENCODING_NONE);
    XmlDtdPtr dtd(input ? xmlIOParseDTD(nullptr, input, XML_CHAR_ENCODING_NONE) : nullptr);
    XmlValidCtxtPtr valid(xmlNewValidCtxt());
    if (!dtd || !valid) {
        complaints.add("the embedded DTD could not be read");
        return;
    }
    if (xmlValidateDtd(valid.get(), doc, dtd.get()) != 1 && complaints.count() == 0)
        complaints.add("not valid against the IEEE 1516-2000 DTD");
}

void validateSchema(xmlDoc* doc, Complaints& complaints) {
    const PxsEmbeddedFile& xsd = standardFile("IEEE1516-DIF-2010.xsd");
    XmlSchemaParserCtxtPtr parser(xmlSchemaNewMemParserCtxt(
        reinterpret_cast<const char*>(xsd.data), static_cast<int>(xsd.size)));
    XmlSchemaPtr schema(parser ? xmlSchemaParse(parser.get()) : nullptr);
    XmlSchemaValidCtxtPtr valid(schema ? xmlSchemaNewValidCtxt(schema.get()) : nullptr);
    if (!valid) {
        complaints.add("the embedded DIF schema could not be read");
        return;
    }
    xmlSchemaSetValidStructuredErrors(valid.get(), Complaints::onError, &complaints);
    if (xmlSchemaValidateDoc(valid.get(), doc) != 0 && complaints.count() == 0)
        complaints.add("not valid against the IEEE 1516-2010 DIF schema");
}

// Parses `bytes` without fetching anything or substituting entities, and
// validates the document for `type`.
void checkXml(const char* bytes, size_t length, ZnFomType type, Complaints& complaints) {
    RouteErrors route(complaints);
    XmlParserCtxtPtr parser(xmlNewParserCtxt());
    XmlDocPtr doc(parser ? xmlCtxtReadMemory(parser.get(), bytes, static_cast<int>(length),
                                             nullptr, nullptr,
                                             XML_PARSE_NONET | XML_PARSE_BIG_LINES)
                         : nullptr);
    if (!doc) {
        if (complaints.count() == 0) complaints.add("not a well-formed XML document");
        return;
    }
    if (type == ZnFomEvolved)
        validateSchema(doc.get(), complaints);
    else
        validateDtd(doc.get(), complaints);
}

const char* standardName(ZnFomType type) {
    switch (type) {
        case ZnFomHla13: return "HLA 1.3 FED";
        case ZnFom1516: return "IEEE 1516-2000 DTD";
        case ZnFomUnknown: return "unknown format";
        default: return "IEEE 1516-2010 DIF schema";
    }
}

// Checks the bytes of one opened input against the standard of `type`.
void checkContent(const fomtool::Input& in, ZnFomType type, Complaints& complaints) {
    std::unique_ptr<char[]> owned;
    const char* bytes = nullptr;
    size_t length = 0;
    if (in.builtInMim) {
        const PxsEmbeddedFile& mim = standardFile("HLAstandardMIM.xml");
        bytes = reinterpret_cast<const char*>(mim.data);
        length = mim.size;
    } else {
        char* raw = nullptr;
        unsigned int size = 0;
        if (ZnFedReader::readFileIntoBuffer(in.file.get(), &raw, &size)) {
            owned.reset(raw);
            bytes = raw;
            length = size;
        }
    }
    if (type == ZnFomUnknown) {
        complaints.add("cannot tell the format (no file extension, and the content is neither "
                       "an HLA 1.3 FED file nor an XML objectModel)");
    } else if (!bytes) {
        complaints.add("the file could not be read");
    } else if (type == ZnFomHla13) {
        ZnPxsFedReader reader;
        if (reader.readFedFilePtr(in.file.get(), nullptr, in.path, 1, false, false) !=
            ZnFedReadSuccess)
            complaints.add(reader.lastError().empty() ? std::string("a form has the wrong length")
                                                      : reader.lastError().string());
    } else {
        checkXml(bytes, length, type, complaints);
    }
}

}  // namespace

bool checkFile(const std::string& name, std::ostream& out, std::ostream& err) {
    Complaints complaints(err, fomtool::shownName(name));
    fomtool::Input in = fomtool::openInput(name);
    if (!in.file && !in.builtInMim) {
        complaints.add(in.problem);
        return false;
    }
    ZnFomType type = fomtool::formatOf(name, in);
    checkContent(in, type, complaints);
    bool valid = complaints.count() == 0;
    out << fomtool::shownName(name) << ": " << (valid ? "valid" : "invalid") << " ("
        << standardName(type) << ")\n";
    return valid;
}

}  // namespace check
