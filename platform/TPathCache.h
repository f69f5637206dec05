// A set of paths, each with a 64-bit value, looked up by hash.
//
// Two paths are the same when they have the same components: the text is split
// at the delimiter (default '/'), empty components (doubled or trailing
// delimiters) do not count, and a leading delimiter does ("/a/b" and "/a//b/"
// are one path, "a/b" another). In case-insensitive mode ASCII letters compare
// without case; the default is case-sensitive. Changing the delimiter or the
// case mode re-reads the stored paths under the new rule; where two of them
// become one, the earlier insert keeps its value.
#ifndef SUBCLIENTCONF_PLATFORM_TPATHCACHE_H
#define SUBCLIENTCONF_PLATFORM_TPATHCACHE_H

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class TPathStore {
public:
    TPathStore();
    ~TPathStore();
    void setDelimiter(char delimiter);
    void caseSensitive();
    void caseInsensitive();
    // 1 when the path is new, 2 when it was there (its value replaced), -1 on a
    // null argument or when memory is short.
    int insert(const char* path, unsigned long long value);
    // 1 with the value filled (when value is not null), 0 when absent, -1 on a null path.
    int search(const char* path, unsigned long long* value) const;

private:
    std::string key(const char* path) const;
    void applyRule(char delimiter, bool caseSensitive);  // re-keys the stored paths

    char delimiter_ = '/';
    bool caseSensitive_ = true;
    std::unordered_map<std::string, size_t> index_;                    // key -> position in entries_
    std::vector<std::pair<std::string, unsigned long long>> entries_;  // paths as inserted, in order
};

class TPathCache {
public:
    TPathCache();
    ~TPathCache();
    TPathCache(const TPathCache&) = delete;
    TPathCache& operator=(const TPathCache&) = delete;

    void setDelimiter(char delimiter);
    void caseSensitive();
    void caseInsensitive();
    // Stores *value with the path: 1 new, 2 replaced; below 1 a failure (null
    // argument, no memory).
    int insert(const char* path, unsigned long long* value);
    // exact must be 1 (the path itself; the only search this cache offers):
    // 1 found (value filled when not null), 0 absent, -1 on a bad argument.
    int search(const char* path, unsigned long long* value, int exact);

private:
    bool ensureStore();

    TPathStore* store_ = nullptr;  // created on the first insert
    char delimiter_ = '/';
    bool caseSensitive_ = true;
};

#endif
