#include "subclient/FSPatternCache.h"

struct FSPatternCache::Entry {
    explicit Entry(const char* t) : text(t) {}
    std::string text;
    WCPath path;
};

FSPatternCache::FSPatternCache() = default;
FSPatternCache::~FSPatternCache() = default;

WCPath* FSPatternCache::parse(const char* text, PathMode mode, WCPath& scratch)
{
    if (!active_)
        return scratch.parse(text, mode) ? nullptr : &scratch;
    return mode == PathModeAllWild ? keepPattern(text) : keepDirectory(text, mode);
}

std::unique_ptr<FSPatternCache::Entry> FSPatternCache::parsed(const char* text, PathMode mode)
{
    std::unique_ptr<Entry> entry(new Entry(text));
    if (entry->path.parse(entry->text, mode))
        entry.reset();
    return entry;
}

WCPath* FSPatternCache::keepDirectory(const char* text, PathMode mode)
{
    Index& index = directories_[mode == PathModeLiteral ? 0 : 1];
    Index::iterator found = index.find(std::string_view(text));
    if (found != index.end())
        return &found->second->path;
    std::unique_ptr<Entry> entry = parsed(text, mode);
    if (!entry)
        return nullptr;
    WCPath* path = &entry->path;
    index.emplace(std::string_view(entry->text), std::move(entry));
    return path;
}

WCPath* FSPatternCache::keepPattern(const char* text)
{
    if (!pattern_ || pattern_->text != text) {
        std::unique_ptr<Entry> entry = parsed(text, PathModeAllWild);
        if (!entry)
            return nullptr;
        pattern_ = std::move(entry);
    }
    return &pattern_->path;
}

void FSPatternCache::clear()
{
    for (Index& index : directories_)
        index.clear();
    pattern_.reset();
}

FSPatternCache::Session::Session(FSPatternCache& cache) : cache_(cache)
{
    cache_.active_ = true;
}

FSPatternCache::Session::~Session()
{
    cache_.active_ = false;
}
