// fedSwitches.cpp -- the switch list itself. The columns of `position` are
// the visiting orders of the four readers; they differ because each format
// lists its switches in its own order and a read reports them that way.

#include <pxs/fedSwitches.h>

#include <cstring>

namespace pxsdetail::switches {

namespace {

using T = ZnFedTarget;

// Rows in the schema's order (see all()).
//  name, setter, getter, default, {1516, evolved, thin 1516, thin evolved}
const Switch kSwitches[] = {
    {"autoProvide", &T::setAutoProvide, &T::autoProvide, T::defaultAutoProvide, {1, 1, 1, 1}},
    {"conveyRegionDesignatorSets", &T::setConveyRegionDesignatorSets,
     &T::conveyRegionDesignatorSets, T::defaultConveyRegionDesignatorSets, {2, 3, 2, 2}},
    {"conveyProducingFederate", &T::setConveyProducingFederate, &T::conveyProducingFederate,
     T::defaultConveyProducingFederate, {0, 2, 4, 8}},
    {"attributeScopeAdvisory", &T::setAttributeScopeAdvisory, &T::attributeScopeAdvisory,
     T::defaultAttributeScopeAdvisory, {3, 4, 3, 3}},
    {"attributeRelevanceAdvisory", &T::setAttributeRelevanceAdvisory,
     &T::attributeRelevanceAdvisory, T::defaultAttributeRelevanceAdvisory, {4, 5, 5, 4}},
    {"objectClassRelevanceAdvisory", &T::setObjectClassRelevanceAdvisory,
     &T::objectClassRelevanceAdvisory, T::defaultObjectClassRelevanceAdvisory, {5, 6, 6, 5}},
    {"interactionRelevanceAdvisory", &T::setInteractionRelevanceAdvisory,
     &T::interactionRelevanceAdvisory, T::defaultInteractionRelevanceAdvisory, {6, 7, 7, 6}},
    {"serviceReporting", &T::setServiceReporting, &T::serviceReporting,
     T::defaultServiceReporting, {7, 8, 8, 7}},
    {"exceptionReporting", &T::setExceptionReporting, &T::exceptionReporting,
     T::defaultExceptionReporting, {0, 9, 0, 9}},
    {"delaySubscriptionEvaluation", &T::setDelaySubscriptionEvaluation,
     &T::delaySubscriptionEvaluation, nullptr, {0, 10, 0, 10}},
};

}  // namespace

const Switch* all(size_t* count) {
    *count = sizeof kSwitches / sizeof kSwitches[0];
    return kSwitches;
}

const Switch* find(const char* name) {
    if (!name) return nullptr;
    for (const Switch& s : kSwitches)
        if (std::strcmp(s.name, name) == 0) return &s;
    return nullptr;
}

}  // namespace pxsdetail::switches
