// register.cpp -- registration records of host variables and the lists a
// frame keeps of them.

#include <pxs/register.h>

void ZncEmptyParamList(ZnList<ZncParam>* list) {
    if (!list) return;
    while (ZnListItem<ZncParam>* item = list->first()) delete list->remove(item);
}
