// Matches directory entry names against one wildcard component.
//
//     TPathMatch matcher;
//     matcher.caseInsensitive();
//     matcher.setEscape('\\');
//     if (matcher.compilePattern("*.log", 1, 0) == 0 && matcher.matchName(name))
//         ...;
//
// The pattern grammar is the wildcard basename's: '*', '?', sets with '!' or '^'
// negation and ranges, and the escape character. Unlike the overlap test of
// basenames this is an exact match of the whole name. Names are bytes: a byte
// that is not part of valid UTF-8 stands for the code point U+DC00 + byte, so
// such names still match wildcards ("*.log" matches a Latin-1 name ending in .log).
#ifndef SUBCLIENTCONF_WILDCARD_TPATHMATCH_H
#define SUBCLIENTCONF_WILDCARD_TPATHMATCH_H

#include "wildcard/WCSubclients.h"

#include <memory>
#include <string>

class TPathMatch {
public:
    TPathMatch();
    virtual ~TPathMatch();
    TPathMatch(const TPathMatch&) = delete;
    TPathMatch& operator=(const TPathMatch&) = delete;

    // Case mode of later matching (case-sensitive until told otherwise);
    // insensitive matching folds ASCII letters only.
    void caseSensitive();
    void caseInsensitive();
    // The pattern's escape character (the backslash until told otherwise); set it before compilePattern.
    void setEscape(char escape);
    // Entry names never hold the path delimiter, so it takes no part in matching.
    void setDelimiter(char delimiter);

    // 0 when the pattern is accepted; non-zero for an empty pattern, one that is
    // not UTF-8 or one longer than a component may be. The two numbers are unused.
    virtual int compilePattern(const std::string& pattern, int, int);
    // Non-zero when the whole name matches the compiled pattern; 0 without one.
    virtual int matchName(const std::string& name);

private:
    bool matchesChar(WCToken& token, unsigned long c);

    std::unique_ptr<WCBasename> pattern_;
    bool caseSensitive_;
    unsigned long escape_;
};

#endif
