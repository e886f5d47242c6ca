// xmlSetup.cpp -- one-time, thread-safe initialisation of libxml2.

#include <util/xmlSetup.h>

#include <mutex>

#include <libxml/parser.h>

void pxsEnsureXmlInitialised() {
    static std::once_flag once;
    // xmlInitParser's own "already done" test is not atomic in the libxml2
    // our machines have, so two first readers on two threads could both run it.
    std::call_once(once, [] {
        LIBXML_TEST_VERSION
        xmlInitParser();
    });
}
