// envObjectSync.h -- the base of the classes that keep a host structure and
// an object of a configuration tree in step. An application derives from it
// and says what type its objects have, how to write host state into an
// object, and what to do when the object changed:
//
//   class LinkSync : public ZnEnvObjectSync {
//       ZnString objectType() const override { return "link"; }
//       void updateObjectCB(ZnEnvObject* o) override { ... write port into o ... }
//       void objectChangedCB(ZnEnvObject* o) override { ... read port from o ... }
//   };
//   LinkSync sync;
//   sync.bind(env.getObject("main", "link"), true);
//
// Synchronisers for named child objects are registered as attribute syncs
// and follow their parent through bind, generateObject and unbind. Nothing
// here is owned; a synchroniser that is destroyed leaves no pointer to
// itself behind, neither in its object nor in a registry it was added to.

#ifndef PXS_ENVOBJECTSYNC_H
#define PXS_ENVOBJECTSYNC_H

#include <map>
#include <set>

#include <pxs/envObject.h>

class ZnEnvironment;

class ZnEnvObjectSync {
public:
    ZnEnvObjectSync();
    ZnEnvObjectSync(const ZnEnvObjectSync&) = delete;
    ZnEnvObjectSync& operator=(const ZnEnvObjectSync&) = delete;
    // Unbinds the attribute syncs and then this one, so no object is left
    // pointing at a destroyed synchroniser, and leaves every registry it is in.
    virtual ~ZnEnvObjectSync();

    // Creates an object of objectType() named `name` under env's root, fills
    // it from the host and binds it; attribute syncs generate theirs below it.
    virtual void generateObject(ZnEnvironment& env, const ZnString& name);
    // Binds to `node` (unbinding first) and binds each attribute sync to the
    // child of its name, creating missing ones when `generateMissing` is set.
    virtual void bind(ZnEnvValueSP node, bool generateMissing);
    // Detaches from the bound object (no callback) and unbinds the attribute syncs.
    virtual void unbind();
    // The bound node; null when unbound or the node is gone.
    virtual ZnEnvValueSP binding() const;
    // Registers `sync` for the child named `name`, replacing (and unbinding)
    // an earlier one. A null `sync` only removes; a synchroniser that would
    // end up among its own attribute syncs is refused.
    virtual void addAttributeSync(const ZnString& name, ZnEnvObjectSync* sync);
    // Unbinds and forgets the synchroniser registered for `name`; it is not deleted.
    virtual void removeAttributeSync(const ZnString& name);
    // Unbinds and forgets every registered synchroniser.
    virtual void removeAllAttributeSyncs();
    // The synchroniser registered for `name`; null when there is none.
    virtual ZnEnvObjectSync* attributeSync(const ZnString& name);

    // The bound object's own value changed, or the object was just attached.
    virtual void objectChangedCB(ZnEnvObject* object) = 0;
    // Write the host's state into `object`.
    virtual void updateObjectCB(ZnEnvObject* object) = 0;
    // The type of the objects this synchroniser generates.
    virtual ZnString objectType() const = 0;
    // A child of the bound object without a synchroniser of its own changed.
    virtual void unboundAttributeSyncInCB(ZnEnvValue* child);
    // `child` was appended to the bound object.
    virtual void attributeAddedCB(ZnEnvValueSP child);
    // `child` was removed from the bound object.
    virtual void attributeRemovedCB(ZnEnvValueSP child);

private:
    bool reaches(const ZnEnvObjectSync* other) const;
    void release(ZnEnvObjectSync* sync);

    std::map<ZnString, ZnEnvObjectSync*> attributeSyncs_;
    // The synchronisers whose registries hold this one, once per entry.
    std::multiset<ZnEnvObjectSync*> registeredIn_;
    boost::weak_ptr<ZnEnvValue> binding_;
};

#endif
