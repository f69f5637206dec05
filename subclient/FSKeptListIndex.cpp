#include "subclient/FSKeptListIndex.h"

#include "dirlist/FSSubclientDirList.h"

#include <algorithm>
#include <limits>

namespace {

constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();

}  // namespace

void FSKeptListIndex::clear()
{
    items_.clear();
    firstOf_.clear();
    byPath_.clear(true);
    built_ = false;
}

void FSKeptListIndex::add(Item item, const char* name, bool isWildcard)
{
    item.namesPrefix = byPath_.add(name ? name : "", isWildcard, static_cast<uint32_t>(items_.size())) && !isWildcard;
    items_.push_back(item);
}

bool FSKeptListIndex::build(FSSubclientDirlist& list, int numSubclients, bool caseSensitive)
{
    clear();
    byPath_.clear(caseSensitive);
    firstOf_.assign(static_cast<std::size_t>(numSubclients) + 1, kNone);
    for (int s = 1; s <= numSubclients; ++s) {
        FSSubclientDir* entry = nullptr;
        uint32_t order = 0;
        for (int walk = list.getFirst(s, &entry); entry; walk = list.getNext(&entry), ++order) {
            if (walk < 0) {
                clear();
                return false;
            }
            if (order == 0)
                firstOf_[static_cast<std::size_t>(s)] = static_cast<uint32_t>(items_.size());
            add(Item{entry, nullptr, s, order, 0, false}, entry->name, entry->isWildcard);
            uint32_t position = 1;
            for (const FSSubclientDir* nodir = entry->nodirs; nodir; nodir = nodir->nextNodir)
                add(Item{entry, nodir, s, order, position++, false}, nodir->name, nodir->isWildcard);
        }
    }
    byPath_.seal();
    built_ = true;
    return true;
}

bool FSKeptListIndex::candidates(const char* path, int scNum, std::vector<const Item*>& out) const
{
    out.clear();
    found_.clear();
    if (!built_ || scNum < 1 || static_cast<std::size_t>(scNum) >= firstOf_.size() || !byPath_.collect(path, found_))
        return false;
    const uint32_t first = firstOf_[static_cast<std::size_t>(scNum)];
    for (uint32_t i : found_)
        if (items_[i].subclient == scNum)
            out.push_back(&items_[i]);
    // The default subclient's first entry is examined without a test of its own.
    if (scNum == 1 && first != kNone && std::find(found_.begin(), found_.end(), first) == found_.end()) {
        unfoundFirst_ = items_[first];
        unfoundFirst_.namesPrefix = false;
        out.push_back(&unfoundFirst_);
    }
    std::sort(out.begin(), out.end(), [](const Item* a, const Item* b) {
        return a->entryOrder != b->entryOrder ? a->entryOrder < b->entryOrder : a->nodirOrder < b->nodirOrder;
    });
    return true;
}
