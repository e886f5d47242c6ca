// register.h -- records that bind host variables to PXS symbols. A frame owns
// the records registered with it and deletes them, through the virtual
// destructor, when it is freed.

#ifndef PXS_REGISTER_H
#define PXS_REGISTER_H

#include <util/znList.h>

// Base of every registration record. The concrete records (one per host
// variable type) derive from it.
class ZncParam {
public:
    ZncParam() = default;
    ZncParam(const ZncParam&) = delete;
    ZncParam& operator=(const ZncParam&) = delete;
    virtual ~ZncParam() = default;
};

// Removes every record from `list` and deletes it; a null list is ignored.
void ZncEmptyParamList(ZnList<ZncParam>* list);

#endif
