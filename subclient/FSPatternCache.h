// Parsed forms of the directory texts that pathTest compares paths with.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSPATTERNCACHE_H
#define SUBCLIENTCONF_SUBCLIENT_FSPATTERNCACHE_H

#include "wildcard/WCSubclients.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

// Parsing the same scan start points and nodirs on every pathTest call costs
// more than the comparisons themselves. While a pathTest call runs (see
// Session), directory texts are kept parsed by text and mode until clear(),
// and the pattern of the call is parsed once. Outside a session every text is
// parsed afresh, so direct tests with ever new texts keep nothing.
// A parse depends on nothing but its text and mode, so kept forms give the
// same answers as fresh ones.
class FSPatternCache {
public:
    FSPatternCache();
    ~FSPatternCache();
    FSPatternCache(const FSPatternCache&) = delete;
    FSPatternCache& operator=(const FSPatternCache&) = delete;

    // The parsed form of text, or null when it does not parse. Failures are
    // never kept, so the parser's messages are written on every attempt.
    // Without a session the text is parsed into scratch.
    WCPath* parse(const char* text, PathMode mode, WCPath& scratch);
    void clear();

    // Keeps parsed forms for the lifetime of this object.
    class Session {
    public:
        explicit Session(FSPatternCache& cache);
        ~Session();
        Session(const Session&) = delete;
        Session& operator=(const Session&) = delete;

    private:
        FSPatternCache& cache_;
    };

private:
    struct Entry;
    using Index = std::unordered_map<std::string_view, std::unique_ptr<Entry>>;

    static std::unique_ptr<Entry> parsed(const char* text, PathMode mode);
    WCPath* keepDirectory(const char* text, PathMode mode);
    WCPath* keepPattern(const char* text);

    Index directories_[2];            // by mode: literal, last component wildcard
    std::unique_ptr<Entry> pattern_;  // the pattern of the running call
    bool active_ = false;
};

#endif
