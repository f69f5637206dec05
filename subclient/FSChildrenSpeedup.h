// Child index of a content-tree node: component name -> child node.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSCHILDRENSPEEDUP_H
#define SUBCLIENTCONF_SUBCLIENT_FSCHILDRENSPEEDUP_H

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

class FSSubclientNode;

// Ordering chosen at run time: byte order, or byte order after folding ASCII
// letters to upper case (bytes 128-255 never fold).
class RuntimeStringCmp {
public:
    // Lookups by a C string need not build a std::string (which could throw).
    typedef void is_transparent;

    RuntimeStringCmp(bool caseSensitive = true);
    bool operator()(const std::string& a, const std::string& b) const;
    bool operator()(std::string_view a, std::string_view b) const;
    bool operator()(const char* a, const char* b) const;
    static bool nocase_compare(char a, char b);

    bool caseSensitive;
};

class FSChildrenSpeedup {
public:
    typedef std::map<std::string, FSSubclientNode*, RuntimeStringCmp> Map;

    explicit FSChildrenSpeedup(bool caseSensitive);
    virtual ~FSChildrenSpeedup();
    FSChildrenSpeedup(const FSChildrenSpeedup&) = delete;
    FSChildrenSpeedup& operator=(const FSChildrenSpeedup&) = delete;

    // 0 added; -1 name already present (the existing entry stays); -2 no map or other failure.
    int add(const char* name, FSSubclientNode* node);
    // 1 found (stored through node when not null); 0 not found; -1 no map.
    int find(const char* name, FSSubclientNode** node);
    void remove(const char* name);
    // True when there is a map and it compares names in this case mode.
    bool serves(bool caseSensitive) const;

private:
    Map* map;              // null when it could not be allocated
    RuntimeStringCmp* cmp;  // case-insensitive mode only
};

#endif
