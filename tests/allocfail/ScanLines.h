// Scan-list sinks for the scenarios.
#ifndef SUBCLIENTCONF_TESTS_SCANLINES_H
#define SUBCLIENTCONF_TESTS_SCANLINES_H

#include "dirlist/FSCallback.h"

#include <string>

class FSSubclientConf;

// Keeps the lines in a fixed buffer, so that the sink itself allocates
// nothing; lines beyond its room are cut.
class FixedLines : public FSCallback {
public:
    int putLine(const char* line) override;
    const char* text() const { return text_; }

private:
    char text_[8192] = "";
};

// Every subclient's dirnames and nodirs, as one text (for checks made outside
// the counted windows).
std::string scanLists(FSSubclientConf& conf);

#endif
