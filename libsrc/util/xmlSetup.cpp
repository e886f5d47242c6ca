// xmlSetup.cpp -- one-time, thread-safe initialisation of libxml2, and the
// entity loader that keeps the library's parses to what they chose to load.

#include <util/xmlSetup.h>

#include <limits.h>
#include <stdlib.h>

#include <cstring>
#include <mutex>

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>

#include <util/znNotify.h>

namespace {

thread_local PxsXmlLoads* innermost = nullptr;

xmlExternalEntityLoader previousLoader = nullptr;

bool isNetworkAddress(const char* url) {
    return std::strstr(url, "://") && std::strncmp(url, "file://", 7) != 0;
}

std::string localPath(const char* url) {
    const char* path = std::strncmp(url, "file://", 7) == 0 ? url + 7 : url;
    // "file://localhost/x" and "file:///x" both name /x.
    if (std::strncmp(path, "localhost/", 10) == 0) path += 9;
    return path;
}

// Two names of one file compare equal; a name that resolves to nothing
// compares as written.
std::string canonical(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) return resolved;
    return path;
}

bool sameFile(const char* url, const std::string& file) {
    return !file.empty() && canonical(localPath(url)) == canonical(file);
}

// libxml2 resolves a DOCTYPE's relative system identifier against the
// document's address, so the request names the DTD with a directory in front.
bool namesDocumentDtd(const char* url, const char* dtd) {
    if (!dtd || !*dtd) return false;
    std::string request = localPath(url), named = localPath(dtd);
    if (request == named || sameFile(url, named)) return true;
    return request.size() > named.size() &&
           request.compare(request.size() - named.size(), named.size(), named) == 0 &&
           request[request.size() - named.size() - 1] == '/';
}

const char* documentDtdOf(xmlParserCtxtPtr ctxt) {
    if (!ctxt || !ctxt->myDoc || !ctxt->myDoc->intSubset) return nullptr;
    return reinterpret_cast<const char*>(ctxt->myDoc->intSubset->SystemID);
}

xmlParserInputPtr guardedLoader(const char* url, const char* id, xmlParserCtxtPtr ctxt) {
    if (!innermost) return previousLoader(url, id, ctxt);
    if (url && PxsXmlLoads::allows(url, documentDtdOf(ctxt)))
        return xmlNoNetExternalEntityLoader(url, id, ctxt);
    ZnWarn << "XML: refused to load \"" << (url ? url : id ? id : "") << "\": "
           << "object models and configuration files may not pull in other files\n";
    return nullptr;
}

void toVerbose(void*, xmlErrorPtr error) {
    if (!error || !error->message) return;
    ZnVerbose << "libxml2: " << (error->file ? error->file : "") << ":" << error->line << ": "
              << error->message;
}

}  // namespace

void pxsEnsureXmlInitialised() {
    static std::once_flag once;
    // xmlInitParser's own "already done" test is not atomic in the libxml2
    // our machines have, so two first readers on two threads could both run it.
    std::call_once(once, [] {
        LIBXML_TEST_VERSION
        xmlInitParser();
        previousLoader = xmlGetExternalEntityLoader();
        xmlSetExternalEntityLoader(guardedLoader);
    });
}

PxsXmlLoads::PxsXmlLoads(Allow allow, const char* file)
    : allow_(allow), file_(file ? file : ""), outer_(innermost) {
    pxsEnsureXmlInitialised();
    // libxml2 keeps its error handler per thread, as this scope is.
    savedErrorContext_ = xmlStructuredErrorContext;
    savedErrorHandler_ = xmlStructuredError;
    xmlSetStructuredErrorFunc(nullptr, toVerbose);
    innermost = this;
}

PxsXmlLoads::~PxsXmlLoads() {
    innermost = outer_;
    xmlSetStructuredErrorFunc(savedErrorContext_, savedErrorHandler_);
}

bool PxsXmlLoads::allows(const char* url, const char* documentDtd) {
    const PxsXmlLoads* scope = innermost;
    if (!scope) return true;
    if (!url || isNetworkAddress(url)) return false;
    switch (scope->allow_) {
        case Nothing: return false;
        case DocumentDtd:
            return namesDocumentDtd(url, documentDtd) || sameFile(url, scope->file_);
        case OneFile: return sameFile(url, scope->file_);
        case LocalFiles: return true;
    }
    return false;
}
