#include "subclient/FSSearchIndex.h"

#include "subclient/FSSubclientNode.h"
#include "wildcard/WCSubclients.h"

#include <cstring>
#include <limits>
#include <new>
#include <string>

namespace {

const std::uint64_t kOnes = 0x0101010101010101ULL;

// Lowers the ASCII capitals among eight bytes at once; bytes 128-255 stay,
// as in the case-insensitive comparison of names.
std::uint64_t foldWord(std::uint64_t w)
{
    const std::uint64_t low = w & (0x7F * kOnes);  // no carry between bytes below
    const std::uint64_t atLeastA = low + (0x80 - 'A') * kOnes;
    const std::uint64_t aboveZ = low + (0x80 - 'Z' - 1) * kOnes;
    const std::uint64_t capital = atLeastA & ~aboveZ & ~w & (0x80 * kOnes);
    return w | (capital >> 2);
}

// Up to eight bytes as one number, in as few loads as their count allows.
std::uint64_t load(const char* bytes, std::size_t n)
{
    std::uint64_t w = 0;
    if (n == 8) {
        std::memcpy(&w, bytes, 8);
        return w;
    }
    std::size_t at = 0;
    if (n & 4) {
        std::uint32_t x;
        std::memcpy(&x, bytes, 4);
        w = x;
        at = 4;
    }
    if (n & 2) {
        std::uint16_t x;
        std::memcpy(&x, bytes + at, 2);
        w |= static_cast<std::uint64_t>(x) << (8 * at);
        at += 2;
    }
    if (n & 1)
        w |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[at])) << (8 * at);
    return w;
}

std::uint64_t mix(std::uint64_t x)
{
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// Nodes a build may visit per search it waits for after a change.
const std::size_t kNodesPerSearch = 32;

}  // namespace

bool FSSearchIndex::ready(FSSubclientNode* root, bool caseSensitive)
{
    if (built_ && builtRoot_ == root && caseSensitive_ == caseSensitive)
        return true;
    if (built_)
        drop();
    if (!root || searchesSinceChange_++ < lastSize_ / kNodesPerSearch)
        return false;
    searchesSinceChange_ = 0;
    builtRoot_ = root;
    caseSensitive_ = caseSensitive;
    built_ = build(root);
    if (!built_)
        drop();
    return built_;
}

void FSSearchIndex::drop()
{
    searchesSinceChange_ = 0;
    if (!built_ && entries_.empty())
        return;
    built_ = false;
    builtRoot_ = nullptr;
    std::vector<Entry>().swap(entries_);
    std::vector<char>().swap(names_);
    std::vector<Wildcard>().swap(wildcards_);
    std::vector<std::uint64_t>().swap(slots_);
    mask_ = 0;
}

std::uint64_t FSSearchIndex::rootKey()
{
    return 0x9e3779b97f4a7c15ULL;
}

const FSSearchIndex::Entry* FSSearchIndex::literalChild(const Entry& parent, std::uint64_t key,
                                                        std::string_view name) const
{
    return find(static_cast<std::uint32_t>(&parent - entries_.data()), key, name);
}

// Three rounds, each started for every level before the next needs its
// results: the slots, then the entries they name, then the names and nodes.
void FSSearchIndex::prefetch(const std::uint64_t* keys, int count) const
{
    for (int i = 0; i < count; ++i)
        __builtin_prefetch(slots_.data() + (static_cast<std::size_t>(keys[i]) & mask_));
    const Entry* first[kMaxPrefetch];
    for (int i = 0; i < count; ++i) {
        const std::uint64_t slot = slots_[static_cast<std::size_t>(keys[i]) & mask_];
        first[i] = slot && (slot >> 32) == (keys[i] >> 32) ? &entries_[static_cast<std::uint32_t>(slot) - 1] : nullptr;
        if (first[i])
            __builtin_prefetch(first[i]);
    }
    for (int i = 0; i < count; ++i) {
        if (first[i]) {
            __builtin_prefetch(names_.data() + first[i]->name);
            __builtin_prefetch(first[i]->node);
        }
    }
}

bool FSSearchIndex::build(FSSubclientNode* root)
{
    try {
        std::size_t nodes = 0;
        for (FSSubclientNode* n = root; n; n = nextPreorder(n, root))
            ++nodes;
        lastSize_ = nodes;
        if (nodes > std::numeric_limits<std::uint32_t>::max() / 4)
            return false;
        std::size_t slots = 16;
        while (slots < 2 * nodes)
            slots *= 2;
        slots_.assign(slots, 0);
        mask_ = slots - 1;
        entries_.reserve(nodes);  // never moves while children are added
        std::vector<std::uint64_t> keys;
        keys.reserve(nodes);
        entries_.push_back(Entry{root, 0, 0, 0, 0, 0, root->firstChild != nullptr});
        keys.push_back(rootKey());
        for (std::size_t i = 0; i < entries_.size(); ++i)
            addChildren(static_cast<std::uint32_t>(i), keys);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void FSSearchIndex::addChildren(std::uint32_t parent, std::vector<std::uint64_t>& keys)
{
    const std::size_t firstWildcard = wildcards_.size();
    for (FSSubclientNode* child = entries_[parent].node->firstChild; child; child = child->nextSibling) {
        if (child->pattern->isWildCard()) {
            wildcards_.push_back(describe(child));
            continue;
        }
        const std::string name = child->pattern->getBasename();
        const std::uint64_t key = childKey(keys[parent], name);
        if (find(parent, key, name))
            continue;  // a later child of an equal name: no search reaches it
        if (names_.size() + name.size() > std::numeric_limits<std::uint32_t>::max())
            throw std::bad_alloc();
        const Entry entry = {child,
                             parent,
                             static_cast<std::uint32_t>(names_.size()),
                             static_cast<std::uint32_t>(name.size()),
                             0,
                             0,
                             child->firstChild != nullptr};
        names_.insert(names_.end(), name.begin(), name.end());
        entries_.push_back(entry);
        keys.push_back(key);
        insert(key, static_cast<std::uint32_t>(entries_.size() - 1));
    }
    entries_[parent].firstWildcard = static_cast<std::uint32_t>(firstWildcard);
    entries_[parent].wildcardCount = static_cast<std::uint32_t>(wildcards_.size() - firstWildcard);
}

const FSSearchIndex::Entry* FSSearchIndex::find(std::uint32_t parent, std::uint64_t key,
                                                std::string_view name) const
{
    for (std::size_t at = static_cast<std::size_t>(key) & mask_;; at = (at + 1) & mask_) {
        const std::uint64_t slot = slots_[at];
        if (!slot)
            return nullptr;
        if ((slot >> 32) != (key >> 32))
            continue;
        const Entry& entry = entries_[static_cast<std::uint32_t>(slot) - 1];
        if (entry.parent == parent && sameName(entry, name))
            return &entry;
    }
}

void FSSearchIndex::insert(std::uint64_t key, std::uint32_t entry)
{
    std::size_t at = static_cast<std::size_t>(key) & mask_;
    while (slots_[at])
        at = (at + 1) & mask_;
    slots_[at] = (key >> 32 << 32) | (static_cast<std::uint64_t>(entry) + 1);
}

// Names are hashed and compared eight bytes at a time, folded in
// case-insensitive mode.
inline std::uint64_t FSSearchIndex::word(const char* bytes, std::size_t n) const
{
    const std::uint64_t w = load(bytes, n);
    return caseSensitive_ ? w : foldWord(w);
}

std::uint64_t FSSearchIndex::childKey(std::uint64_t parentKey, std::string_view name) const
{
    std::uint64_t h = parentKey ^ (name.size() * 0x9e3779b97f4a7c15ULL);
    const char* at = name.data();
    for (std::size_t left = name.size();; left -= 8, at += 8) {
        const std::uint64_t w = word(at, left < 8 ? left : 8);
        h = (h ^ w) * 0x9fb21c651e98df25ULL;
        h ^= h >> 29;
        if (left <= 8)
            break;
    }
    return mix(h);
}

bool FSSearchIndex::sameName(const Entry& entry, std::string_view name) const
{
    return entry.nameLength == name.size() && sameBytes(names_.data() + entry.name, name.data(), name.size());
}

bool FSSearchIndex::sameBytes(const char* stored, const char* name, std::size_t n) const
{
    for (std::size_t at = 0; at < n; at += 8) {
        const std::size_t count = n - at < 8 ? n - at : 8;
        if (word(stored + at, count) != word(name + at, count))
            return false;
    }
    return true;
}

FSSearchIndex::Wildcard FSSearchIndex::describe(FSSubclientNode* node)
{
    Wildcard wildcard = {node, 0, 0, 0, 0, false, false};
    WCSequence& tokens = *node->pattern->getTokens();
    const int n = tokens.getSize();
    int firstStar = n, lastStar = -1;
    for (int k = 0; k < n; ++k) {
        WCToken& token = tokens.get(k);
        if (token.isStar()) {
            firstStar = k < firstStar ? k : firstStar;
            lastStar = k;
            continue;
        }
        const unsigned long c = token.getFixedChar();
        if (!dynamic_cast<WCChar*>(&token) || c == 0 || c >= 0x80)
            return wildcard;  // the pattern itself decides
    }
    if (n == 0 || names_.size() + static_cast<std::size_t>(n) > std::numeric_limits<std::uint32_t>::max())
        return wildcard;
    auto keep = [&](int from, int to, std::uint32_t& at, std::uint32_t& length) {
        at = static_cast<std::uint32_t>(names_.size());
        length = static_cast<std::uint32_t>(to - from);
        for (int k = from; k < to; ++k)
            names_.push_back(static_cast<char>(tokens.get(k).getFixedChar()));
    };
    keep(0, firstStar, wildcard.prefix, wildcard.prefixLength);
    if (lastStar >= 0)
        keep(lastStar + 1, n, wildcard.suffix, wildcard.suffixLength);
    wildcard.simple = true;
    wildcard.hasStar = lastStar >= 0;
    return wildcard;
}

bool FSSearchIndex::simpleOverlaps(const Wildcard& wildcard, std::string_view name) const
{
    if (!wildcard.hasStar)
        return name.size() == wildcard.prefixLength && sameBytes(names_.data() + wildcard.prefix, name.data(), name.size());
    return name.size() >= wildcard.prefixLength && name.size() >= wildcard.suffixLength &&
           sameBytes(names_.data() + wildcard.prefix, name.data(), wildcard.prefixLength) &&
           sameBytes(names_.data() + wildcard.suffix, name.data() + name.size() - wildcard.suffixLength,
                     wildcard.suffixLength);
}

