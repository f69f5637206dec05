// Whole paths as lists of components, compared level by level from the root.
#include "wildcard/WCSubclients.h"
#include "wildcard/WCText.h"

#include "platform/TDebuggable.h"

#include <memory>
#include <new>

WCPath::WCPath() : delimiter('\\'), mode(PathModeLiteral) {}

WCPath::~WCPath()
{
    clean();
}

bool WCPath::parse(const std::string& text, PathMode mode)
try {
    if (text.empty()) {
        dbg.debug(1, "parse: empty path string\n");
        return true;
    }
    const char delimiter = text[0];
    const unsigned long escapeChar = delimiter == '\\' ? '/' : '\\';
    std::string::size_type begin = 1;
    while (begin < text.length()) {
        std::string::size_type end = text.find(delimiter, begin);
        const bool last = end == std::string::npos;
        if (last)
            end = text.length();
        const std::string component = text.substr(begin, end - begin);
        const bool wildCard = mode == PathModeAllWild || (mode == PathModeLastWild && last);
        WCBasename* basename = new (std::nothrow) WCBasename(escapeChar, wildCard);
        if (!basename) {
            dbg.debug(1, "parse: no memory\n");
            return true;
        }
        if (basename->parse(component)) {
            dbg.debug(1, "parse: cannot parse basename '%s' in path '%s'\n", component.c_str(), text.c_str());
            delete basename;
            return true;
        }
        if (!appendOwned(basenames, basename)) {
            dbg.debug(1, "parse: no memory\n");
            return true;
        }
        begin = end + 1;
    }
    this->mode = mode;
    path = text;
    this->delimiter = delimiter;
    return false;
} catch (const std::bad_alloc&) {
    // A component or path copy; the basenames parsed so far stay owned.
    dbg.debug(1, "parse: no memory\n");
    return true;
}

bool WCPath::couldContain(WCPath& other, bool caseSensitive)
{
    for (std::size_t k = 0; k < basenames.size(); ++k) {
        if (k >= other.basenames.size())
            return false;
        if (other.basenames[k]->isStarStar())
            return true;
        if (!basenames[k]->overlaps(*other.basenames[k], caseSensitive))
            return false;
    }
    return true;
}

bool WCPath::completelyContains(WCPath& other, bool caseSensitive)
{
    for (std::size_t k = 0; k < basenames.size(); ++k) {
        if (k >= other.basenames.size())
            return false;
        if (other.basenames[k]->isStarStar() || !basenames[k]->contains(*other.basenames[k], caseSensitive, 0, 0))
            return false;
    }
    return true;
}

WCPath* WCPath::createCaseInsensitivePath()
{
    std::unique_ptr<WCPath> copy(new (std::nothrow) WCPath());
    if (!copy) {
        dbg.debug(1, "out of memory");
        return nullptr;
    }
    copy->mode = PathModeAllWild;
    copy->delimiter = delimiter;
    try {
        std::string text;
        for (WCBasename* basename : basenames) {
            WCBasename* folded = basename->createCaseInsensitiveBasename();
            if (!appendOwned(copy->basenames, folded)) {
                dbg.debug(1, "unable to create case-insensitive basename for '%s'", basename->getBasename().c_str());
                return nullptr;
            }
            text += delimiter + folded->getBasename();
        }
        copy->path = basenames.empty() ? std::string(1, delimiter) : text;
    } catch (const std::bad_alloc&) {
        dbg.debug(1, "out of memory");
        return nullptr;
    }
    return copy.release();
}

std::vector<WCBasename*>* WCPath::getBasenames()
{
    return &basenames;
}

void WCPath::clean()
{
    for (WCBasename* basename : basenames)
        delete basename;
    basenames.clear();
}
