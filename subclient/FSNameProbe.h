// A path component compared with wildcard patterns as a literal basename.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSNAMEPROBE_H
#define SUBCLIENTCONF_SUBCLIENT_FSNAMEPROBE_H

#include "wildcard/WCSubclients.h"

#include <optional>
#include <string_view>

// Answers pattern.overlaps(probe) for a literal basename probe parsed from a
// name, with the same walk as WCBasename::overlaps, whose literal side's
// tokens are its characters: the name's code points stand in for a token
// per character. A name that does not convert, or a pattern without tokens,
// goes through a parsed basename, so the parser's messages stay the same.
class FSNameProbe {
public:
    explicit FSNameProbe(char escapeChar);
    FSNameProbe(const FSNameProbe&) = delete;
    FSNameProbe& operator=(const FSNameProbe&) = delete;

    // False, after the parser's messages, when name is no literal basename.
    // The name's text must outlive the probe's use of it.
    bool set(std::string_view name);
    bool overlappedBy(WCBasename& pattern, bool caseSensitive);

private:
    WCBasename* parsed();
    bool matchesCharacter(WCToken& mine, int k, bool caseSensitive);

    unsigned long escapeChar_;
    std::string_view name_;
    unsigned long codes_[WCConverter::capacity];
    unsigned int length_ = 0;
    bool converted_ = false;
    bool parseTried_ = false;
    bool parseFailed_ = false;
    std::optional<WCBasename> basename_;
};

#endif
