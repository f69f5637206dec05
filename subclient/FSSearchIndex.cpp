#include "subclient/FSSearchIndex.h"

#include "subclient/FSSubclientNode.h"
#include "wildcard/WCSubclients.h"

#include <limits>
#include <new>
#include <string>

namespace {

// Nodes a build may visit per search it waits for after a change.
const std::size_t kNodesPerSearch = 32;

}  // namespace

bool FSSearchIndex::ready(FSSubclientNode* root, bool caseSensitive)
{
    if (built_ && builtRoot_ == root && hash_.caseSensitive() == caseSensitive)
        return true;
    if (built_)
        drop();
    if (!root || searchesSinceChange_++ < lastSize_ / kNodesPerSearch)
        return false;
    searchesSinceChange_ = 0;
    builtRoot_ = root;
    hash_ = FSNameHash(caseSensitive);
    built_ = build(root);
    if (!built_)
        drop();
    return built_;
}

void FSSearchIndex::drop()
{
    searchesSinceChange_ = 0;
    if (!built_ && table_.empty())
        return;
    built_ = false;
    builtRoot_ = nullptr;
    slots_ = 0;
    decltype(table_)().swap(table_);
    std::vector<char>().swap(names_);
    std::vector<Wildcard>().swap(wildcards_);
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
        // At most two thirds full: a lookup rarely reads past its home record.
        table_.assign(nodes + nodes / 2 + 1, Entry());
        slots_ = table_.size();
        std::vector<std::uint32_t> order;  // records in breadth-first order
        order.reserve(nodes);
        Entry top = Entry();
        top.key = rootKey();
        top.node = root;
        top.hasChildren = root->firstChild != nullptr;
        rootSlot_ = insert(top, hash_.component(0, std::string_view()), std::string_view());
        table_[rootSlot_].parent = rootSlot_;
        order.push_back(rootSlot_);
        for (std::size_t i = 0; i < order.size(); ++i)
            addChildren(order[i], order);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void FSSearchIndex::addChildren(std::uint32_t parent, std::vector<std::uint32_t>& order)
{
    const std::size_t firstWildcard = wildcards_.size();
    const std::uint64_t parentKey = table_[parent].key;
    for (FSSubclientNode* child = table_[parent].node->firstChild; child; child = child->nextSibling) {
        if (child->pattern->isWildCard()) {
            wildcards_.push_back(describe(child));
            continue;
        }
        const std::string text = child->pattern->getBasename();
        const FSNameHash::Component name = hash_.component(parentKey, text);
        if (find(parent, name, text.data()) != kNone)
            continue;  // a later child of an equal name: no search reaches it
        Entry entry = Entry();
        entry.key = name.key;
        entry.node = child;
        entry.parent = parent;
        entry.hasChildren = child->firstChild != nullptr;
        order.push_back(insert(entry, name, text));
    }
    if (wildcards_.size() - firstWildcard > 0x7FFFFFFFu)
        throw std::bad_alloc();
    table_[parent].firstWildcard = static_cast<std::uint32_t>(firstWildcard);
    table_[parent].wildcardCount = static_cast<std::uint32_t>(wildcards_.size() - firstWildcard);
}

bool FSSearchIndex::longNameEquals(const Entry& entry, const char* text) const
{
    return hash_.equal(names_.data() + entry.name.at, text, entry.nameLength);
}

std::uint32_t FSSearchIndex::insert(const Entry& entry, const FSNameHash::Component& name, std::string_view text)
{
    std::size_t at = home(entry.key);
    while (table_[at].node)
        at = at + 1 == table_.size() ? 0 : at + 1;
    Entry& slot = table_[at];
    slot = entry;
    slot.nameLength = static_cast<std::uint32_t>(name.length);
    if (name.length <= kInlineName) {
        slot.name.words[0] = name.words[0];
        slot.name.words[1] = name.words[1];
    } else {
        slot.name.at = keepName(text);
    }
    return static_cast<std::uint32_t>(at);
}

std::uint32_t FSSearchIndex::keepName(std::string_view name)
{
    if (names_.size() + name.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    const std::uint32_t at = static_cast<std::uint32_t>(names_.size());
    names_.insert(names_.end(), name.begin(), name.end());
    return at;
}

FSSearchIndex::Wildcard FSSearchIndex::describe(FSSubclientNode* node)
{
    Wildcard wildcard = {node, 0, 0, 0, 0, false, false};
    WCSequence& tokens = *node->pattern->getTokens();
    const int n = tokens.getSize();
    int firstStar = n, lastStar = -1;
    std::string prefix, suffix;
    for (int k = 0; k < n; ++k) {
        WCToken& token = tokens.get(k);
        if (token.isStar()) {
            firstStar = k < firstStar ? k : firstStar;
            lastStar = k;
            suffix.clear();
            continue;
        }
        const unsigned long c = token.getFixedChar();
        if (!dynamic_cast<WCChar*>(&token) || c == 0 || c >= 0x80)
            return wildcard;  // the pattern itself decides
        (lastStar < 0 ? prefix : suffix).push_back(static_cast<char>(c));
    }
    if (n == 0)
        return wildcard;
    wildcard.prefix = keepName(prefix);
    wildcard.prefixLength = static_cast<std::uint32_t>(prefix.size());
    wildcard.suffix = keepName(suffix);
    wildcard.suffixLength = static_cast<std::uint32_t>(suffix.size());
    wildcard.simple = true;
    wildcard.hasStar = lastStar >= 0;
    return wildcard;
}

bool FSSearchIndex::simpleOverlaps(const Wildcard& wildcard, std::string_view name) const
{
    const char* prefix = names_.data() + wildcard.prefix;
    if (!wildcard.hasStar)
        return hash_.equal(std::string_view(prefix, wildcard.prefixLength), name);
    return name.size() >= wildcard.prefixLength && name.size() >= wildcard.suffixLength &&
           hash_.equal(prefix, name.data(), wildcard.prefixLength) &&
           hash_.equal(names_.data() + wildcard.suffix, name.data() + name.size() - wildcard.suffixLength,
                       wildcard.suffixLength);
}
