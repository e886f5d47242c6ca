// standardFiles.h -- validating object models against the standard files
// built into the library instead of the files a document names.
//
// An IEEE 1516-2000 document names its DTD by a system identifier
// ("HLA.dtd" beside the file, as a rule), an HLA Evolved module its schema
// by the standard's published web address. Readers never fetch from the
// network and, by default, look only at the file named. A host that opts in
// here has a name the library carries a copy of (the base name of the DTD
// or schema the standard publishes) resolved to that copy whenever no local
// file of that name is found, as an XML catalog would: validation then works
// on machines without the files and without network access.

#ifndef PXS_STANDARDFILES_H
#define PXS_STANDARDFILES_H

#include <string>

// Process-wide, off by default. The tools turn it on for --validate.
void ZnUseEmbeddedStandardFiles(bool on);
bool ZnUsingEmbeddedStandardFiles();

enum class ZnValidationSource {
    File,      // a local file: `path`
    Embedded,  // the library's copy: `path` is its base name
    Missing,   // neither: `path` is where the file was looked for
};

struct ZnValidationFile {
    ZnValidationSource source = ZnValidationSource::Missing;
    std::string path;
};

// Where validation of the document at `documentPath` (may be null or empty)
// takes the file named `reference` (a DTD's system identifier, or the path
// of a schemaLocation pair) from: the name as given, then relative to the
// document's directory, then, when opted in, the embedded copy of that
// base name. A web address is never a local file.
ZnValidationFile ZnFindValidationFile(const char* reference, const char* documentPath);

#endif  // PXS_STANDARDFILES_H
