#include "subclient/FSSubclientConfPrivate.h"

#include "subclient/FSChildrenSpeedup.h"

#include "wildcard/WCSubclients.h"

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

bool plainAscii(std::string_view name)
{
    for (char c : name)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Ends the search: node is what it found, wildcard the wildcard child that
// also matched the last component (see searchWildcardNode).
int settle(CFSSubclientConfPrivate& p, FSSubclientNode* node, FSSubclientNode* wildcard, int found)
{
    p.searchNode = node;
    p.searchWildcardNode = wildcard;
    return found;
}

// Steps through the tree itself: sibling chains and child indexes.
class TreeWalk {
public:
    TreeWalk(FSSubclientNode* node, bool caseSensitive) : node_(node), caseSensitive_(caseSensitive) {}

    FSSubclientNode* node() const { return node_; }
    bool hasChildren() const { return node_->firstChild != nullptr; }

    // Calls visit with each wildcard child in sibling order, and what tells
    // whether a literal probe overlaps it, while visit returns true.
    template <class Visit>
    void eachWildcard(Visit visit) const
    {
        if (!node_->hasWildcardChildren)
            return;
        for (FSSubclientNode* child = node_->firstChild; child; child = child->nextSibling) {
            auto overlaps = [child](WCBasename* probe, std::string_view, bool caseSensitive) {
                return child->pattern->overlaps(*probe, caseSensitive);
            };
            if (child->pattern->isWildCard() && !visit(child, true, overlaps))
                return;
        }
    }

    // Below a node that never had a wildcard child the child index holds
    // every child, the first of equal names, so a lookup answers as the
    // sibling scan.
    FSSubclientNode* literal(std::string_view component)
    {
        name_.assign(component.data(), component.size());
        if (!node_->hasWildcardChildren && node_->childIndex && node_->childIndex->serves(caseSensitive_)) {
            FSSubclientNode* found = nullptr;
            return node_->childIndex->find(name_.c_str(), &found) == 1 ? found : nullptr;
        }
        return firstChildNamed(node_, name_, caseSensitive_);
    }

    void descend(FSSubclientNode* child) { node_ = child; }

    // The tree takes every level through the generic turn.
    bool literalLevels(CFSSubclientConfPrivate&, const char*&, int&) { return false; }

    // The component at or after path; empty when none is left.
    static std::string_view component(const char* path, char delim)
    {
        while (*path == delim)
            ++path;
        const char* end = strchr(path, delim);
        return std::string_view(path, end ? static_cast<size_t>(end - path) : strlen(path));
    }

private:
    FSSubclientNode* node_;
    bool caseSensitive_;
    std::string name_;  // one buffer for every level
};

// Steps through the search index from its root; the same children in the
// same order as TreeWalk. Each component is found and hashed in one pass.
class IndexWalk {
public:
    IndexWalk(const FSSearchIndex& index, const char* path)
        : index_(index), slot_(index.rootSlot()), entry_(&index.entry(slot_)), key_(FSSearchIndex::rootKey()),
          stop_(path + strlen(path))
    {}

    FSSubclientNode* node() const { return entry_->node; }
    bool hasChildren() const { return entry_->hasChildren; }

    template <class Visit>
    void eachWildcard(Visit visit) const
    {
        const FSSearchIndex::Wildcard* wildcards = index_.wildcards(*entry_);
        for (std::uint32_t i = 0; i < entry_->wildcardCount; ++i) {
            const FSSearchIndex::Wildcard& wildcard = wildcards[i];
            auto overlaps = [this, &wildcard](WCBasename* probe, std::string_view name, bool caseSensitive) {
                return wildcard.simple ? index_.simpleOverlaps(wildcard, name)
                                       : wildcard.node->pattern->overlaps(*probe, caseSensitive);
            };
            if (!visit(wildcard.node, !wildcard.simple, overlaps))
                return;
        }
    }

    std::string_view component(const char* path, char delim)
    {
        if (at_ == count_)
            readAhead(path, delim);
        return std::string_view(levels_[at_].text, levels_[at_].name.length);
    }

    // component is what component() returned last.
    FSSubclientNode* literal(std::string_view)
    {
        found_ = index_.literalChild(slot_, levels_[at_].name, levels_[at_].text);
        return found_ == FSSearchIndex::kNone ? nullptr : index_.entry(found_).node;
    }

    // child is what literal returned last.
    void descend(FSSubclientNode*) { enter(found_); }

    // Most levels lead to a node without wildcard children, where the
    // generic turn of the search comes down to the literal lookup; this loop
    // takes those without its bookkeeping. True when the search ends here,
    // with its result; false at a level the generic turn must take, path
    // then being that level's.
    bool literalLevels(CFSSubclientConfPrivate& p, const char*& path, int& result)
    {
        for (;;) {
            if (at_ == count_)
                readAhead(path, p.delim);
            const Level& level = levels_[at_];
            if (!level.name.length || !entry_->hasChildren) {
                result = settle(p, entry_->node, nullptr, level.name.length ? 0 : 1);
                return true;
            }
            if (entry_->wildcardCount)
                return false;
            const std::uint32_t child = index_.literalChild(slot_, level.name, level.text);
            const char* end = level.text + level.name.length;
            if (child == FSSearchIndex::kNone || !*end) {
                result = child == FSSearchIndex::kNone ? settle(p, entry_->node, nullptr, 0)
                                                       : settle(p, index_.entry(child).node, nullptr, 1);
                return true;
            }
            enter(child);
            path = end + 1;
        }
    }

private:
    // Down to the child in slot, the one the current level names.
    void enter(std::uint32_t slot)
    {
        key_ = levels_[at_].name.key;
        slot_ = slot;
        entry_ = &index_.entry(slot_);
        ++at_;
    }

    struct Level {
        FSNameHash::Component name;
        const char* text;
    };

    // The levels of a path are looked up one after the other; finding the
    // next few at once, and starting the memory loads of their records,
    // saves waiting for each. The last level read may be the empty one
    // past the path's end.
    void readAhead(const char* path, char delim)
    {
        at_ = count_ = 0;
        std::uint64_t key = key_;
        do {
            while (*path == delim)
                ++path;
            Level& level = levels_[count_++];
            level.name = index_.scan(key, path, stop_, delim);
            level.text = path;
            if (!level.name.length)
                break;
            index_.prefetch(level.name.key);
            key = level.name.key;
            path += level.name.length;
        } while (count_ < kReadAhead);
    }

    static const int kReadAhead = 16;

    const FSSearchIndex& index_;
    std::uint32_t slot_;
    const FSSearchIndex::Entry* entry_;
    std::uint64_t key_;
    const char* stop_;  // the path's end
    std::uint32_t found_ = FSSearchIndex::kNone;
    int at_ = 0;
    int count_ = 0;
    Level levels_[kReadAhead];
};

// The search proper, one loop turn per path component, so a deep path costs
// no stack. Messages name the call the object serves (recursiveSearch) as their reporter.
template <class Walk>
int searchFrom(CFSSubclientConfPrivate& p, Walk& walk, const char* path)
{
    // The component as a literal basename, for comparing it with wildcard
    // children: parsed at most once per level, into one object per search.
    std::optional<WCBasename> probe;
    std::string probeText;
    for (;;) {
        int result;
        if (walk.literalLevels(p, path, result))
            return result;
        const char* levelPath = path;
        const std::string_view component = walk.component(path, p.delim);
        if (component.empty() || !walk.hasChildren())
            return settle(p, walk.node(), nullptr, component.empty() ? 1 : 0);
        const char* end = component.data() + component.size();  // at a delimiter, or the path's end

        bool parsed = false;
        bool failed = false;
        FSSubclientNode* wildcardMatch = nullptr;
        walk.eachWildcard([&](FSSubclientNode* child, bool needsProbe, auto overlaps) {
            // A plain ASCII name always parses, and a simple wildcard compares
            // its bytes: the probe waits for a wildcard that reads it.
            if (!parsed && (needsProbe || !plainAscii(component))) {
                if (!probe)
                    probe.emplace(static_cast<unsigned char>(p.escapeChar), false);
                probeText.assign(component.data(), component.size());
                if (probe->parse(probeText)) {
                    TLOG_CALL(p.owner, 1, "Could not parse '%s' (path '%s')", probeText.c_str(), levelPath);
                    return !(failed = true);
                }
                parsed = true;
            }
            if (!overlaps(parsed ? &*probe : nullptr, component, p.caseSensitive))
                return true;
            if (wildcardMatch) {
                if (kxLogApplies(1) || p.problems.wanted()) {
                    FSContentProblem a = fsProblem(FS_PROBLEM_AMBIGUOUS);
                    a.content = a.path = levelPath;
                    a.conflict = p.nodeToPath(wildcardMatch);
                    a.conflictSubclient = wildcardMatch->subclient;
                    a.secondConflict = p.nodeToPath(child);
                    a.secondConflictSubclient = child->subclient;
                    p.problems.report(p.owner, __LINE__, 1, a, fsProblemText::kAmbiguous, levelPath, a.conflict.c_str(),
                                      a.secondConflict.c_str());
                }
                return !(failed = true);
            }
            wildcardMatch = child;
            return true;
        });
        if (failed)
            return 0;

        FSSubclientNode* literal = walk.literal(component);
        if (literal && *end) {
            walk.descend(literal);
            path = end + 1;
            continue;
        }
        if (literal)
            return settle(p, literal, wildcardMatch && literal->subclient == -1 ? wildcardMatch : nullptr, 1);
        return settle(p, wildcardMatch ? wildcardMatch : walk.node(), nullptr, wildcardMatch ? 1 : 0);
    }
}

}  // namespace

// From the root the search index answers, once it is built.
int CFSSubclientConfPrivate::recursiveSearch(FSSubclientNode* node, const char* path)
{
    const TCallOrigin reporting(owner, __PRETTY_FUNCTION__);
    if (node != root || !searchIndex.ready(root, caseSensitive))
        return treeSearch(node, path);
    IndexWalk walk(searchIndex, path);
    return searchFrom(*this, walk, path);
}

int CFSSubclientConfPrivate::treeSearch(FSSubclientNode* node, const char* path)
{
    TreeWalk walk(node, caseSensitive);
    return searchFrom(*this, walk, path);
}

FSSubclientNode* CFSSubclientConfPrivate::ownerNode(FSSubclientNode* node)
{
    for (; node; node = node->parent) {
        if (node->subclient != -1)
            return node;
        // A literal folder that a wildcard of some subclient covers is scanned
        // by that subclient, not by whoever owns the folder's parent.
        if (coveringSubclient(node) != -1)
            return node->coveringNode;
    }
    return root;
}

int CFSSubclientConfPrivate::searchSubclient(FSSubclientNode* owner)
{
    if (searchWildcardNode && searchWildcardNode->subclient != -1)
        return searchWildcardNode->subclient;
    return owner->subclient;
}
