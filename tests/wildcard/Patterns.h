// Small builders shared by the wildcard engine's tests.
#ifndef SUBCLIENTCONF_TESTS_WILDCARD_PATTERNS_H
#define SUBCLIENTCONF_TESTS_WILDCARD_PATTERNS_H

#include "wildcard/WCSubclients.h"

#include <memory>
#include <string>

// A basename parsed from text; null when the parse failed.
inline std::unique_ptr<WCBasename> parsed(const std::string& text, bool wildCard = true, unsigned long escape = '\\')
{
    std::unique_ptr<WCBasename> basename(new WCBasename(escape, wildCard));
    if (basename->parse(text))
        return nullptr;
    return basename;
}

// A pattern of one token, kept alive with the token it yields.
struct OneToken {
    explicit OneToken(const std::string& text) : basename(parsed(text)) {}
    WCToken& token() { return basename->getTokens()->get(0); }
    std::unique_ptr<WCBasename> basename;
};

#endif
