// pxsEnvironment.cpp -- loading PXS files and expressions into a frame, and
// the ZnPxsEnvironment facade. A load reads and evaluates one datum at a
// time; an interpreter error stops it, is reported once (on ZnWarn, or to
// the host's load reporter) with the file and the line of the failing form,
// and leaves the effects of the expressions before it in place.

#include <pxs/pxsEnvironment.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include <pxs/atom.h>
#include <pxs/envInit.h>
#include <pxs/eval.h>
#include <pxs/io.h>
#include <pxs/lenv.h>
#include <pxs/list.h>
#include <pxs/lstream.h>
#include <pxs/read.h>
#include <util/znException.h>
#include <util/znFilename.h>
#include <util/znNotify.h>
#include <util/znOpenFile.h>
#include <util/znString.h>
#include <util/znSystem.h>

namespace {

// Files loaded from inside files may nest this deep; a file that loads
// itself ends with an error instead of exhausting the stack or the
// process's file descriptors.
constexpr int kMaxLoadDepth = 100;

std::vector<ZnFilename>& theAdditionalLoadPaths() {
    static std::vector<ZnFilename> paths;
    return paths;
}

thread_local int loadDepth = 0;

class LoadDepthGuard {
public:
    LoadDepthGuard() {
        if (loadDepth >= kMaxLoadDepth) ZncHaltAndCatchFire("load nested deeper than 100 files");
        ++loadDepth;
    }
    ~LoadDepthGuard() { --loadDepth; }
    LoadDepthGuard(const LoadDepthGuard&) = delete;
    LoadDepthGuard& operator=(const LoadDepthGuard&) = delete;
};

// The load in progress on this thread and the line of the form it is at,
// so that a nested file that cannot be opened is reported where the outer
// file asked for it.
struct LoadSite {
    const char* file;
    int line;
    LoadSite* outer;
};

thread_local LoadSite* currentSite = nullptr;

class LoadSiteScope {
public:
    explicit LoadSiteScope(LoadSite& site) : site_(site) { currentSite = &site_; }
    ~LoadSiteScope() { currentSite = site_.outer; }
    LoadSiteScope(const LoadSiteScope&) = delete;
    LoadSiteScope& operator=(const LoadSiteScope&) = delete;

private:
    LoadSite& site_;
};

std::mutex& reporterMutex() {
    static std::mutex mutex;
    return mutex;
}

ZnPxsLoadReporter& theReporter() {
    static ZnPxsLoadReporter reporter;
    return reporter;
}

// A copy, so that the reporter runs without the mutex and may itself load
// or replace the reporter.
ZnPxsLoadReporter currentReporter() {
    std::lock_guard<std::mutex> lock(reporterMutex());
    return theReporter();
}

// A file the caller asked for and could not get: reported at the outer
// load's form when there is one, else against the name alone.
void reportMissing(const char* verb, const char* name, const std::string& reason,
                   const char* warning) {
    ZnPxsLoadReporter reporter = currentReporter();
    if (!reporter) {
        ZnWarn.printf("%s %s\n", warning, name);
        return;
    }
    if (currentSite)
        reporter({currentSite->file, currentSite->line,
                  std::string(verb) + " " + name + ": " + reason, ""});
    else
        reporter({name, 0, std::string(verb) + ": " + reason, ""});
}

struct FileClose {
    void operator()(FILE* file) const noexcept { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileClose>;

// Opens `name` as given or, when relative and not there at all, under the
// first additional load directory that has it as a regular file; `opened`
// receives the path actually opened, `reason` why the name as given could
// not be. A directory or FIFO of that name is not passed over for a file
// further down the path: the user named it.
FilePtr openAlongLoadPath(const char* name, std::string& opened, std::string& reason) {
    FilePtr file(ZnOpenRegularFile(name, "rt", &reason));
    opened = name;
    if (file || reason != "no such file" || !ZnFilename(name).relative()) return file;
    for (const ZnFilename& dir : theAdditionalLoadPaths()) {
        ZnFilename candidate = dir;
        candidate.append(name);
        file.reset(ZnOpenRegularFile(candidate.c_str(), "rt"));
        if (file) {
            opened = candidate.std();
            return file;
        }
    }
    return nullptr;
}

// Reads and evaluates every datum of `in` in `frame`, keeping the last
// value in `last`. Returns false, after reporting it (on ZnWarn as a load
// of `what`, or to the reporter as `name`), when a ZnException stopped the
// load. Anything else thrown while evaluating one datum is dropped and the
// load goes on; thrown while reading, it ends the load like the end of
// input.
bool evalAll(ZnlInputStream& in, const ZnlObjPtr& frame, const char* what,
             const std::string& name, ZnlObjPtr& last) {
    LoadSite site{name.c_str(), 0, currentSite};
    LoadSiteScope scope(site);
    try {
        ZnlObjPtr eof = ZncIntern("eof", frame);
        for (;;) {
            ZnlObjPtr datum;
            try {
                // The form's line is where its first character is, not
                // where the blank lines and comments before it began.
                in.ungetc(in.fgetc_past_whitespace());
                site.line = in.lineCount();
                datum = ZncRead(&in, frame);
            } catch (const ZnException&) {
                throw;
            } catch (...) {
                return true;
            }
            if (datum == eof) return true;
            try {
                last = ZncEval(datum, frame);
            } catch (const ZnException&) {
                throw;
            } catch (...) {
            }
        }
    } catch (const ZnException& e) {
        if (ZnPxsLoadReporter reporter = currentReporter()) {
            std::ostringstream chain;
            chain << e;
            reporter({name, site.line, e.initialException().message(), chain.str()});
        } else
            ZnWarn << "Caught exception loading LISP " << what << ": " << e << "\n";
        return false;
    }
}

template <typename Stream, typename Source>
std::unique_ptr<Stream> makeStream(Source source, const char* outOfMemory) {
    try {
        return std::make_unique<Stream>(source);
    } catch (const std::bad_alloc&) {
        ZncHaltAndCatchFire(outOfMemory);
    }
}

// The path of `name` inside `dir`: one "/" between them unless `dir` is
// empty or already ends in one.
std::string pathIn(const char* dir, const char* name) {
    std::string path = dir;
    if (!path.empty() && path.back() != '/') path += '/';
    return path + name;
}

// A frameless copy has nowhere to put a record: it registers nothing.
template <typename T>
int registerIn(const ZnlObjPtr& frame, ZnList<ZncParam>* params, const char* name, T* address) {
    if (!frame) return 0;
    return ZncRegister(name, address, frame, params);
}

}  // namespace

ZnPxsLoadReporter ZnPxsSetLoadReporter(ZnPxsLoadReporter reporter) {
    std::lock_guard<std::mutex> lock(reporterMutex());
    std::swap(theReporter(), reporter);
    return reporter;
}

void ZnlAddLoadPath(const char* dir) {
    if (dir) theAdditionalLoadPaths().emplace_back(dir);
}

void ZnlClearLoadPaths() {
    theAdditionalLoadPaths().clear();
}

ZnlObjPtr loadLispFile(char* name, const ZnlObjPtr& frame, int warn) {
    LoadDepthGuard depth;
    std::string opened;
    std::string reason = "no file name";
    FilePtr file = name ? openAlongLoadPath(name, opened, reason) : nullptr;
    if (!file) {
        if (warn) reportMissing("cannot open", name ? name : "", reason, "Couldn't open");
        return ZnlObjPtr();
    }
    std::unique_ptr<ZnlFileInputStream> in =
        makeStream<ZnlFileInputStream>(file.get(), "out of memory in ZncLoadLispFile");
    ZnInfo.printf("Loading Config File: %s\n", opened.c_str());
    ZnlObjPtr last;
    if (!evalAll(*in, frame, "file", opened, last)) return ZnlObjPtr();
    return last;
}

// A directory that is not a string cannot name a place to look; it is an
// error rather than silently skipped.
ZnlObjPtr loadLispFile(const ZnlObjPtr& dirs, char* name, const ZnlObjPtr& frame, int warn) {
    for (ZnlObjPtr rest = dirs; rest && rest->tag() == ZnlConsTag; rest = rest->cdr()) {
        const ZnlObjPtr& dir = rest->carRef();
        if (!dir || dir->tag() != ZnlStringTag)
            ZncHaltAndCatchFire("Non-string in directory list to load");
        std::string path = pathIn(dir->string() ? dir->string() : "", name ? name : "");
        ZnlObjPtr value = loadLispFile(const_cast<char*>(path.c_str()), frame, 0);
        if (value) return value;
    }
    if (warn)
        reportMissing("cannot find", name ? name : "", "not in the directories given",
                      "Couldn't find");
    return ZnlObjPtr::nil();
}

// Whatever escapes the load itself is dropped, so the host variables are
// always copied back.
ZnlObjPtr ZncLoadLispFile(char* name, const ZnlObjPtr& frame, ZnList<ZncParam>* params, int warn) {
    ZncCToLisp(params);
    ZnlObjPtr result;
    try {
        result = loadLispFile(name, frame, warn);
    } catch (...) {
        result = ZnlObjPtr();
    }
    ZncLispToC(params);
    return result;
}

// Here an escaping error goes on to the caller, and the host variables are
// then not copied back.
ZnlObjPtr ZncLoadLispFile(const ZnlObjPtr& dirs, char* name, const ZnlObjPtr& frame,
                          ZnList<ZncParam>* params, int warn) {
    ZncCToLisp(params);
    ZnlObjPtr result = loadLispFile(dirs, name, frame, warn);
    ZncLispToC(params);
    return result;
}

ZnlObjPtr ZncLoadLispExpr(char* text, const ZnlObjPtr& frame, ZnList<ZncParam>* params, int) {
    ZncCToLisp(params);
    std::unique_ptr<ZnlStringInputStream> in = makeStream<ZnlStringInputStream>(
        static_cast<const char*>(text ? text : ""), "out of memory in ZncLoadLispExpr");
    ZnlObjPtr last;
    if (!evalAll(*in, frame, "expression", "expression", last)) return ZnlObjPtr();
    ZncLispToC(params);
    return last;
}

// Like a file load, the host variables are copied back whatever happened.
ZnlObjPtr ZncLoadLispStream(FILE* file, const char* name, const ZnlObjPtr& frame,
                            ZnList<ZncParam>* params) {
    if (!file) return ZnlObjPtr();
    ZncCToLisp(params);
    ZnlObjPtr result;
    try {
        std::unique_ptr<ZnlFileInputStream> in =
            makeStream<ZnlFileInputStream>(file, "out of memory in ZncLoadLispStream");
        if (!evalAll(*in, frame, "file", name ? name : "", result)) result = ZnlObjPtr();
    } catch (...) {
        result = ZnlObjPtr();
    }
    ZncLispToC(params);
    return result;
}

// Works on a copy: the caller's text (often an argv entry) is left as it was.
ZnlObjPtr ZncLoadLispFileOrExpr(char* arg, const ZnlObjPtr& frame, ZnList<ZncParam>* params,
                                int flag) {
    if (!arg) return ZncLoadLispFile(arg, frame, params, flag);
    if (arg[0] == '(') return ZncLoadLispExpr(arg, frame, params, flag);
    if (const char* equals = std::strchr(arg, '=')) {
        std::string assignment(arg);
        assignment[equals - arg] = ' ';
        std::string text = "(set! " + assignment + ")\n";
        return ZncLoadLispExpr(const_cast<char*>(text.c_str()), frame, params, flag);
    }
    return ZncLoadLispFile(arg, frame, params, flag);
}

ZnlObjPtr ZnlLoad(const ZnlObjPtr& args, const ZnlObjPtr& frame) {
    int n = ZncLength(args);
    if (n < 1 || n > 2) ZncHaltAndCatchFire("Wrong number of args to load");
    const ZnlObjPtr& first = args->carRef();
    ZnlObjPtr value;
    if (first && first->tag() == ZnlStringTag) {
        value = loadLispFile(first->string(), frame, 1);
    } else if (first && first->tag() == ZnlConsTag) {
        ZnlObjPtr name = ZncCadr(args);
        if (!name || name->tag() != ZnlStringTag)
            ZncHaltAndCatchFire("Non-string file name to load");
        value = loadLispFile(first, name->string(), frame, 1);
    } else {
        if (ZnNotifyLevel >= 0) {
            std::fflush(stdout);
            std::fprintf(stderr, "Lisp Error: %s", "Wrong type arg to ZnlLoad ");
            ZncErrPrint(first);
            std::fputc('\n', stderr);
        }
        return ZnlObjPtr::nil();
    }
    return value ? value : ZnlObjPtr::nil();
}

ZnPxsEnvironment::ZnPxsEnvironment() : ZnPxsEnvironment(ZnPxsTrust::Trusted) {}

ZnPxsEnvironment::ZnPxsEnvironment(ZnPxsTrust trust) : frame(ZnlFrameTag), trust_(trust) {
    initEnv();
    params = frame->params();
    registerVar("ZnNotifyLevel", &ZnNotifyLevel);
}

ZnPxsEnvironment::ZnPxsEnvironment(const ZnPxsEnvironment& other) : trust_(other.trust_) {
    ZnWarn << "WARNING: Copy constructor not implemented for ZnPxsEnvironment\n";
}

ZnPxsEnvironment& ZnPxsEnvironment::operator=(const ZnPxsEnvironment& other) {
    if (this != &other)
        ZnWarn << "WARNING: Assignment operator not implemented for ZnPxsEnvironment\n";
    return *this;
}

// The frame goes however many references its closures (or anything else
// bound in it) still hold: its count is forced to one before the release.
ZnPxsEnvironment::~ZnPxsEnvironment() {
    if (!frame) return;
    params = nullptr;
    frame->setRefcnt(1);
    frame = ZnlObjPtr();
}

ZnlObjPtr ZnPxsEnvironment::lookup(const ZnString& name) {
    if (!frame) return ZnlObjPtr();
    return frame->frameBindings()->lookup(name.c_str());
}

int ZnPxsEnvironment::registerVar(const char* name, float* address) {
    return registerIn(frame, params, name, address);
}

int ZnPxsEnvironment::registerVar(const char* name, double* address) {
    return registerIn(frame, params, name, address);
}

int ZnPxsEnvironment::registerVar(const char* name, int* address) {
    return registerIn(frame, params, name, address);
}

int ZnPxsEnvironment::registerVar(const char* name, unsigned long* address) {
    return registerIn(frame, params, name, address);
}

int ZnPxsEnvironment::registerVar(const char* name, char** address) {
    return registerIn(frame, params, name, address);
}

int ZnPxsEnvironment::registerVar(const char* name, ZnString* address) {
    return registerIn(frame, params, name, address);
}

int ZnPxsEnvironment::registerVar(const char* name, long* address) {
    return registerIn(frame, params, name, address);
}

int ZnPxsEnvironment::registerVar(const char* name, short* address) {
    return registerIn(frame, params, name, address);
}

int ZnPxsEnvironment::registerVar(const char* name, unsigned short* address) {
    return registerIn(frame, params, name, address);
}

int ZnPxsEnvironment::registerVar(const char* name, unsigned int* address) {
    return registerIn(frame, params, name, address);
}

ZnlObjPtr ZnPxsEnvironment::loadLispFile(char* name, int warn) {
    if (!frame) return ZnlObjPtr();
    return ZncLoadLispFile(name, frame, params, warn);
}

ZnlObjPtr ZnPxsEnvironment::loadLispFile(const ZnlObjPtr& dirs, char* name, int warn) {
    if (!frame) return ZnlObjPtr();
    return ZncLoadLispFile(dirs, name, frame, params, warn);
}

ZnlObjPtr ZnPxsEnvironment::loadLispFileOrExpr(char* arg, int flag) {
    if (!frame) return ZnlObjPtr();
    return ZncLoadLispFileOrExpr(arg, frame, params, flag);
}

ZnlObjPtr ZnPxsEnvironment::loadLispExpr(char* text, int flag) {
    if (!frame) return ZnlObjPtr();
    return ZncLoadLispExpr(text, frame, params, flag);
}

ZnlObjPtr ZnPxsEnvironment::loadLispStream(FILE* file, const char* name) {
    if (!frame) return ZnlObjPtr();
    return ZncLoadLispStream(file, name, frame, params);
}

ZnlObjPtr ZnPxsEnvironment::setParameter(const ZnString& name, const ZnlObjPtr& value) {
    if (!frame) return ZnlObjPtr();
    return ZncInternPtr(name.c_str(), value, frame);
}

ZnlObjPtr ZnPxsEnvironment::setFunction(const ZnString& name, ZnlPrimitiveFn code) {
    if (!frame) return ZnlObjPtr();
    return ZncInternCompiledC(name.c_str(), code, frame);
}

ZnlObjPtr& ZnPxsEnvironment::env() {
    return frame;
}

ZnlObjPtr ZnPxsEnvironment::setSpecialForm(const ZnString& name, ZnlPrimitiveFn code) {
    if (!frame) return ZnlObjPtr();
    return ZncInternSpecialForm(name.c_str(), code, frame);
}

void ZnPxsEnvironment::initEnv() {
    if (!frame) return;
    ZncGlobalEnvInit(frame, trust_);
    ZncInternPtr("DEBUG", ZnlObjPtr(1), frame);
    ZncInternPtr("OS", ZnlObjPtr(ZnOperatingSystem()), frame);
}
