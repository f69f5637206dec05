#include "subclient/FSScanEntries.h"

#include "subclient/FSSubclientConfPrivate.h"
#include "subclient/FSSubclientNode.h"
#include "wildcard/WCSubclients.h"

#include <algorithm>
#include <limits>
#include <new>

namespace {

// A mark whose subtree the walk has not left yet.
struct OpenMark {
    std::size_t index;
    std::size_t depth;
};

// A subclient number other than -1 that cannot index the texts, or a tree
// too large for the table's indexes: left to the walk of the whole tree.
struct Unindexable {};

FSScanEntries::Index indexOf(std::size_t n)
{
    if (n >= std::numeric_limits<FSScanEntries::Index>::max())
        throw Unindexable();
    return static_cast<FSScanEntries::Index>(n);
}

std::vector<FSScanEntries::Entry>& entriesFor(FSScanEntries::Table& table, int scNum)
{
    if (static_cast<std::size_t>(scNum) >= table.entries.size())
        table.entries.resize(static_cast<std::size_t>(scNum) + 1);
    return table.entries[static_cast<std::size_t>(scNum)];
}

std::string& textsFor(FSScanEntries::Table& table, int scNum)
{
    if (static_cast<std::size_t>(scNum) >= table.texts.size())
        table.texts.resize(static_cast<std::size_t>(scNum) + 1);
    return table.texts[static_cast<std::size_t>(scNum)];
}

// One preorder walk that tracks the depth, so that it knows when a subtree
// ends and which ancestors of a node are covered by a wildcard.
void build(FSScanEntries::Table& table, FSSubclientNode* root, const std::string& delimiter)
{
    std::vector<OpenMark> open;
    std::vector<std::size_t> coveredDepths;  // of the covered nodes on the current path
    FSPathText path(delimiter);
    std::size_t depth = 0;
    for (FSSubclientNode* node = root; node;) {
        while (!open.empty() && open.back().depth >= depth) {
            table.marks[open.back().index].end = static_cast<FSScanEntries::Index>(table.marks.size() - 1);
            open.pop_back();
        }
        while (!coveredDepths.empty() && coveredDepths.back() >= depth)
            coveredDepths.pop_back();
        path.enter(depth, node);
        const int s = node->subclient;
        const int covering = CFSSubclientConfPrivate::coveringSubclient(node);
        if (s != -1 || covering != -1) {
            if (s < 1 && s != -1)
                throw Unindexable();
            const FSScanEntries::Index index = indexOf(table.marks.size());
            FSScanEntries::Mark mark = {index,
                                        0,
                                        s,
                                        covering,
                                        node->pattern && node->pattern->isWildCard(),
                                        depth == 0,
                                        !coveredDepths.empty()};
            if (s != -1) {
                std::string& texts = textsFor(table, s);
                mark.text = indexOf(texts.size());
                texts.append(path.text()).push_back('\0');
            }
            table.marks.push_back(mark);
            for (int scNum : {s, covering == s ? -1 : covering})
                if (scNum >= 1)
                    entriesFor(table, scNum)
                        .push_back({index, index, mark.text, scNum == s, mark.wildcard, mark.root, mark.underCovered});
            open.push_back({index, depth});
        }
        if (covering != -1)
            coveredDepths.push_back(depth);
        if (node->firstChild) {
            node = node->firstChild;
            ++depth;
            continue;
        }
        for (; node != root && !node->nextSibling; --depth)
            node = node->parent;
        node = node == root ? nullptr : node->nextSibling;
    }
    for (const OpenMark& mark : open)
        table.marks[mark.index].end = static_cast<FSScanEntries::Index>(table.marks.size() - 1);
    // The table stays until the tree changes: it keeps no room to grow.
    table.marks.shrink_to_fit();
    for (std::vector<FSScanEntries::Entry>& entries : table.entries) {
        for (FSScanEntries::Entry& entry : entries)
            entry.end = table.marks[entry.mark].end;
        entries.shrink_to_fit();
    }
    for (std::string& texts : table.texts)
        texts.shrink_to_fit();
}

}  // namespace

void FSPathText::enter(std::size_t depth, const FSSubclientNode* n)
{
    if (depth == 0)
        return;
    nodes_.resize(depth - 1);
    nodes_.push_back(n);
    built_ = std::min(built_, depth - 1);
}

const std::string& FSPathText::text()
{
    const std::size_t depth = nodes_.size();
    lengths_.resize(depth);
    for (; built_ < depth; ++built_) {
        text_.resize(built_ ? lengths_[built_ - 1] : 0);
        text_.append(delimiter_).append(nodes_[built_]->pattern->getBasename());
        lengths_[built_] = text_.size();
    }
    text_.resize(depth ? lengths_[depth - 1] : 0);
    return text_;
}

const std::vector<FSScanEntries::Entry>& FSScanEntries::Table::entriesOf(int scNum) const
{
    static const std::vector<Entry> none;
    return scNum >= 1 && static_cast<std::size_t>(scNum) < entries.size() ? entries[static_cast<std::size_t>(scNum)]
                                                                          : none;
}

std::shared_ptr<const FSScanEntries::Table> FSScanEntries::of(FSSubclientNode* root, const std::string& delimiter)
{
    if (!root)
        return nullptr;
    if (table_ && builtRoot_ == root && builtDelimiter_ == delimiter)
        return table_;
    drop();
    try {
        std::shared_ptr<Table> table = std::make_shared<Table>();
        build(*table, root, delimiter);
        builtDelimiter_ = delimiter;
        table_ = std::move(table);
        builtRoot_ = root;
    } catch (const std::bad_alloc&) {
        drop();
    } catch (const Unindexable&) {
        drop();
    }
    return table_;
}

void FSScanEntries::drop()
{
    builtRoot_ = nullptr;
    table_.reset();
}
