// fed13Walk.h -- pieces the two HLA 1.3 FED readers share: reading the file
// as one PXS datum in a fresh environment, keyword and text access on the
// lists, the transport and order vocabulary, the member forms (dimension,
// attribute, parameter), and the class tree walk.
//
// Internal to the library: the readers include it from their .cpp files.
// Malformed lists (an improper tail, a missing element, a name that is
// neither symbol nor string) raise a ZnException, which the readers turn
// into their "Unexpected problem reading fed file".

#ifndef PXS_FED13WALK_H
#define PXS_FED13WALK_H

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include <pxs/memory.h>
#include <util/znException.h>
#include <util/znFedTarget.h>
#include <util/znNotify.h>
#include <util/znString.h>

namespace pxsdetail::fed13 {

// The first datum of `length` bytes, read with the PXS reader. Reader
// errors are thrown.
//
// The symbols are not interned in any frame. A frame keeps its names in 256
// chained buckets, so interning the 100,000 distinct class names of a large
// FED file into one would cost time quadratic in the file; the walk compares
// keywords by name (as ZncEqual does), so sharing symbol cells buys it
// nothing. Without a frame the reader makes a fresh symbol per name, and
// nothing is evaluated, so no environment is needed either.
class FedDatum {
public:
    FedDatum(const char* bytes, size_t length);
    // True when the bytes hold no datum at all (or only the symbol eof,
    // which the reader also answers at the end of its input).
    bool empty() const;
    const ZnlObjPtr& datum() const { return datum_; }

private:
    ZnlObjPtr datum_;
};

// A NUL byte would end a name early, so "A\0B" and "A\0C" would both become
// "A" and merge without a word. Any NUL in the file is refused: success
// when there is none, otherwise failure with the line in `lastError`.
ZnFedReadStatus refuseNulBytes(const char* bytes, size_t length, ZnString& lastError);

// The datum of a whole FED file; null, with the reason in `lastError`, when
// the bytes hold a NUL or no datum at all. The datum does not need the bytes
// once made.
std::unique_ptr<FedDatum> readDatum(const char* bytes, size_t length, ZnString& lastError);

// Runs `read` and answers its status. Whatever it throws (a reader error, a
// malformed form, a target that throws) ends this read only: the interpreter's
// own message goes to the warnings and the last error is the general one.
template <class Read>
ZnFedReadStatus guardedRead(ZnString& lastError, Read&& read) {
    try {
        return read();
    } catch (const ZnException& e) {
        ZnWarn << "FED file: " << e.initialException().message() << "\n";
    } catch (...) {
    }
    lastError = "Unexpected problem reading fed file";
    return ZnFedReadFailed;
}

// True when `form` is a list whose first element is the symbol `keyword`
// (exact name, with case).
bool headIs(const ZnlObj* form, const char* keyword);
inline bool headIs(const ZnlObjPtr& form, const char* keyword) {
    return headIs(form.get(), keyword);
}
// 0 when `form` is headed by `keyword`; otherwise `message` in the last
// error and 2.
ZnFedReadStatus requireHead(const ZnlObjPtr& form, const char* keyword, const char* message,
                            ZnString& lastError);
// Element `index` (0 is the head) of a proper list; raises when it has none.
const ZnlObj* element(const ZnlObjPtr& list, int index);
// The text of a symbol or string. Anything else (a number, whose written
// digits the reader has already turned into a value, or a list) is
// raised: a FED name must be written as a name.
const char* textOf(const ZnlObj* value);
// "best_effort" 0, "reliable" 1, any letter case; false for other texts.
bool transportCode(const char* text, ZnTransportType* code);
// "receive" 0, "timestamp" 1, any letter case; false for other texts.
bool orderCode(const char* text, ZnOrderType* code);

// The member forms, delivered to `target` when it is not null. Each
// returns 0, or 2 with the message (if any) in `lastError`.
ZnFedReadStatus dimension(const ZnlObjPtr& form, const char* spaceName, ZnFedTarget* target,
                          ZnString& lastError);
ZnFedReadStatus attribute(const ZnlObjPtr& form, const char* className, ZnFedTarget* target,
                          ZnString& lastError);
ZnFedReadStatus parameter(const ZnlObjPtr& form, const char* className, ZnFedTarget* target,
                          ZnString& lastError);

// The root class form of an `objects` / `interactions` form: its length and
// keyword are checked ("Symbol \"objects\" not found", ...), then the root's
// name against `rootName` without regard to case (`rootMessage`).
ZnFedReadStatus rootClass(const ZnlObjPtr& form, const char* keyword, const char* rootName,
                          const char* rootMessage, ZnString& lastError, ZnlObjPtr* root);

// The fixed part of an interaction class form: (class name transport order
// [space] ...). An unknown transport warns and gives -1; an unknown order
// is an error. `rest` is the first member element.
struct InteractionHead {
    const char* name = nullptr;
    const char* transportText = nullptr;
    const char* orderText = nullptr;
    const char* space = nullptr;
    ZnTransportType transport = ZnTransportNone;
    ZnOrderType order = ZnOrderNone;
    const ZnlObj* rest = nullptr;
};
ZnFedReadStatus readInteractionHead(const ZnlObjPtr& form, InteractionHead& head,
                                    ZnString& lastError);

// What `enter` tells the walk about a class it accepted: its full name (as
// delivered, which may differ from the written one for a replaced root), the
// first member element, and whether its subtree is passed over unexamined.
struct ClassEntry {
    ZnString fullName;
    const ZnlObj* rest = nullptr;
    bool skip = false;
};

// Walks the class form `root` (a child of `parentName`, null for a root
// class) and every class nested in it, in file order, with an explicit
// stack: class nesting in a FED file is as deep as the PXS reader allows,
// far deeper than the C stack would take one call per level. The stack
// keeps only the length of each class's full name within one path buffer,
// so deep trees cost memory in proportion to their depth, not its square.
// `enter(form, parentFullName or null, entry)` checks and delivers one
// class; `member(form, className)` takes each element headed by
// `memberKeyword`. Any other element is "Unexpected symbol found".
template <class Enter, class Member>
ZnFedReadStatus walkClassTree(const ZnlObjPtr& root, const char* parentName,
                              const char* memberKeyword, ZnString& lastError, Enter enter,
                              Member member) {
    struct Frame {
        const ZnlObj* rest;
        size_t nameLength;
        bool skip;
    };
    std::vector<Frame> frames;
    std::string path;  // full name of the class on top of the stack
    ClassEntry entry;
    ZnFedReadStatus status = enter(root, parentName, entry);
    if (status == ZnFedReadSuccess) {
        path = entry.fullName.std();
        frames.push_back(Frame{entry.rest, path.size(), entry.skip});
    }
    while (status == ZnFedReadSuccess && !frames.empty()) {
        Frame& top = frames.back();
        if (!top.rest || top.rest->tag() != ZnlConsTag) {
            frames.pop_back();
            if (!frames.empty()) path.resize(frames.back().nameLength);
            continue;
        }
        const ZnlObj* next = top.rest->carRef().get();
        top.rest = top.rest->cdrRef().get();
        if (top.skip) continue;
        ZnlObjPtr form(const_cast<ZnlObj*>(next));  // counted, never written
        if (headIs(form, memberKeyword)) {
            status = member(form, path.c_str());
        } else if (headIs(form, "class")) {
            status = enter(form, path.c_str(), entry);
            if (status != ZnFedReadSuccess) break;
            path = entry.fullName.std();
            frames.push_back(Frame{entry.rest, path.size(), entry.skip});
        } else {
            lastError = "Unexpected symbol found";
            status = ZnFedReadFailed;
        }
    }
    return status;
}

// Parent's full name, a dot and the class's own name; the name alone for a root.
ZnString fullNameOf(const char* parentName, const char* name);

// The whole walk over a FED datum, for ZnFedReader13 (with both root flags:
// a refused root is offered again under the IEEE 1516 name and the flag set,
// the 1.3 management classes are skipped once a root is mapped, and any
// other refusal ends the read) and ZnPxsFedReader (no flags: every class is
// offered as written and the answers are ignored). Each level re-enters the
// reader through its own process... operations, so a derived reader can
// replace any of them.
template <class Reader>
class FedWalk {
public:
    FedWalk(Reader& reader, ZnString& lastError, ZnFedTarget* target, bool* objectRootReplaced,
            bool* interactionRootReplaced)
        : reader_(reader),
          lastError_(lastError),
          target_(target),
          objectRootReplaced_(objectRootReplaced),
          interactionRootReplaced_(interactionRootReplaced) {}

    ZnFedReadStatus fed(const ZnlObjPtr& fed);
    ZnFedReadStatus spaces(const ZnlObjPtr& form);
    ZnFedReadStatus space(const ZnlObjPtr& form);
    ZnFedReadStatus objects(const ZnlObjPtr& form);
    ZnFedReadStatus interactions(const ZnlObjPtr& form);
    ZnFedReadStatus objectClasses(const ZnlObjPtr& form, const char* parentName);
    ZnFedReadStatus interactionClasses(const ZnlObjPtr& form, const char* parentName);

private:
    ZnFedReadStatus enterObjectClass(const ZnlObjPtr& form, const char* parentName,
                                     ClassEntry& entry);
    ZnFedReadStatus enterInteractionClass(const ZnlObjPtr& form, const char* parentName,
                                          ClassEntry& entry);
    ZnFedReadStatus offerObjectClass(ZnString& fullName, const char* parentName, bool& skip);
    ZnFedReadStatus offerInteractionClass(ZnString& fullName, const char* parentName,
                                          const InteractionHead& head, bool& skip);

    Reader& reader_;
    ZnString& lastError_;
    ZnFedTarget* target_;
    bool* objectRootReplaced_;
    bool* interactionRootReplaced_;
};

}  // namespace pxsdetail::fed13

// The walk steps both HLA 1.3 readers offer as virtual operations: the
// keyword checks, the member forms (delivered to `target`) and the class
// trees, each handed to the FedWalk `walkExpr` builds.
#define PXS_FED13_STEPS(Reader, target, walkExpr)                                          \
    ZnFedReadStatus Reader::processFed(ZnlObjPtr fed) { return walkExpr.fed(fed); }         \
    ZnFedReadStatus Reader::processFederation(ZnlObjPtr form) {                            \
        return pxsdetail::fed13::requireHead(form, "Federation",                           \
                                             "Symbol \"Federation\" not found", lastError_); \
    }                                                                                      \
    ZnFedReadStatus Reader::processVersion(ZnlObjPtr form) {                               \
        return pxsdetail::fed13::requireHead(form, "FEDversion",                           \
                                             "Symbol \"FEDversion\" not found", lastError_); \
    }                                                                                      \
    ZnFedReadStatus Reader::processSpaces(ZnlObjPtr form) { return walkExpr.spaces(form); } \
    ZnFedReadStatus Reader::processSpace(ZnlObjPtr form) { return walkExpr.space(form); }   \
    ZnFedReadStatus Reader::processDimension(ZnlObjPtr form, const char* spaceName) {      \
        return pxsdetail::fed13::dimension(form, spaceName, target, lastError_);           \
    }                                                                                      \
    ZnFedReadStatus Reader::processObjects(ZnlObjPtr form) { return walkExpr.objects(form); } \
    ZnFedReadStatus Reader::processObjClass(ZnlObjPtr form, const char* parentName) {      \
        return walkExpr.objectClasses(form, parentName);                                   \
    }                                                                                      \
    ZnFedReadStatus Reader::processAttribute(ZnlObjPtr form, const char* className) {      \
        return pxsdetail::fed13::attribute(form, className, target, lastError_);           \
    }                                                                                      \
    ZnFedReadStatus Reader::processInteractions(ZnlObjPtr form) {                          \
        return walkExpr.interactions(form);                                                \
    }                                                                                      \
    ZnFedReadStatus Reader::processIntClass(ZnlObjPtr form, const char* parentName) {      \
        return walkExpr.interactionClasses(form, parentName);                              \
    }                                                                                      \
    ZnFedReadStatus Reader::processParameter(ZnlObjPtr form, const char* className) {      \
        return pxsdetail::fed13::parameter(form, className, target, lastError_);           \
    }

#endif
