// znFedTarget.cpp -- the receiver interface's out-of-line destructor and the
// switch defaults a read falls back on when asked to ignore a file's switches.

#include <util/znFedTarget.h>
#include <util/znFedTargetDetails.h>

ZnFedTarget::~ZnFedTarget() = default;

// The two class-level relevance advisories are the only switches on by
// default: a federate that never asked for them would otherwise not learn
// that nobody subscribes to what it publishes. Everything else is opt-in.
bool ZnFedTarget::defaultAutoProvide() { return false; }
bool ZnFedTarget::defaultConveyRegionDesignatorSets() { return false; }
bool ZnFedTarget::defaultAttributeScopeAdvisory() { return false; }
bool ZnFedTarget::defaultAttributeRelevanceAdvisory() { return false; }
bool ZnFedTarget::defaultObjectClassRelevanceAdvisory() { return true; }
bool ZnFedTarget::defaultInteractionRelevanceAdvisory() { return true; }
bool ZnFedTarget::defaultServiceReporting() { return false; }
bool ZnFedTarget::defaultExceptionReporting() { return false; }
bool ZnFedTarget::defaultConveyProducingFederate() { return false; }

ZnFedTargetDetails::~ZnFedTargetDetails() = default;
