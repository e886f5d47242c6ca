// pxsEnvironment.h -- loading PXS files and expressions, and
// ZnPxsEnvironment, the object through which host code owns one global
// frame: it fills the frame, registers host variables in it and loads
// scripts into it, copying the variables in before and out after.
//
//   ZnPxsEnvironment pxs;
//   int depth = 3;
//   pxs.registerVar("depth", &depth);
//   pxs.loadLispFile("settings.pxs", 1);   // depth now holds what the script set
//   pxs.loadLispFileOrExpr("depth=7", 0);  // depth == 7

#ifndef PXS_PXSENVIRONMENT_H
#define PXS_PXSENVIRONMENT_H

#include <cstdio>
#include <functional>
#include <string>

#include <pxs/envInit.h>
#include <pxs/memory.h>
#include <pxs/register.h>
#include <util/znList.h>

class ZnString;

// Where and why a load failed, for hosts that report errors in their own
// form rather than as the warning text.
struct ZnPxsLoadProblem {
    // The file as opened (the name given when it could not be opened), the
    // name given to ZncLoadLispStream, or "expression" for a text.
    std::string file;
    // The line, from 1, at which the failing form starts; 0 when unknown,
    // as when the file cannot be opened.
    int line = 0;
    // The innermost exception's message, or "cannot open: REASON" (REASON as
    // ZnOpenRegularFile gives it) when the file cannot be opened.
    std::string message;
    // The whole exception chain as the warning would have shown it, for
    // hosts that offer the detail; empty when no exception was involved.
    std::string chain;
};

using ZnPxsLoadReporter = std::function<void(const ZnPxsLoadProblem&)>;

// Installs a process-wide reporter for failed loads and returns the one it
// replaces (empty: none). While one is set, a load that stops at an error
// calls it instead of writing "Caught exception loading LISP ...", and a
// load that cannot open or find its file (when asked to warn) calls it
// instead of writing "Couldn't open" or "Couldn't find"; the same load then
// writes nothing else. A nested load that fails reports its own file and
// line once; `load` then returns nil and the outer file goes on, as without
// a reporter, so one failure gives one report. A nested file that cannot be
// opened is reported at the line of the outer file that loads it. Setting
// is guarded by a mutex; the reporter is called on the loading thread,
// without the mutex held, and may be called from several threads at once.
ZnPxsLoadReporter ZnPxsSetLoadReporter(ZnPxsLoadReporter reporter);

// The process-wide list of additional load directories, searched in
// insertion order for relative file names not found as given. A null
// directory is ignored.
void ZnlAddLoadPath(const char* dir);
void ZnlClearLoadPaths();

// Loads one file into `frame`: `name` as given, else (when relative) under
// each additional load directory in turn. Returns the last value, or an
// empty pointer when the file was not found (a "Couldn't open" warning when
// `warn` is set), held no expression, or stopped at an error (reported on
// ZnWarn; the effects before it stay).
ZnlObjPtr loadLispFile(char* name, const ZnlObjPtr& frame, int warn);
// Loads `name` from the first directory of the PXS list `dirs` where it
// loads with a value; nil (and a "Couldn't find" warning when `warn` is set)
// when there is none.
ZnlObjPtr loadLispFile(const ZnlObjPtr& dirs, char* name, const ZnlObjPtr& frame, int warn);

// The loads above, between copying the host variables of `params` into PXS
// and copying them back out.
ZnlObjPtr ZncLoadLispFile(char* name, const ZnlObjPtr& frame, ZnList<ZncParam>* params, int warn);
ZnlObjPtr ZncLoadLispFile(const ZnlObjPtr& dirs, char* name, const ZnlObjPtr& frame,
                          ZnList<ZncParam>* params, int warn);
// Reads and evaluates every expression of `text` in `frame`, copying the
// host variables in and, unless an error stopped it, back out. Returns the
// last value or an empty pointer. `flag` has no effect.
ZnlObjPtr ZncLoadLispExpr(char* text, const ZnlObjPtr& frame, ZnList<ZncParam>* params, int flag);
// A command-line style argument: "(..." is an expression, "name=value" an
// assignment to an existing variable (set!), anything else a file name. The
// argument's text is not modified.
ZnlObjPtr ZncLoadLispFileOrExpr(char* arg, const ZnlObjPtr& frame, ZnList<ZncParam>* params,
                                int flag);

// Loads every expression of the open file `file`, which is not closed, as
// a file called `name` (for reports) would load, between copying the host
// variables in and out. Reads stop at the end of input, so standard input
// works.
ZnlObjPtr ZncLoadLispStream(FILE* file, const char* name, const ZnlObjPtr& frame,
                            ZnList<ZncParam>* params);

// `load`: (load "file") or (load (list "dir" ...) "file"). Returns the
// file's last value, or nil.
ZnlObjPtr ZnlLoad(const ZnlObjPtr& args, const ZnlObjPtr& frame);

// The same for constant texts. None of these functions writes through its
// text argument, so dropping the const is safe.
inline ZnlObjPtr loadLispFile(const char* name, const ZnlObjPtr& frame, int warn) {
    return loadLispFile(const_cast<char*>(name), frame, warn);
}
inline ZnlObjPtr ZncLoadLispFile(const char* name, const ZnlObjPtr& frame, ZnList<ZncParam>* params,
                                 int warn) {
    return ZncLoadLispFile(const_cast<char*>(name), frame, params, warn);
}
inline ZnlObjPtr ZncLoadLispExpr(const char* text, const ZnlObjPtr& frame, ZnList<ZncParam>* params,
                                 int flag) {
    return ZncLoadLispExpr(const_cast<char*>(text), frame, params, flag);
}
inline ZnlObjPtr ZncLoadLispFileOrExpr(const char* arg, const ZnlObjPtr& frame,
                                       ZnList<ZncParam>* params, int flag) {
    return ZncLoadLispFileOrExpr(const_cast<char*>(arg), frame, params, flag);
}

// Owner of one PXS global frame. Construction fills the frame with the
// language's names, binds DEBUG (1) and OS, and registers the host
// variable ZnNotifyLevel. Destruction frees the frame and everything bound
// in it, even what closures still refer to: no handle into the frame may be
// used afterwards. Use on one thread only. Not copyable: a copy has no
// frame, and its operations do nothing (returning 0 or an empty pointer).
class ZnPxsEnvironment {
public:
    ZnPxsEnvironment();
    // An environment for scripts that are not trusted: as above, but the
    // primitives that run commands, change the process environment or end
    // the process (system, popen, putenv, exit, abort) refuse with an error.
    // Scripts can still read files with load and read the environment with
    // getenv; nothing a script can name writes a file.
    explicit ZnPxsEnvironment(ZnPxsTrust trust);
    ZnPxsEnvironment(const ZnPxsEnvironment& other);
    ZnPxsEnvironment& operator=(const ZnPxsEnvironment& other);
    virtual ~ZnPxsEnvironment();

    // The value bound to `name` in the global frame itself, or an empty
    // pointer when the name was never interned there.
    virtual ZnlObjPtr lookup(const ZnString& name);

    // Binds a host variable to the symbol `name`; 0 when `name` is already
    // bound in the global frame (the first binding stays).
    virtual int registerVar(const char* name, float* address);
    virtual int registerVar(const char* name, double* address);
    virtual int registerVar(const char* name, int* address);
    virtual int registerVar(const char* name, unsigned long* address);
    virtual int registerVar(const char* name, char** address);
    virtual int registerVar(const char* name, ZnString* address);
    virtual int registerVar(const char* name, long* address);
    virtual int registerVar(const char* name, short* address);
    virtual int registerVar(const char* name, unsigned short* address);
    virtual int registerVar(const char* name, unsigned int* address);

    // ZncLoadLispFile, ZncLoadLispFileOrExpr and ZncLoadLispExpr on this
    // environment's frame and host variables.
    virtual ZnlObjPtr loadLispFile(char* name, int warn);
    virtual ZnlObjPtr loadLispFile(const ZnlObjPtr& dirs, char* name, int warn);
    virtual ZnlObjPtr loadLispFileOrExpr(char* arg, int flag);
    virtual ZnlObjPtr loadLispExpr(char* text, int flag);
    // ZncLoadLispStream on this environment.
    ZnlObjPtr loadLispStream(FILE* file, const char* name);

    // Bind `name` in the global frame to `value`, to a compiled function or
    // to a special form wrapping `code`. Return the symbol.
    virtual ZnlObjPtr setParameter(const ZnString& name, const ZnlObjPtr& value);
    virtual ZnlObjPtr setFunction(const ZnString& name, ZnlPrimitiveFn code);
    // The global frame.
    virtual ZnlObjPtr& env();
    virtual ZnlObjPtr setSpecialForm(const ZnString& name, ZnlPrimitiveFn code);

    // The same loads for constant texts, which are never written.
    ZnlObjPtr loadLispFile(const char* name, int warn) {
        return loadLispFile(const_cast<char*>(name), warn);
    }
    ZnlObjPtr loadLispFile(const ZnlObjPtr& dirs, const char* name, int warn) {
        return loadLispFile(dirs, const_cast<char*>(name), warn);
    }
    ZnlObjPtr loadLispFileOrExpr(const char* arg, int flag) {
        return loadLispFileOrExpr(const_cast<char*>(arg), flag);
    }
    ZnlObjPtr loadLispExpr(const char* text, int flag) {
        return loadLispExpr(const_cast<char*>(text), flag);
    }

    // Fills the frame (ZncGlobalEnvInit, at this environment's trust) and
    // binds DEBUG and OS.
    void initEnv();
    ZnPxsTrust trust() const { return trust_; }

    // The global frame, and its list of registration records (owned by the
    // frame). Both empty in a copy.
    ZnlObjPtr frame;
    ZnList<ZncParam>* params = nullptr;

private:
    ZnPxsTrust trust_ = ZnPxsTrust::Trusted;
};

#endif
