// xmlSetup.h -- libxml2's process-wide state, set up once for every reader.
//
// Internal to the library. libxml2 keeps global tables (dictionaries, the
// character encoders, its thread keys) that must be initialised before the
// first parse and must never be torn down while another thread still parses.
// So the readers initialise it once, from whichever thread comes first, and
// never clean it up: a host that wants a clean exit calls xmlCleanupParser()
// itself, after its last reader is gone.

#ifndef PXS_UTIL_XMLSETUP_H
#define PXS_UTIL_XMLSETUP_H

// Initialises libxml2 exactly once per process; safe from any thread.
void pxsEnsureXmlInitialised();

#endif  // PXS_UTIL_XMLSETUP_H
