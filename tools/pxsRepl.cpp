// pxsRepl.cpp -- the pxs tool's read-eval-print loop. From a pipe it reads
// one datum at a time straight from standard input, so piped sessions see
// exactly what a script would. On a terminal it reads whole lines (edited
// with libedit when the build found it), keeps asking with a continuation
// prompt until the forms typed are complete, and turns Ctrl-C into
// abandoning the line or stopping the evaluation, never the process.

#include "pxsRepl.h"

#include <pthread.h>
#include <sys/select.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#ifdef PXS_HAVE_LIBEDIT
#include <histedit.h>
#endif

namespace pxsdetail {

namespace {

constexpr const char* kPrompt = "pxs> ";
constexpr const char* kContinuation = "...> ";
constexpr const char* kInterrupted = "ZnException: PXS Error: Interrupted";

volatile std::sig_atomic_t interruptRequested = 0;

extern "C" void requestInterrupt(int) {
    interruptRequested = 1;
}

// While in scope, Ctrl-C sets the flag the evaluator watches instead of
// ending the process. No SA_RESTART: a read waiting for a line must return
// so the line can be abandoned.
class InterruptScope {
public:
    InterruptScope() {
        struct sigaction action {};
        action.sa_handler = requestInterrupt;
        sigemptyset(&action.sa_mask);
        installed_ = sigaction(SIGINT, &action, &saved_) == 0;
        ZnlSetInterruptFlag(&interruptRequested);
    }
    ~InterruptScope() {
        ZnlSetInterruptFlag(nullptr);
        if (installed_) sigaction(SIGINT, &saved_, nullptr);
    }
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

private:
    struct sigaction saved_ {};
    bool installed_ = false;
};

void printError(const ZnException& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", e.initialException().message().c_str());
}

// Registered host variables (ZnNotifyLevel) are copied around every
// evaluation, as a load would.
ZnlObjPtr evalOne(ZnPxsEnvironment& pxs, const ZnlObjPtr& datum) {
    ZncCToLisp(pxs.params);
    ZnlObjPtr value = ZncEval(datum, pxs.env());
    ZncLispToC(pxs.params);
    return value;
}

// One datum at a time from standard input, so an expression may span lines.
void readEvalPrintPiped(ZnPxsEnvironment& pxs) {
    ZnlFileInputStream in(stdin);
    ZnlObjPtr& frame = pxs.env();
    ZnlObjPtr eof = ZncIntern("eof", frame);
    for (;;) {
        try {
            ZnlObjPtr datum = ZncRead(&in, frame);
            if (datum == eof) break;
            printValue(evalOne(pxs, datum));
        } catch (const ZnException& e) {
            printError(e);
        }
    }
}

// Whether the text typed so far holds only complete forms, judged the way
// the reader splits it: a double quote opens a string and a semicolon a
// comment only where a datum may start, not inside a token such as a"b.
bool formsComplete(const std::string& text) {
    const int escape = ZnPxsReadEscapeChar ? static_cast<unsigned char>(*ZnPxsReadEscapeChar) : -2;
    int open = 0;
    bool atDatumStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (atDatumStart && c == '"') {
            for (++i; i < text.size() && text[i] != '"'; ++i)
                if (static_cast<unsigned char>(text[i]) == escape && i + 1 < text.size() &&
                    text[i + 1] == '"')
                    ++i;
            if (i >= text.size()) return false;
            atDatumStart = false;
            continue;
        }
        if (atDatumStart && c == ';') {
            while (i < text.size() && text[i] != '\n') ++i;
            continue;
        }
        if (c == '(') ++open;
        if (c == ')') --open;
        atDatumStart = c == '(' || c == ')' || c == '\'' || std::isspace(c);
    }
    return open <= 0;
}

bool blank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

// Evaluates every form of one complete input; an interrupt abandons the
// forms after the one it stopped.
void evalInput(ZnPxsEnvironment& pxs, const std::string& text) {
    ZnlStringInputStream in(text.c_str());
    ZnlObjPtr& frame = pxs.env();
    ZnlObjPtr eof = ZncIntern("eof", frame);
    for (;;) {
        try {
            ZnlObjPtr datum = ZncRead(&in, frame);
            if (datum == eof) return;
            printValue(evalOne(pxs, datum));
        } catch (const ZnException& e) {
            printError(e);
            if (e.initialException().message() == kInterrupted) return;
        }
    }
}

// One byte of standard input: 1 when read, 0 at its end, -1 on Ctrl-C or
// an error. SIGINT is let in only while waiting in pselect, so a Ctrl-C
// that comes between two reads is not lost before a read that would then
// wait for a key.
int readByte(char& byte) {
    sigset_t interrupt;
    sigset_t waiting;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    pthread_sigmask(SIG_BLOCK, &interrupt, &waiting);
    int result = -1;
    for (;;) {
        if (interruptRequested) break;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(STDIN_FILENO, &readable);
        if (pselect(STDIN_FILENO + 1, &readable, nullptr, nullptr, nullptr, &waiting) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        ssize_t n = ::read(STDIN_FILENO, &byte, 1);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        result = n > 0 ? 1 : n == 0 ? 0 : -1;
        break;
    }
    pthread_sigmask(SIG_SETMASK, &waiting, nullptr);
    return result;
}

enum class Got { Line, Interrupted, End };

// Where terminal lines come from: libedit when built with it, else plain
// reads with the prompt on standard error.
class LineSource {
public:
    LineSource();
    ~LineSource();
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    // A Ctrl-C from here on abandons the line; one after the line was taken
    // is left for the evaluation of what it holds.
    Got read(const char* prompt, std::string& line);
    void remember(const std::string& input);

private:
#ifdef PXS_HAVE_LIBEDIT
    static char* promptText(EditLine*) { return const_cast<char*>(currentPrompt); }
    static int readCharacter(EditLine*, wchar_t* character);
    static const char* currentPrompt;
    EditLine* editor_ = nullptr;
    History* history_ = nullptr;
    std::string historyFile_;
#endif
    Got readPlain(const char* prompt, std::string& line);
};

Got LineSource::readPlain(const char* prompt, std::string& line) {
    std::fputs(prompt, stderr);
    std::fflush(stderr);
    line.clear();
    for (;;) {
        char byte = 0;
        int got = readByte(byte);
        if (got < 0 && interruptRequested) {
            interruptRequested = 0;
            return Got::Interrupted;
        }
        if (got <= 0) return line.empty() ? Got::End : Got::Line;
        line += byte;
        if (byte == '\n') return Got::Line;
    }
}

#ifdef PXS_HAVE_LIBEDIT

const char* LineSource::currentPrompt = kPrompt;

// The line editor's own reader tries a read again after a signal, so the
// line would survive Ctrl-C; this one gives up on it instead. Bytes that
// are no character of the locale are passed on one by one.
int LineSource::readCharacter(EditLine*, wchar_t* character) {
    std::mbstate_t state{};
    for (;;) {
        char byte = 0;
        int got = readByte(byte);
        if (got <= 0) return got;
        std::size_t used = std::mbrtowc(character, &byte, 1, &state);
        if (used == static_cast<std::size_t>(-2)) continue;
        if (used == static_cast<std::size_t>(-1)) *character = static_cast<unsigned char>(byte);
        return 1;
    }
}

LineSource::LineSource() {
    editor_ = el_init("pxs", stdin, stderr, stderr);
    if (!editor_) return;
    history_ = history_init();
    HistEvent event;
    if (history_) {
        history(history_, &event, H_SETSIZE, 1000);
        history(history_, &event, H_SETUNIQUE, 1);
        if (const char* home = std::getenv("HOME")) {
            historyFile_ = std::string(home) + "/.pxs_history";
            history(history_, &event, H_LOAD, historyFile_.c_str());
        }
        el_set(editor_, EL_HIST, history, history_);
    }
    el_set(editor_, EL_EDITOR, "emacs");
    el_set(editor_, EL_SIGNAL, 1);  // the terminal is put back however a signal ends us
    el_set(editor_, EL_PROMPT, &LineSource::promptText);
    el_set(editor_, EL_GETCFN, &LineSource::readCharacter);
    el_source(editor_, nullptr);
}

LineSource::~LineSource() {
    HistEvent event;
    if (history_ && !historyFile_.empty()) history(history_, &event, H_SAVE, historyFile_.c_str());
    if (editor_) el_end(editor_);
    if (history_) history_end(history_);
}

Got LineSource::read(const char* prompt, std::string& line) {
    if (!editor_) return readPlain(prompt, line);
    currentPrompt = prompt;
    for (;;) {
        int count = 0;
        errno = 0;
        const char* text = el_gets(editor_, &count);
        // A Ctrl-C that came with or just after Enter is for the evaluation
        // of the finished line, which the flag, left set, then stops.
        bool finished = text && count > 0 && text[count - 1] == '\n';
        if (interruptRequested && !finished) {
            interruptRequested = 0;
            el_reset(editor_);
            std::fputc('\n', stderr);
            return Got::Interrupted;
        }
        if (text && count > 0) {
            line.assign(text, static_cast<std::size_t>(count));
            return Got::Line;
        }
        if (count < 0 && errno == EINTR) continue;  // another signal, such as a resize
        return Got::End;
    }
}

void LineSource::remember(const std::string& input) {
    if (!history_) return;
    std::string entry = input;
    while (!entry.empty() && (entry.back() == '\n' || entry.back() == '\r')) entry.pop_back();
    HistEvent event;
    history(history_, &event, H_ENTER, entry.c_str());
}

#else

LineSource::LineSource() = default;
LineSource::~LineSource() = default;
Got LineSource::read(const char* prompt, std::string& line) {
    return readPlain(prompt, line);
}
void LineSource::remember(const std::string&) {}

#endif

void readEvalPrintTerminal(ZnPxsEnvironment& pxs) {
    InterruptScope interrupts;
    LineSource lines;
    std::string input;
    for (;;) {
        std::string line;
        interruptRequested = 0;
        Got got = lines.read(input.empty() ? kPrompt : kContinuation, line);
        if (got == Got::End) break;
        if (got == Got::Interrupted) {
            input.clear();
            continue;
        }
        input += line;
        if (input.back() != '\n') input += '\n';
        if (blank(input)) {
            input.clear();
            continue;
        }
        if (!formsComplete(input)) continue;
        lines.remember(input);
        evalInput(pxs, input);
        input.clear();
    }
    // An unfinished form at the end is read as the pipe would read it, so
    // its error is reported rather than dropped.
    if (!blank(input)) evalInput(pxs, input);
    std::fputc('\n', stderr);
}

}  // namespace

void printValue(const ZnlObjPtr& value) {
    if (!value) return;
    value->ZncObjFprint(stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void readEvalPrint(ZnPxsEnvironment& pxs) {
    if (isatty(STDIN_FILENO))
        readEvalPrintTerminal(pxs);
    else
        readEvalPrintPiped(pxs);
}

}  // namespace pxsdetail
