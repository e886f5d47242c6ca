// xmlSetup.h -- libxml2's process-wide state, set up once for every reader,
// and what libxml2 may load while the library parses.
//
// Internal to the library. libxml2 keeps global tables (dictionaries, the
// character encoders, its thread keys) that must be initialised before the
// first parse and must never be torn down while another thread still parses.
// So the readers initialise it once, from whichever thread comes first, and
// never clean it up: a host that wants a clean exit calls xmlCleanupParser()
// itself, after its last reader is gone.
//
// The same one-time set-up installs an external-entity loader. Outside a
// PxsXmlLoads scope it hands every request to the loader that was there
// before, so the host's own libxml2 work is untouched; inside one, on that
// thread, it loads only what the scope allows, never from the network, and
// refuses the rest with a warning. The files a document could otherwise
// pull in (external entities, a second DTD, an XInclude) thus never reach a
// value or a message.

#ifndef PXS_UTIL_XMLSETUP_H
#define PXS_UTIL_XMLSETUP_H

#include <string>

#include <libxml/xmlerror.h>

// Initialises libxml2 exactly once per process; safe from any thread.
void pxsEnsureXmlInitialised();

// What libxml2 may load on this thread while the scope lives. Scopes nest;
// the innermost one rules. libxml2's own messages for the thread go to the
// notification streams (ZnVerbose) instead of standard error meanwhile.
class PxsXmlLoads {
public:
    enum Allow {
        Nothing,      // no external resource at all
        DocumentDtd,  // only the DTD the document's own DOCTYPE names (and `file`,
                      // the document itself)
        OneFile,      // only `file` (a DTD the library chose)
        LocalFiles,   // any local file (a schema and what it includes)
    };

    explicit PxsXmlLoads(Allow allow, const char* file = nullptr);
    ~PxsXmlLoads();
    PxsXmlLoads(const PxsXmlLoads&) = delete;
    PxsXmlLoads& operator=(const PxsXmlLoads&) = delete;

    // Whether the innermost scope of this thread allows loading `url` for
    // a parse of `documentDtd` (the system identifier of the document's
    // DOCTYPE, null without one). True outside any scope.
    static bool allows(const char* url, const char* documentDtd);

private:
    Allow allow_;
    std::string file_;
    PxsXmlLoads* outer_;
    void* savedErrorContext_;
    xmlStructuredErrorFunc savedErrorHandler_;
};

#endif  // PXS_UTIL_XMLSETUP_H
