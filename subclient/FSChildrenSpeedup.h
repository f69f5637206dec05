// Child index of a content-tree node: component name -> child node.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSCHILDRENSPEEDUP_H
#define SUBCLIENTCONF_SUBCLIENT_FSCHILDRENSPEEDUP_H

#include "subclient/FSNameHash.h"

#include <cstddef>
#include <cstdint>
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

// Component name -> child node, names equal in the index's case mode being
// one key. An open-addressing table rather than a tree of nodes: a lookup
// reads one or two neighbouring slots, with names up to kInlineName bytes in
// the slot itself, instead of a dozen scattered nodes.
class FSChildrenSpeedup {
public:
    explicit FSChildrenSpeedup(bool caseSensitive);
    virtual ~FSChildrenSpeedup();
    FSChildrenSpeedup(const FSChildrenSpeedup&) = delete;
    FSChildrenSpeedup& operator=(const FSChildrenSpeedup&) = delete;

    // 0 added; -1 name already present (the existing entry stays); -2 no map or other failure.
    int add(const char* name, FSSubclientNode* node);
    // 1 found (stored through node when not null); 0 not found; -1 no map.
    int find(const char* name, FSSubclientNode** node);
    void remove(const char* name);
    // Does the index answer lookups in this case mode?
    bool serves(bool caseSensitive) const;

private:
    static const std::size_t kInlineName = 16;

    struct Slot {
        FSSubclientNode* node;  // null: free
        std::uint32_t tag;      // upper half of the name's hash; its low bits give the home slot
        std::uint32_t size;     // the name's length + 1; 0: free
        union {
            char text[kInlineName];
            char* heap;  // owned, for longer names
        } name;
    };

    std::uint32_t tagOf(std::string_view name) const;
    // The slot holding name, whose tag is tag, or the free slot where it belongs.
    std::size_t lookup(std::string_view name, std::uint32_t tag) const;
    std::size_t next(std::size_t at) const { return (at + 1) & mask_; }
    bool grow();
    static const char* nameOf(const Slot& slot);

    FSNameHash hash_;
    Slot* slots_;  // null when it could not be allocated
    std::size_t mask_;
    std::size_t count_;
};

#endif
