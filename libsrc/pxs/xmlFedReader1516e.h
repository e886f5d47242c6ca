// xmlFedReader1516e.h -- the thin HLA Evolved reader. For now it offers only
// the content test that tells an HLA Evolved module from an IEEE 1516-2000
// FDD when both carry the extension ".xml" or ".fdd".

#ifndef PXS_XMLFEDREADER1516E_H
#define PXS_XMLFEDREADER1516E_H

class ZnXmlFedReader1516e {
public:
    // True when the open FILE* `file` holds an HLA Evolved module; the file
    // is read whole and rewound. False when it cannot be read or parsed.
    static bool isEvolvedFormat(void* file);
};

#endif
