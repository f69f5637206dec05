// A set left without members (only reversed ranges, as in [z-a]) matches no
// character, so a pattern holding one matches no name: the invariants that
// assume some name matches leave such patterns out.
#ifndef SUBCLIENTCONF_FUZZ_EMPTYSETS_H
#define SUBCLIENTCONF_FUZZ_EMPTYSETS_H

#include "wildcard/WCSubclients.h"

inline bool hasEmptySet(WCBasename& pattern)
{
    for (int k = 0; k < pattern.getTokens()->getSize(); ++k) {
        WCToken& token = pattern.getTokens()->get(k);
        WCTokenArgs args;
        if (!token.isStar() && !token.isQuestion() && token.getFixedChar() == 0 && !token.getFirst(args))
            return true;
    }
    return false;
}

inline bool hasEmptySet(WCPath& path)
{
    for (WCBasename* component : *path.getBasenames()) {
        if (hasEmptySet(*component))
            return true;
    }
    return false;
}

#endif
