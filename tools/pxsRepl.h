// pxsRepl.h -- the pxs tool's read-eval-print loop: line editing, history
// and Ctrl-C on a terminal, plain datum-by-datum reading from a pipe.

#ifndef PXS_TOOLS_PXSREPL_H
#define PXS_TOOLS_PXSREPL_H

#include <pxs/pxs.h>

namespace pxsdetail {

// Writes `value` and a newline on standard output; nothing for an empty
// pointer (a failed evaluation).
void printValue(const ZnlObjPtr& value);

// Reads expressions from standard input until its end, evaluating each in
// `pxs` and printing its value; an error is printed on standard error and
// the loop goes on. On a terminal the prompts go to standard error, lines
// are edited (when built with line editing) and Ctrl-C abandons the line
// or the evaluation in progress; otherwise input is read as a script
// would be, without prompts.
void readEvalPrint(ZnPxsEnvironment& pxs);

}  // namespace pxsdetail

#endif
