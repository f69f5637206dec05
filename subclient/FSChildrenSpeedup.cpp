#include "subclient/FSChildrenSpeedup.h"

#include "platform/KXLog.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace {

const char* const kOutOfMemory = "out of memory in FSChildrenSpeedup";
const char* const kNoMap = "children map not allocated";

const std::size_t kFirstSlots = 16;
const std::uint64_t kSeed = 0x2545f4914f6cdd1dULL;

// Upper-cases ASCII letters only; any other value, bytes 128-255 arriving
// as negative values included, stays as it is.
int foldAscii(char c)
{
    int v = static_cast<signed char>(c);
    return (v >= 'a' && v <= 'z') ? v - ('a' - 'A') : v;
}

}  // namespace

RuntimeStringCmp::RuntimeStringCmp(bool caseSensitive) : caseSensitive(caseSensitive) {}

bool RuntimeStringCmp::operator()(const std::string& a, const std::string& b) const
{
    return (*this)(std::string_view(a), std::string_view(b));
}

bool RuntimeStringCmp::operator()(std::string_view a, std::string_view b) const
{
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

bool RuntimeStringCmp::operator()(const char* a, const char* b) const
{
    return (*this)(std::string_view(a), std::string_view(b));
}

bool RuntimeStringCmp::nocase_compare(char a, char b)
{
    return foldAscii(a) < foldAscii(b);
}

FSChildrenSpeedup::FSChildrenSpeedup(bool caseSensitive)
    : hash_(caseSensitive), slots_(new (std::nothrow) Slot[kFirstSlots]()), mask_(kFirstSlots - 1), count_(0)
{
    if (!slots_)
        KXLOG(-1, "%s 2", kOutOfMemory);
}

FSChildrenSpeedup::~FSChildrenSpeedup()
{
    if (!slots_)
        return;
    for (std::size_t at = 0; at <= mask_; ++at)
        if (slots_[at].size > kInlineName + 1)
            delete[] slots_[at].name.heap;
    delete[] slots_;
}

int FSChildrenSpeedup::add(const char* name, FSSubclientNode* node)
{
    if (!slots_) {
        KXLOG(1, "%s", kNoMap);
        return -2;
    }
    const std::string_view key(name);
    const std::uint32_t tag = tagOf(key);
    if (slots_[lookup(key, tag)].size) {
        KXLOG(1, "Add '%s' failed - already in map", name);
        return -1;
    }
    Slot slot = Slot();
    slot.node = node;
    slot.tag = tag;
    char* text = slot.name.text;
    if (key.size() > kInlineName)
        text = slot.name.heap = key.size() < UINT32_MAX ? new (std::nothrow) char[key.size()] : nullptr;
    // At most three quarters full, so that a lookup rarely reads past a slot or two.
    if (!text || ((count_ + 1) * 4 > (mask_ + 1) * 3 && !grow())) {
        if (key.size() > kInlineName)
            delete[] text;
        KXLOG(1, "Add '%s' failed - other reason", name);
        return -2;
    }
    key.copy(text, key.size());
    slot.size = static_cast<std::uint32_t>(key.size() + 1);
    slots_[lookup(key, tag)] = slot;
    ++count_;
    return 0;
}

int FSChildrenSpeedup::find(const char* name, FSSubclientNode** node)
{
    if (!slots_) {
        KXLOG(-1, "%s", kNoMap);
        return -1;
    }
    const Slot& slot = slots_[lookup(name, tagOf(name))];
    if (!slot.size)
        return 0;
    if (node)
        *node = slot.node;
    return 1;
}

bool FSChildrenSpeedup::serves(bool caseSensitive) const
{
    return slots_ && hash_.caseSensitive() == caseSensitive;
}

// Takes the entry out and moves later entries of its run back into the hole,
// so that no lookup stops short of them at a free slot.
void FSChildrenSpeedup::remove(const char* name)
{
    if (!slots_)
        return;
    std::size_t hole = lookup(name, tagOf(name));
    if (!slots_[hole].size)
        return;
    if (slots_[hole].size > kInlineName + 1)
        delete[] slots_[hole].name.heap;
    for (std::size_t at = next(hole); slots_[at].size; at = next(at)) {
        const std::size_t home = slots_[at].tag & mask_;
        if (((at - home) & mask_) >= ((at - hole) & mask_)) {
            slots_[hole] = slots_[at];
            hole = at;
        }
    }
    slots_[hole] = Slot();
    --count_;
}

// The upper half of the name's hash; its low bits give the home slot.
std::uint32_t FSChildrenSpeedup::tagOf(std::string_view name) const
{
    return static_cast<std::uint32_t>(hash_.hash(kSeed, name) >> 32);
}

std::size_t FSChildrenSpeedup::lookup(std::string_view name, std::uint32_t tag) const
{
    for (std::size_t at = tag & mask_;; at = next(at)) {
        const Slot& slot = slots_[at];
        if (!slot.size ||
            (slot.tag == tag && slot.size - 1 == name.size() && hash_.equal(nameOf(slot), name.data(), name.size())))
            return at;
    }
}

// Twice the slots; names stay where they are.
bool FSChildrenSpeedup::grow()
{
    const std::size_t slots = 2 * (mask_ + 1);
    Slot* table = new (std::nothrow) Slot[slots]();
    if (!table)
        return false;
    Slot* old = slots_;
    const std::size_t oldSlots = mask_ + 1;
    slots_ = table;
    mask_ = slots - 1;
    for (std::size_t at = 0; at < oldSlots; ++at) {
        if (!old[at].size)
            continue;
        std::size_t to = old[at].tag & mask_;
        while (slots_[to].size)
            to = next(to);
        slots_[to] = old[at];
    }
    delete[] old;
    return true;
}

const char* FSChildrenSpeedup::nameOf(const Slot& slot)
{
    return slot.size > kInlineName + 1 ? slot.name.heap : slot.name.text;
}
