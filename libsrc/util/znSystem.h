// znSystem.h -- the three system calls the library needs from its host.

#ifndef UTIL_ZNSYSTEM_H
#define UTIL_ZNSYSTEM_H

// Name of the running operating system ("Linux" here).
const char* ZnOperatingSystem();
// Sleeps for `seconds` (fractions allowed; non-positive returns at once).
void ZnSleep(double seconds);
// Non-zero once a key is waiting on standard input. Never blocks. Also
// non-zero when standard input is at end of file or is not a terminal, so
// that a loop waiting for a key cannot hang a process nobody can answer.
int ZnPollBlockingInputChar();

#endif
