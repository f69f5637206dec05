// Where the scan lists of a subclient can start, built from the tree on demand.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSSCANENTRIES_H
#define SUBCLIENTCONF_SUBCLIENT_FSSCANENTRIES_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FSSubclientNode;

// The path text of the node a preorder walk is at, carried down the walk:
// each level keeps its node and the length of the text up to it, and a
// component is added only when a text at or below it is asked for, so a walk
// pays neither per ancestor for each text nor per visited node for the texts
// it does not ask for.
class FSPathText {
public:
    explicit FSPathText(const std::string& delimiter) : delimiter_(delimiter) {}

    // The walk is at n, at depth (the root's being 0).
    void enter(std::size_t depth, const FSSubclientNode* n);
    // The text of the node entered last; the root's is empty.
    const std::string& text();

private:
    const std::string& delimiter_;
    std::string text_;
    std::vector<const FSSubclientNode*> nodes_;  // from the root's child down
    std::vector<std::size_t> lengths_;
    std::size_t built_ = 0;  // levels whose component text_ holds
};

// The marks: the nodes a scan-list run can write or that change what it
// writes below them, those of a subclient's content and those a wildcard
// covers, in preorder, each with its path text. A whole-tree walk passes the
// other nodes without writing or deciding anything, so a run reads only
// marks, mostly its own subclient's, and never the tree: once the tree
// outgrows the cache, reading it costs a miss per component of each line.
// The tree is read only while building; any change of it must drop the table.
class FSScanEntries {
public:
    // Mark indexes and text offsets: 32 bits halve the table of a 64-bit
    // build; a tree too large for them takes the walk of the whole tree.
    typedef std::uint32_t Index;

    struct Mark {
        Index end;   // index of the last mark in its subtree (itself when none)
        Index text;  // where its path text starts among its subclient's texts
        int subclient;
        int covering;  // subclient of the wildcard sibling covering it, -1 when none
        bool wildcard;
        bool root;  // its text is empty
        // Below a node some wildcard covers: a walk of the whole tree reaches
        // it on the way to a nodir list only from an entry above it.
        bool underCovered;
    };

    // A mark as one subclient's run starts from it, with what a directory run
    // reads, so that such a run reads its own entries and texts one after
    // the other and no mark.
    struct Entry {
        Index mark;
        Index end;   // the mark's end
        Index text;  // the mark's text, when own
        bool own;    // the subclient's content, not only covered by its wildcard
        bool wildcard;
        bool root;
        bool underCovered;
    };

    struct Table {
        std::vector<Mark> marks;  // preorder
        // By subclient number: the entries of its content and of what its
        // wildcards cover, and the path texts of its content, each ended by
        // a zero byte, the root's empty.
        std::vector<std::vector<Entry>> entries;
        std::vector<std::string> texts;

        const std::vector<Entry>& entriesOf(int scNum) const;
        const char* textOf(int scNum, Index text) const { return texts[static_cast<std::size_t>(scNum)].data() + text; }
    };

    FSScanEntries() = default;
    FSScanEntries(const FSScanEntries&) = delete;
    FSScanEntries& operator=(const FSScanEntries&) = delete;

    // The table of the tree below root, its texts joined by delimiter,
    // building it when the tree or the delimiter changed; null when memory
    // runs out. A run holds it, so a callback that changes the tree (and
    // drops it) leaves the run's copy intact.
    std::shared_ptr<const Table> of(FSSubclientNode* root, const std::string& delimiter);
    // The tree changed: the table no longer describes it.
    void drop();

private:
    std::shared_ptr<const Table> table_;
    FSSubclientNode* builtRoot_ = nullptr;
    std::string builtDelimiter_;
};

#endif
