// The interactive test console: builds a configuration from a file of
// subclient definitions, prints every subclient's scan lists, then answers
// directory-list, pattern-containment and pattern-test questions typed on
// standard input.
#ifndef SUBCLIENTCONF_CONSOLE_SCMAIN_H
#define SUBCLIENTCONF_CONSOLE_SCMAIN_H

// File format, one definition per line: a line whose first byte is a TAB
// names the next subclient; any other line is a content line of the subclient
// named last. Returns 0 after the last interactive phase, 1 when the file
// cannot be opened or read, a definition is rejected, or the scan lists fail.
int scMain(const char* path);

#endif
