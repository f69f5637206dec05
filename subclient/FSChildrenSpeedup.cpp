#include "subclient/FSChildrenSpeedup.h"

#include "platform/KXLog.h"

#include <algorithm>
#include <new>

namespace {

const char* const kOutOfMemory = "out of memory in FSChildrenSpeedup";
const char* const kNoMap = "children map not allocated";

// Upper-cases ASCII letters only; any other value, bytes 128-255 arriving
// as negative values included, stays as it is.
int foldAscii(char c) {
    int v = static_cast<signed char>(c);
    return (v >= 'a' && v <= 'z') ? v - ('a' - 'A') : v;
}

}  // namespace

RuntimeStringCmp::RuntimeStringCmp(bool caseSensitive) : caseSensitive(caseSensitive) {}

bool RuntimeStringCmp::operator()(const std::string& a, const std::string& b) const {
    return (*this)(std::string_view(a), std::string_view(b));
}

bool RuntimeStringCmp::operator()(std::string_view a, std::string_view b) const {
    if (caseSensitive)
        return a < b;  // char_traits<char> compares bytes as unsigned values
    // The order of lexicographical_compare with nocase_compare, in a loop the
    // compiler can inline: every lookup of a case-insensitive index runs it.
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int x = foldAscii(a[i]), y = foldAscii(b[i]);
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

bool RuntimeStringCmp::operator()(const char* a, const char* b) const {
    return (*this)(std::string_view(a), std::string_view(b));
}

bool RuntimeStringCmp::nocase_compare(char a, char b) {
    return foldAscii(a) < foldAscii(b);
}

FSChildrenSpeedup::FSChildrenSpeedup(bool caseSensitive) : map(nullptr), cmp(nullptr) {
    if (caseSensitive) {
        map = new (std::nothrow) Map();
    } else {
        cmp = new (std::nothrow) RuntimeStringCmp(false);
        if (!cmp) {
            KXLOG(-1, "%s 1", kOutOfMemory);
            return;
        }
        map = new (std::nothrow) Map(*cmp);
    }
    if (!map)
        KXLOG(-1, "%s 2", kOutOfMemory);
}

FSChildrenSpeedup::~FSChildrenSpeedup() {
    delete cmp;
    delete map;
}

int FSChildrenSpeedup::add(const char* name, FSSubclientNode* node) {
    if (!map) {
        KXLOG(1, "%s", kNoMap);
        return -2;
    }
    bool inserted;
    try {
        inserted = map->emplace(name, node).second;
    } catch (const std::exception&) {
        KXLOG(1, "Add '%s' failed - other reason", name);
        return -2;
    }
    if (inserted)
        return 0;
    KXLOG(1, "Add '%s' failed - already in map", name);
    return -1;
}

int FSChildrenSpeedup::find(const char* name, FSSubclientNode** node) {
    if (!map) {
        KXLOG(-1, "%s", kNoMap);
        return -1;
    }
    Map::const_iterator it = map->find(std::string_view(name));
    if (it == map->end())
        return 0;
    if (node)
        *node = it->second;
    return 1;
}

bool FSChildrenSpeedup::serves(bool caseSensitive) const {
    return map && (cmp == nullptr) == caseSensitive;
}

void FSChildrenSpeedup::remove(const char* name) {
    if (!map)
        return;
    Map::const_iterator it = map->find(std::string_view(name));
    if (it != map->end())
        map->erase(it);
}
