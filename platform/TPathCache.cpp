#include "platform/TPathCache.h"

#include "platform/KXLog.h"

#include <new>

TPathStore::TPathStore() = default;
TPathStore::~TPathStore() = default;

std::string TPathStore::key(const char* path) const
{
    std::string out;
    const char* p = path;
    if (*p == delimiter_)
        out += delimiter_;
    bool first = true;
    while (*p) {
        while (*p == delimiter_)
            ++p;
        if (!*p)
            break;
        if (!first)
            out += delimiter_;
        first = false;
        for (; *p && *p != delimiter_; ++p)
            out += (!caseSensitive_ && *p >= 'a' && *p <= 'z') ? static_cast<char>(*p - 'a' + 'A') : *p;
    }
    return out;
}

void TPathStore::applyRule(char delimiter, bool caseSensitive)
{
    char oldDelimiter = delimiter_;
    bool oldCaseSensitive = caseSensitive_;
    delimiter_ = delimiter;
    caseSensitive_ = caseSensitive;
    try {
        std::unordered_map<std::string, size_t> index;
        std::vector<std::pair<std::string, unsigned long long>> entries;
        for (const auto& entry : entries_)
            if (index.emplace(key(entry.first.c_str()), entries.size()).second)
                entries.push_back(entry);
        index_.swap(index);
        entries_.swap(entries);
    } catch (const std::bad_alloc&) {
        // Keys and rule must agree, so the old rule stays.
        delimiter_ = oldDelimiter;
        caseSensitive_ = oldCaseSensitive;
        KXLOG(-1, "No memory to re-key %lu paths, rule unchanged", static_cast<unsigned long>(entries_.size()));
    }
}

void TPathStore::setDelimiter(char delimiter)
{
    applyRule(delimiter, caseSensitive_);
}

void TPathStore::caseSensitive()
{
    applyRule(delimiter_, true);
}

void TPathStore::caseInsensitive()
{
    applyRule(delimiter_, false);
}

int TPathStore::insert(const char* path, unsigned long long value)
{
    if (!path)
        return -1;
    try {
        auto placed = index_.emplace(key(path), entries_.size());
        if (!placed.second) {
            entries_[placed.first->second].second = value;
            return 2;
        }
        try {
            entries_.emplace_back(path, value);
        } catch (const std::bad_alloc&) {
            index_.erase(placed.first);
            throw;
        }
        return 1;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

int TPathStore::search(const char* path, unsigned long long* value) const
{
    if (!path)
        return -1;
    try {
        auto found = index_.find(key(path));
        if (found == index_.end())
            return 0;
        if (value)
            *value = entries_[found->second].second;
        return 1;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

TPathCache::TPathCache() = default;

TPathCache::~TPathCache()
{
    delete store_;
}

void TPathCache::setDelimiter(char delimiter)
{
    delimiter_ = delimiter;
    if (store_)
        store_->setDelimiter(delimiter);
}

void TPathCache::caseSensitive()
{
    caseSensitive_ = true;
    if (store_)
        store_->caseSensitive();
}

void TPathCache::caseInsensitive()
{
    caseSensitive_ = false;
    if (store_)
        store_->caseInsensitive();
}

bool TPathCache::ensureStore()
{
    if (store_)
        return true;
    store_ = new (std::nothrow) TPathStore;
    if (!store_)
        return false;
    store_->setDelimiter(delimiter_);
    if (caseSensitive_)
        store_->caseSensitive();
    else
        store_->caseInsensitive();
    return true;
}

int TPathCache::insert(const char* path, unsigned long long* value)
{
    if (!path || !value || !ensureStore())
        return -1;
    return store_->insert(path, *value);
}

int TPathCache::search(const char* path, unsigned long long* value, int exact)
{
    if (!path || exact != 1)
        return -1;
    return store_ ? store_->search(path, value) : 0;
}
