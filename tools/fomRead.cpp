// fomRead.cpp -- reading and ordering the files named on the pxs-fom
// command line. Every problem goes to standard error; the model only ever
// sees what a reader delivered.

#include "fomRead.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>

#include <libxml/xmlreader.h>

#include <util/xmlPtr.h>
#include <util/znOpenFile.h>

namespace fomtool {

ZnFedReader* Readers::forType(ZnFomType type) {
    if (type < ZnFomHla13 || type > ZnFomEvolved) return nullptr;
    std::unique_ptr<ZnFedReader>& reader = readers_[type];
    if (!reader) {
        reader.reset(ZnFedReaderFactory::makeFedReader(type));
        // The HLA Evolved reader validates through its own switch.
        if (auto* evolved = dynamic_cast<ZnFedReader1516e*>(reader.get()))
            if (options_.validate) evolved->setSchemaValidationEnabled(true);
    }
    return reader.get();
}

namespace {

constexpr const char* kMimName = "HLAstandardMIM.xml";
constexpr const char* kEvolvedNamespace = "http://standards.ieee.org/IEEE1516-2010";

bool isStdin(const std::string& name) {
    return name == "-";
}

// Standard input can be read once only, but --sort looks at every file up
// to three times: the bytes are kept for the run.
const std::string& stdinBytes() {
    static const std::string bytes = [] {
        std::ostringstream text;
        text << std::cin.rdbuf();
        return text.str();
    }();
    return bytes;
}

// Standard input goes through a temporary file: the readers take a FILE*
// and rewind it, which a pipe cannot do.
Input openStdin() {
    Input in;
    in.path = ZnFilename("-");
    const std::string& bytes = stdinBytes();
    in.file.reset(std::tmpfile());
    if (!in.file || std::fwrite(bytes.data(), 1, bytes.size(), in.file.get()) != bytes.size()) {
        in.file.reset();
        in.problem = "cannot keep standard input in a temporary file";
        return in;
    }
    std::rewind(in.file.get());
    return in;
}

// The extension of the last path component, lower case; "" without one.
std::string extensionOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

bool knownExtension(const std::string& ext) {
    return ext == "xml" || ext == "fdd" || ext == "pxs" || ext == "fed" || ext == "omt";
}

ZnFomType formatOfFile(FILE* file) {
    char* raw = nullptr;
    unsigned int size = 0;
    if (!ZnFedReader::readFileIntoBuffer(file, &raw, &size)) return ZnFomUnknown;
    std::unique_ptr<char[]> bytes(raw);
    std::rewind(file);
    return formatByContent(bytes.get(), size);
}

const char* formatFailure(ZnFomType type) {
    switch (type) {
        case ZnFomHla13:
            return "cannot read HLA 1.3 FED file";
        case ZnFom1516:
            return "cannot read IEEE 1516-2000 FDD file";
        default:
            return "cannot read HLA Evolved FOM module";
    }
}

}  // namespace

ZnFomType formatByContent(const char* bytes, size_t length) {
    size_t i = 0;
    if (length >= 3 && std::memcmp(bytes, "\xEF\xBB\xBF", 3) == 0) i = 3;
    while (i < length) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == ';') {
            while (i < length && bytes[i] != '\n') ++i;
        } else if (std::isspace(c)) {
            ++i;
        } else {
            break;
        }
    }
    if (i >= length) return ZnFomUnknown;
    if (bytes[i] == '(') return ZnFomHla13;
    if (bytes[i] != '<' || length > static_cast<size_t>(INT_MAX)) return ZnFomUnknown;
    // The text reader stops at the root element: nothing after it is parsed,
    // nothing is fetched, and a broken document is left to the reader.
    XmlTextReaderPtr xml(
        xmlReaderForMemory(bytes, static_cast<int>(length), nullptr, nullptr,
                           XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!xml) return ZnFomUnknown;
    while (xmlTextReaderRead(xml.get()) == 1) {
        if (xmlTextReaderNodeType(xml.get()) != XML_READER_TYPE_ELEMENT) continue;
        const xmlChar* local = xmlTextReaderConstLocalName(xml.get());
        const xmlChar* uri = xmlTextReaderConstNamespaceUri(xml.get());
        if (!local || std::strcmp(reinterpret_cast<const char*>(local), "objectModel") != 0)
            return ZnFomUnknown;
        bool evolved =
            uri && std::strcmp(reinterpret_cast<const char*>(uri), kEvolvedNamespace) == 0;
        return evolved ? ZnFomEvolved : ZnFom1516;
    }
    return ZnFomUnknown;
}

// Anything but a regular file is refused before a reader sees it: a
// directory or FIFO would make the readers fail obscurely or block.
Input openInput(const std::string& name) {
    if (isStdin(name)) return openStdin();
    Input in;
    in.path = ZnFilename(name.c_str());
    in.path.searchAlternatePath(std::getenv("RTI_CONFIG"));
    std::string reason;
    in.file.reset(ZnOpenRegularFile(in.path.c_str(), "rb", &reason));
    if (!in.file) {
        if (name == kMimName && reason == "no such file")
            in.builtInMim = true;
        else
            in.problem = reason.empty() ? "cannot open" : reason;
    }
    return in;
}

// A known extension decides as it always has. Otherwise the content
// decides; an unknown extension whose content says nothing still falls
// back to HLA 1.3 (with the library's warning), as it did before content
// was looked at.
ZnFomType formatOf(const std::string& name, const Input& in) {
    if (in.builtInMim) return ZnFomEvolved;
    std::string ext = isStdin(name) ? "" : extensionOf(in.path.c_str());
    if (knownExtension(ext)) return ZnFedReader::checkFomType(in.path.c_str(), in.file.get());
    ZnFomType type = formatOfFile(in.file.get());
    if (type == ZnFomUnknown && !ext.empty())
        type = ZnFedReader::checkFomType(in.path.c_str(), in.file.get());
    return type;
}

namespace {

// The module name and dependencies of an HLA Evolved file, as the reader
// delivers them; the file name stands in for a module without a name.
ZnFomSorter::FomDeps moduleOf(const std::string& name) {
    ZnFom probe;
    ZnFedReader1516e reader;
    Input in = openInput(name);
    if (in.file || in.builtInMim)
        reader.readFedFilePtr(in.file.get(), &probe, in.path, 0, false, false);
    if (probe.modules().empty() || probe.modules()[0].name.empty())
        return {ZnString(name.c_str()), {}};
    return {probe.modules()[0].name, probe.modules()[0].dependencies};
}

bool isEvolvedFile(const std::string& name) {
    Input in = openInput(name);
    if (!in.file && !in.builtInMim) return false;
    return formatOf(name, in) == ZnFomEvolved;
}

// What a document names to be validated against: its DOCTYPE's system
// identifier (an IEEE 1516-2000 file) or the path of its schemaLocation
// (an HLA Evolved module). Parsing stops at the root element.
struct ValidationReference {
    bool hasDoctype = false;
    std::string dtd;
    std::string schema;
};

ValidationReference validationReferenceOf(FILE* file) {
    ValidationReference found;
    char* raw = nullptr;
    unsigned int size = 0;
    if (!ZnFedReader::readFileIntoBuffer(file, &raw, &size)) return found;
    std::unique_ptr<char[]> bytes(raw);
    std::rewind(file);
    if (size > static_cast<unsigned int>(INT_MAX)) return found;
    XmlTextReaderPtr xml(xmlReaderForMemory(bytes.get(), static_cast<int>(size), nullptr, nullptr,
                                            XML_PARSE_NONET | XML_PARSE_NOERROR |
                                                XML_PARSE_NOWARNING));
    if (!xml) return found;
    while (xmlTextReaderRead(xml.get()) == 1) {
        int type = xmlTextReaderNodeType(xml.get());
        if (type == XML_READER_TYPE_DOCUMENT_TYPE) {
            found.hasDoctype = true;
            auto* dtd = reinterpret_cast<xmlDtd*>(xmlTextReaderCurrentNode(xml.get()));
            if (dtd && dtd->SystemID) found.dtd = reinterpret_cast<const char*>(dtd->SystemID);
        } else if (type == XML_READER_TYPE_ELEMENT) {
            XmlCharPtr location(xmlTextReaderGetAttributeNs(
                xml.get(), reinterpret_cast<const xmlChar*>("schemaLocation"),
                reinterpret_cast<const xmlChar*>("http://www.w3.org/2001/XMLSchema-instance")));
            if (location) {
                std::istringstream words(reinterpret_cast<const char*>(location.get()));
                for (std::string word; words >> word;) found.schema = word;
            }
            break;
        }
    }
    return found;
}

void warn(const std::string& name, const std::string& reason) {
    if (ZnNotifyLevel >= 1) std::cerr << "pxs-fom: " << shownName(name) << ": warning: " << reason << "\n";
}

// --validate on a file that names nothing to validate against would
// otherwise pass in silence, as if it had been checked.
void warnWhenNothingValidates(const std::string& name, Input& in, ZnFomType type) {
    if (!in.file || (type != ZnFom1516 && type != ZnFomEvolved)) return;
    ValidationReference named = validationReferenceOf(in.file.get());
    if (type == ZnFom1516) {
        if (named.dtd.empty()) {
            warn(name, named.hasDoctype ? "its DOCTYPE names no DTD file; nothing validated"
                                        : "no DOCTYPE names a DTD; nothing validated");
            return;
        }
        ZnValidationFile dtd = ZnFindValidationFile(named.dtd.c_str(), in.path.c_str());
        if (dtd.source == ZnValidationSource::Missing)
            warn(name, "DTD \"" + named.dtd + "\" not found (looked for " + dtd.path +
                           "); nothing validated");
    } else if (named.schema.empty()) {
        warn(name, "no xsi:schemaLocation names a schema; nothing validated");
    }
}

}  // namespace

std::string shownName(const std::string& name) {
    return isStdin(name) ? "<stdin>" : name;
}

void report(const std::string& name, const std::string& reason) {
    std::string text = reason;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    std::string where = shownName(name);
    static const std::string kNearLine = " near line ";
    size_t at = text.find(kNearLine);
    if (at != std::string::npos) {
        size_t digits = at + kNearLine.size(), end = digits;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
        if (end > digits) where += ":" + text.substr(digits, end - digits);
    }
    std::cerr << "pxs-fom: " << where << ": " << text << "\n";
}

ZnFedReadStatus readOne(const std::string& name, ZnFedTarget* target, Readers& readers,
                        const Options& options, std::string* failure) {
    Input in = openInput(name);
    if (!in.file && !in.builtInMim) {
        report(name, in.problem);
        return ZnFedReadNotOpened;
    }
    ZnFomType type = formatOf(name, in);
    ZnFedReader* reader = readers.forType(type);
    if (!reader) {
        report(name,
               "cannot tell the format (no file extension, and the content is neither "
               "an HLA 1.3 FED file nor an XML objectModel)");
        return ZnFedReadFailed;
    }
    if (options.validate) warnWhenNothingValidates(name, in, type);
    ZnFedReadStatus status = reader->readFedFilePtr(in.file.get(), target, in.path, options.strict,
                                                    options.validate, options.defaultSwitches);
    if (status != ZnFedReadSuccess) {
        std::string reason = reader->lastError().string();
        bool empty = reason.find_first_not_of(" \t\r\n") == std::string::npos;
        if (failure)
            *failure = empty ? formatFailure(type) : reason;
        else
            report(name, empty ? formatFailure(type) : reason);
    }
    return status;
}

// Files in reading order: the HLA Evolved modules ordered by their
// dependencies, then the other files as given (so that an HLA 1.3 file
// lands under the roots of the modules). Unknown dependencies and cycles
// are reported on stderr and do not stop the read.
std::vector<std::string> sortedFiles(const std::vector<std::string>& files) {
    std::vector<std::string> others, modules;
    for (const std::string& name : files) (isEvolvedFile(name) ? modules : others).push_back(name);
    std::unique_ptr<ZnFomSorter> sorter(ZnFomSorter::create());
    for (const std::string& name : modules) {
        ZnFomSorter::FomDeps module = moduleOf(name);
        sorter->insertFileToFomDepsPairMap(name.c_str(), module);
        sorter->insertFomToFileMap(module.first, name.c_str());
        sorter->allFomNames().push_back(module.first);
        for (const ZnString& d : module.second) sorter->allDependencies().push_back(d);
    }
    if (!sorter->isEachDependencyValid())
        for (const std::string& name : modules)
            for (const ZnString& d : sorter->atFileToFomDepsPairMap(name.c_str()).second)
                if (!sorter->fomToFileMap().count(d))
                    report(name, "no module given for the dependency \"" + d.string() + "\"");
    // Each module once, in the order given, so that independent modules keep it.
    for (const std::string& name : modules) {
        const ZnFomSorter::FomDeps& module = sorter->atFileToFomDepsPairMap(name.c_str());
        if (!sorter->fomToComplexMap().count(module.first)) sorter->mapFomDepComplexity(module);
    }
    std::vector<ZnString> sorted;
    sorter->sortFomFileNames(&sorted);
    std::vector<std::string> ordered;
    for (const ZnString& name : sorted) ordered.push_back(name.string());
    ordered.insert(ordered.end(), others.begin(), others.end());
    return ordered;
}

}  // namespace fomtool
