// standardFiles.cpp -- resolution of validation files to the embedded copies.

#include <pxs/standardFiles.h>

#include <sys/stat.h>

#include <atomic>
#include <cstring>
#include <strings.h>

#include <pxs/embeddedData.h>
#include <pxs/standardFilesInternal.h>
#include <util/znOpenFile.h>

namespace {

std::atomic<bool> useEmbedded{false};

// The files validation may use; the MIM is embedded too but validates
// nothing.
const char* const kValidationFiles[] = {"HLA.dtd", "IEEE1516-DIF-2010.xsd",
                                        "IEEE1516-FDD-2010.xsd", "IEEE1516-OMT-2010.xsd"};

bool isWebAddress(const std::string& name) {
    return name.compare(0, 7, "http://") == 0 || name.compare(0, 8, "https://") == 0 ||
           name.compare(0, 6, "ftp://") == 0;
}

bool exists(const std::string& path) {
    struct stat info;
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

// A file: URL names a local path.
std::string localPart(const std::string& reference) {
    if (reference.compare(0, 7, "file://") == 0) return reference.substr(7);
    return reference;
}

std::string baseName(const std::string& reference) {
    size_t end = reference.find_first_of("?#");
    std::string path = reference.substr(0, end);
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string besideDocument(const std::string& reference, const char* documentPath) {
    if (!documentPath || !*documentPath || reference.empty() || reference[0] == '/') return "";
    std::string document(documentPath);
    size_t slash = document.find_last_of('/');
    if (slash == std::string::npos) return "";
    return document.substr(0, slash + 1) + reference;
}

}  // namespace

void ZnUseEmbeddedStandardFiles(bool on) { useEmbedded.store(on, std::memory_order_relaxed); }

bool ZnUsingEmbeddedStandardFiles() { return useEmbedded.load(std::memory_order_relaxed); }

const PxsEmbeddedFile* pxsdetail::embeddedValidationFile(const char* reference) {
    if (!reference || !ZnUsingEmbeddedStandardFiles()) return nullptr;
    std::string base = baseName(reference);
    // Names are matched without case: files written on other systems often
    // spell the standard's names in their own way.
    for (const char* name : kValidationFiles)
        if (strcasecmp(base.c_str(), name) == 0) return pxsFindEmbeddedFile(name);
    return nullptr;
}

ZnValidationFile ZnFindValidationFile(const char* reference, const char* documentPath) {
    ZnValidationFile found;
    std::string named = reference ? reference : "";
    if (!isWebAddress(named)) {
        std::string local = localPart(named);
        std::string beside = besideDocument(local, documentPath);
        for (const std::string& candidate : {local, beside}) {
            if (exists(candidate)) {
                found.source = ZnIsRegularFile(candidate.c_str()) ? ZnValidationSource::File
                                                    : ZnValidationSource::Missing;
                found.path = candidate;
                return found;
            }
        }
        found.path = beside.empty() ? local : beside;
    } else {
        found.path = named;
    }
    if (const PxsEmbeddedFile* copy = pxsdetail::embeddedValidationFile(reference)) {
        found.source = ZnValidationSource::Embedded;
        found.path = copy->name;
    }
    return found;
}
