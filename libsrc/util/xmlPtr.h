// xmlPtr.h -- one owning type per libxml2 handle we hold, so no path out of
// a reader or writer can leak a document, buffer or validation context.

#ifndef UTIL_XMLPTR_H
#define UTIL_XMLPTR_H

#include <memory>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/valid.h>
#include <libxml/xmlreader.h>
#include <libxml/xmlschemas.h>
#include <libxml/xmlwriter.h>

template <typename T, void (*Free)(T*)>
struct XmlFree {
    void operator()(T* p) const noexcept { Free(p); }
};

using XmlDocPtr = std::unique_ptr<xmlDoc, XmlFree<xmlDoc, xmlFreeDoc>>;
using XmlTextReaderPtr = std::unique_ptr<xmlTextReader, XmlFree<xmlTextReader, xmlFreeTextReader>>;
using XmlTextWriterPtr = std::unique_ptr<xmlTextWriter, XmlFree<xmlTextWriter, xmlFreeTextWriter>>;
using XmlBufferPtr = std::unique_ptr<xmlBuffer, XmlFree<xmlBuffer, xmlBufferFree>>;
using XmlDtdPtr = std::unique_ptr<xmlDtd, XmlFree<xmlDtd, xmlFreeDtd>>;
using XmlValidCtxtPtr = std::unique_ptr<xmlValidCtxt, XmlFree<xmlValidCtxt, xmlFreeValidCtxt>>;
using XmlParserCtxtPtr = std::unique_ptr<xmlParserCtxt, XmlFree<xmlParserCtxt, xmlFreeParserCtxt>>;
using XmlSchemaParserCtxtPtr =
    std::unique_ptr<xmlSchemaParserCtxt, XmlFree<xmlSchemaParserCtxt, xmlSchemaFreeParserCtxt>>;
using XmlSchemaPtr = std::unique_ptr<xmlSchema, XmlFree<xmlSchema, xmlSchemaFree>>;
using XmlSchemaValidCtxtPtr =
    std::unique_ptr<xmlSchemaValidCtxt, XmlFree<xmlSchemaValidCtxt, xmlSchemaFreeValidCtxt>>;

// xmlFree is a function-pointer variable, not a function, so it gets its own deleter.
struct XmlCharFree {
    void operator()(xmlChar* p) const noexcept { xmlFree(p); }
};
using XmlCharPtr = std::unique_ptr<xmlChar, XmlCharFree>;  // xmlGetProp, xmlNodeGetContent

#endif
