// Line sinks and line sources: where scan lists go and where text lines come from.
#ifndef SUBCLIENTCONF_DIRLIST_FSCALLBACK_H
#define SUBCLIENTCONF_DIRLIST_FSCALLBACK_H

#include "platform/TDebuggable.h"

#include <cstdio>

// Receives one line per call, without line end. A negative result means the
// output failed; producers stop at once.
class FSCallback : public TDebuggable {
public:
    FSCallback();
    virtual ~FSCallback();
    virtual int putLine(const char* line) = 0;
};

// Writes lines to a newly created file or to standard output.
class FSFileOutput : public FSCallback {
public:
    FSFileOutput();
    ~FSFileOutput() override;
    int putLine(const char* line) override;

    // Creates a new file; an existing file (or link) of that name is never touched. 0 or -1.
    int create(char* path);
    // Closes a created file and writes to standard output from now on.
    void useStdout();
    using TDebuggable::useStdout;

protected:
    FILE* stream;

public:
    // When non-zero, the next line starts with a TAB; reset after that line.
    int indentNext;

protected:
    char buffer[1025];  // scratch space for derived classes

private:
    void release();
};

// Delivers text lines, one per call.
class FSSubclientInput : public TDebuggable {
public:
    FSSubclientInput();
    virtual ~FSSubclientInput();
    // Fills buf (size bytes including the terminating zero): 1 a line, 0 end of input, -1 error.
    virtual int getLine(char* buf, int size) = 0;
};

// Reads lines from a file; CR LF and LF line ends are removed.
class FSFileInput : public FSSubclientInput {
public:
    FSFileInput();
    ~FSFileInput() override;
    int getLine(char* buf, int size) override;
    int open(char* path);

protected:
    FILE* stream;
    char buffer[1025];  // scratch space for derived classes
};

#endif
