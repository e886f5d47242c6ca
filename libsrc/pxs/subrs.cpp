// subrs.cpp -- primitives that reach the process: environment variables,
// shell commands, number/string conversion and process exit. Failures of
// the C library are results (nil, a status), not errors, except a popen
// that cannot start.

#include <pxs/subrs.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include <pxs/io.h>
#include <pxs/list.h>
#include <pxs/null.h>
#include <util/znNotify.h>

namespace {

// Characters of one popen output line that are kept; the rest of a longer
// line is dropped.
constexpr int kPopenLineMax = 199;

// Closes a pipe on every way out of popen, errors included.
struct PipeClose {
    void operator()(FILE* pipe) const noexcept { pclose(pipe); }
};
using PipePtr = std::unique_ptr<FILE, PipeClose>;

bool isString(const ZnlObj* x) {
    return x && x->tag() == ZnlStringTag;
}

const char* textOf(const ZnlObj* x) {
    return x->string() ? x->string() : "";
}

// Traces that go to standard output need the higher notification level too.
bool tracingToStdout() {
    return ZnLispDebugOn && ZnNotifyLevel > 1;
}

// The one argument of a primitive that takes exactly one string. The kind
// is checked as well: the C library would otherwise be handed no text.
const char* singleString(const ZnlObjPtr& args, const char* arity, const char* type) {
    if (ZncLength(args) != 1) ZncHaltAndCatchFire(arity);
    const ZnlObj* x = args->carRef().get();
    if (!isString(x)) ZncHaltAndCatchFire(type);
    return textOf(x);
}

// putenv keeps the buffer it is given as part of the environment, so the
// buffers must live as long as the process. They stay reachable from here
// (never freed) so that a later putenv of the same name, which drops the
// old buffer from the environment, does not turn it into a leak report.
std::vector<std::unique_ptr<char[]>>& environmentBuffers() {
    static auto* buffers = new std::vector<std::unique_ptr<char[]>>;
    return *buffers;
}

// The environment and the kept buffers belong to the process, not to one
// interpreter: scripts on several threads take turns at both together.
std::mutex& environmentMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

char* makeAssignment(const char* name, const char* value) {
    size_t nameLength = std::strlen(name);
    size_t valueLength = std::strlen(value);
    char* text = new (std::nothrow) char[nameLength + valueLength + 2];
    if (!text) ZncHaltAndCatchFire("Out of memory in putenv");
    std::memcpy(text, name, nameLength);
    text[nameLength] = '=';
    std::memcpy(text + nameLength + 1, value, valueLength + 1);
    return text;
}

// Reads the command's output into a list of lines. A last line without a
// newline is kept: the command said it, so the script sees it.
ZnlObjPtr readLines(FILE* pipe) {
    ZnlObjPtr lines = ZnlObjPtr::nil();
    ZnlObj* tail = nullptr;
    std::string line;
    bool pending = false;
    for (int c = std::fgetc(pipe);; c = std::fgetc(pipe)) {
        if (c == EOF && !pending) break;
        if (c == '\n' || c == EOF) {
            ZnlObjPtr cell = ZncCons(ZnlObjPtr(line.c_str()), ZnlObjPtr::nil());
            if (tail)
                tail->setCdr(cell);
            else
                lines = cell;
            tail = cell.get();
            line.clear();
            pending = false;
            if (c == EOF) break;
            continue;
        }
        pending = true;
        if (static_cast<int>(line.size()) < kPopenLineMax) line += static_cast<char>(c);
    }
    return lines;
}

// Exit status for a float argument: truncated toward zero, and held inside
// the int range so the conversion is defined.
int exitStatusOf(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return 2147483647;
    if (value <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(value);
}

}  // namespace

ZnlObjPtr ZnlGetenv(const ZnlObjPtr& args, const ZnlObjPtr&) {
    const char* name =
        singleString(args, "Wrong number of args to getenv", "Non-string argument to getenv");
    const char* value = std::getenv(name);
    if (!value) return ZnlObjPtr::nil();
    if (ZnLispDebugOn) ZnInfo.printf("(getenv \"%s\") ==> \"%s\")\n", name, value);
    return ZnlObjPtr(value);
}

ZnlObjPtr ZnlPutenv(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 2) ZncHaltAndCatchFire("Wrong number of args to putenv");
    const ZnlObjPtr& name = args->carRef();
    const ZnlObjPtr& value = args->cdrRef()->carRef();
    if (!isString(name.get())) ZncHaltAndCatchFire("variable name must be string");
    if (!isString(value.get())) ZncHaltAndCatchFire("variable value must be string");
    if (tracingToStdout()) {
        std::printf("putenv ");
        ZncPrint(name);
        std::printf("     ==> ");
        ZncPrint(value);
    }
    std::unique_ptr<char[]> assignment(makeAssignment(textOf(name.get()), textOf(value.get())));
    std::lock_guard<std::mutex> lock(environmentMutex());
    std::vector<std::unique_ptr<char[]>>& buffers = environmentBuffers();
    buffers.push_back(std::move(assignment));
    if (putenv(buffers.back().get()) != 0) {
        buffers.pop_back();
        return ZnlObjPtr::nil();
    }
    return value;
}

// Output still buffered in this process is flushed first, so that it comes
// before the command's own output.
ZnlObjPtr ZnlSystem(const ZnlObjPtr& args, const ZnlObjPtr&) {
    const char* command =
        singleString(args, "Wrong number of args to system", "Non-string argument to system");
    std::fflush(nullptr);
    int status = std::system(command);
    return ZnlObjPtr(status >> 8);
}

ZnlObjPtr ZnlPopen(const ZnlObjPtr& args, const ZnlObjPtr&) {
    const char* command =
        singleString(args, "Wrong number of args to popen", "Non-string argument to popen");
    std::fflush(nullptr);
    PipePtr pipe(popen(command, "r"));
    if (!pipe) ZncHaltAndCatchFire("Lisp Error: Popen failed");
    return readLines(pipe.get());
}

ZnlObjPtr ZnlStringToNumber(const ZnlObjPtr& args, const ZnlObjPtr&) {
    const char* text =
        singleString(args, "No String to convert to number", "Non-string to string->number");
    int value = std::atoi(text);
    if (ZnLispDebugOn) ZnInfo.printf("(string->number \"%s\") ==> \"%d\")\n", text, value);
    return ZnlObjPtr(value);
}

ZnlObjPtr ZnlNumberToString(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 1) ZncHaltAndCatchFire("No number to convert to string");
    const ZnlObj* x = args->carRef().get();
    if (!x || x->tag() != ZnlFixnumTag) ZncHaltAndCatchFire("Non-integer to number->string");
    std::ostringstream text;
    text << x->fixnum();
    std::string digits = text.str();
    if (ZnLispDebugOn)
        ZnInfo.printf("(number->string \"%s\") ==> \"%s\")\n", digits.c_str(), digits.c_str());
    return ZnlObjPtr(digits.c_str());
}

ZnlObjPtr ZnlExit(const ZnlObjPtr& args, const ZnlObjPtr&) {
    int n = ZncLength(args);
    if (n > 1) ZncHaltAndCatchFire("Wrong number of args to exit");
    if (n == 0) std::exit(0);
    const ZnlObj* x = args->carRef().get();
    if (x && x->tag() == ZnlFixnumTag) std::exit(x->fixnum());
    if (x && x->tag() == ZnlFlonumTag) std::exit(exitStatusOf(x->flonum()));
    ZncHaltAndCatchFire("Non-number to exit");
}

ZnlObjPtr ZnlAbort(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (!ZncNull(args)) ZncHaltAndCatchFire("Wrong number of args to abort");
    std::abort();
}
