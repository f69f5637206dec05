// Catches SIGINT and SIGTERM, so that a long run can stop at a whole line,
// say that its answer is partial and exit with the conventional 128+signal.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_SIGNALS_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_SIGNALS_H

// A second signal of the same kind ends the run at once, as usual.
void catchInterrupts();

// The signal that asked the run to end, or 0.
int interruption();

#endif
