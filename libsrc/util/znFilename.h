// znFilename.h -- a ZnString holding a path, with the few path operations
// the loaders and readers need.

#ifndef UTIL_ZNFILENAME_H
#define UTIL_ZNFILENAME_H

#include <util/znString.h>

class ZnFilename : public ZnString {
public:
    ZnFilename() = default;
    ZnFilename(const char* path) : ZnString(path) {}
    ZnFilename(const ZnString& path) : ZnString(path) {}
    ZnFilename(const std::string& path) : ZnString(path) {}

    // Last path component ("a/b/c.xml" -> "c.xml").
    ZnFilename stripPath() const;
    // Directory part without the trailing separator ("a/b/c.xml" -> "a/b"),
    // empty when there is none.
    ZnFilename stripFilename() const;
    // Joins `other` with one separator between.
    ZnFilename& append(const ZnString& other);
    bool exists() const;
    // True when the path is not absolute.
    bool relative() const;
    // Text after the last dot of the last component, empty when none.
    ZnString extension() const;
    // When the file does not exist as named, replaces the path by the first
    // existing "dir/name" for dir in the colon-separated `dirs`; returns
    // true when the path now names an existing file. Null `dirs` changes
    // nothing.
    bool searchAlternatePath(const char* dirs);
};

#endif
