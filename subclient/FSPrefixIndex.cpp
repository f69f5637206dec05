#include "subclient/FSPrefixIndex.h"

#include "subclient/FSNameHash.h"
#include "wildcard/WCSubclients.h"

#include <algorithm>
#include <cstring>
#include <new>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// A component longer than this may not convert into the pattern engine's
// buffer, so its test could fail where a key would predict an answer.
constexpr std::size_t kLongestPredictable = WCConverter::capacity / 2;
constexpr uint64_t kHashStart = 1469598103934665603ull;

// The escape character is the other slash for either delimiter.
constexpr char kPatternCharacters[] = {'*', '?', '[', '\\', '/'};

bool patternCharacter(char c)
{
    return std::find(std::begin(kPatternCharacters), std::end(kPatternCharacters), c) != std::end(kPatternCharacters);
}

char fold(char c, bool caseSensitive)
{
    return caseSensitive || c < 'A' || c > 'Z' ? c : static_cast<char>(c - 'A' + 'a');
}

std::size_t slotOf(uint64_t hash, std::size_t mask)
{
    return static_cast<std::size_t>(hash >> 32 ^ hash) & mask;
}

}  // namespace

void FSPrefixIndex::clear(bool caseSensitive)
{
    filed_.clear();
    slots_.clear();
    items_.clear();
    texts_.clear();
    always_.clear();
    collided_ = false;
    caseSensitive_ = caseSensitive;
}

// An empty component (a doubled or trailing delimiter) does not parse, so its
// tests fail where a key would predict an answer.
bool FSPrefixIndex::predictable(const char* text, std::size_t length)
{
    std::size_t component = 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
        if (text[i] == text[0] && component == 0)
            return false;
        component = text[i] == text[0] ? 0 : component + 1;
        if (component > kLongestPredictable)
            return false;
    }
    return length == 1 || (length > 1 && component > 0);
}

// The key hash of a prefix followed by the component at begin, which ends at
// the next delim or at end; returns where it ends. Hashed a word at a time.
const char* FSPrefixIndex::addComponent(uint64_t& hash, const char* begin, const char* end, char delim) const
{
    const FSNameHash::Component component = FSNameHash(caseSensitive_).scan(hash, begin, end, delim);
    hash = component.key;
    return begin + component.length;
}

bool FSPrefixIndex::add(const char* text, bool lastIsPattern, uint32_t item)
{
    std::size_t length = std::strlen(text);
    if (!predictable(text, length)) {
        always_.push_back(item);
        return false;
    }
    const char* end = text + length;
    if (lastIsPattern)
        end = std::strrchr(text, text[0]);
    uint64_t hash = kHashStart;
    for (const char* begin = text + 1; begin < end;) {
        const char* next = addComponent(hash, begin, end, text[0]);
        begin = next + 1;
    }
    filed_.push_back(Filed{hash, item, text, static_cast<uint32_t>(end - text)});
    return true;
}

void FSPrefixIndex::seal()
{
    std::stable_sort(filed_.begin(), filed_.end(), [](const Filed& a, const Filed& b) { return a.hash < b.hash; });
    std::size_t size = 16;
    while (size < filed_.size() * 2)
        size *= 2;
    slots_.assign(size, Slot{0, 0, 0, 0, 0});
    items_.clear();
    items_.reserve(filed_.size());
    texts_.clear();
    for (std::size_t i = 0; i < filed_.size(); ++i) {
        const Filed& f = filed_[i];
        items_.push_back(f.item);
        if (i > 0 && filed_[i - 1].hash == f.hash) {
            // Two keys of one hash could not be told apart by a lookup: then
            // no lookup is served.
            collided_ = collided_ || !sameKey(filed_[i - 1].text, filed_[i - 1].length, f.text, f.length);
            ++const_cast<Slot*>(probe(f.hash))->count;
            continue;
        }
        std::size_t at = slotOf(f.hash, size - 1);
        while (slots_[at].count)
            at = (at + 1) & (size - 1);
        if (texts_.size() + f.length > UINT32_MAX)
            throw std::bad_alloc();
        const uint32_t text = static_cast<uint32_t>(texts_.size());
        texts_.insert(texts_.end(), f.text, f.text + f.length);
        slots_[at] = Slot{f.hash, text, f.length, static_cast<uint32_t>(items_.size() - 1), 1};
    }
    filed_.clear();
    filed_.shrink_to_fit();
}

// Do the first aTextLength bytes of a and the first length bytes of path name
// the same components (each with its own delimiter, case folded as keys are)?
bool FSPrefixIndex::sameKey(const char* a, std::size_t aTextLength, const char* path, std::size_t length) const
{
    const std::size_t aLength = aTextLength > 1 ? aTextLength - 1 : 0;
    const std::size_t bLength = length > 1 ? length - 1 : 0;
    if (aLength != bLength)
        return false;
    if (a[0] == path[0])  // one delimiter: the folded bytes decide, eight at a time
        return FSNameHash(caseSensitive_).equal(a + 1, path + 1, aLength);
    for (std::size_t i = 0; i < aLength; ++i) {
        const char x = a[i + 1], y = path[i + 1];
        const bool xDelim = x == a[0], yDelim = y == path[0];
        if (xDelim != yDelim || (!xDelim && fold(x, caseSensitive_) != fold(y, caseSensitive_)))
            return false;
    }
    return true;
}

const FSPrefixIndex::Slot* FSPrefixIndex::probe(uint64_t hash) const
{
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = slotOf(hash, mask); slots_[at].count; at = (at + 1) & mask)
        if (slots_[at].hash == hash)
            return &slots_[at];
    return nullptr;
}

bool FSPrefixIndex::matches(const Slot& slot, const char* path, std::size_t length) const
{
    return sameKey(texts_.data() + slot.text, slot.length, path, length);
}

// predictable, and no pattern character but the delimiter: may a lookup
// answer for path? Every call asks, so a path of 16 bytes up to the longest
// predictable component is read sixteen bytes a step (the last block overlaps
// the one before it): a byte fails when it is above ASCII, a pattern
// character other than the delimiter, or a delimiter after a delimiter.
bool FSPrefixIndex::servable(const char* path, std::size_t length)
{
#if defined(__SSE2__)
    if (length >= 16 && length <= kLongestPredictable + 1) {
        const __m128i delim = _mm_set1_epi8(path[0]);
        auto failing = [&delim](__m128i block, __m128i before) {
            const __m128i atDelim = _mm_cmpeq_epi8(block, delim);
            __m128i pattern = _mm_setzero_si128();
#pragma GCC unroll 8  // each compare's constant then stays in a register
            for (char c : kPatternCharacters)
                pattern = _mm_or_si128(pattern, _mm_cmpeq_epi8(block, _mm_set1_epi8(c)));
            const __m128i doubled = _mm_and_si128(atDelim, before);
            return _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(_mm_andnot_si128(atDelim, pattern), doubled), block));
        };
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(path));
        if (failing(first, _mm_slli_si128(_mm_cmpeq_epi8(first, delim), 1)))
            return false;
        for (std::size_t at = 16; at < length; at += 16) {
            const std::size_t from = std::min(at, length - 16);
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(path + from));
            const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(path + from - 1));
            if (failing(block, _mm_cmpeq_epi8(before, delim)))
                return false;
        }
        return path[length - 1] != path[0];
    }
#endif
    if (!predictable(path, length))
        return false;
    for (std::size_t i = 1; i < length; ++i)
        if (patternCharacter(path[i]) && path[i] != path[0])
            return false;
    return true;
}

bool FSPrefixIndex::collect(const char* path, std::vector<uint32_t>& items) const
{
    const std::size_t length = std::strlen(path);
    if (collided_ || !servable(path, length))
        return false;
    items.insert(items.end(), always_.begin(), always_.end());
    if (slots_.empty())
        return true;
    // Every prefix's hash first, and its slot asked for, so that the reads
    // of all levels wait for memory together; then the texts of the keys
    // found, the same way; then the checks.
    prefixes_.clear();
    uint64_t hash = kHashStart;
    prefixes_.push_back(Prefix{hash, 1, nullptr});
    const char* end = path + length;
    for (const char* begin = path + 1; begin < end;) {
        const char* next = addComponent(hash, begin, end, path[0]);
        prefixes_.push_back(Prefix{hash, static_cast<std::size_t>(next - path), nullptr});
        begin = next + 1;
    }
    const std::size_t mask = slots_.size() - 1;
    for (const Prefix& prefix : prefixes_)
        __builtin_prefetch(&slots_[slotOf(prefix.hash, mask)]);
    for (Prefix& prefix : prefixes_)
        if ((prefix.slot = probe(prefix.hash)))
            __builtin_prefetch(texts_.data() + prefix.slot->text);
    for (const Prefix& prefix : prefixes_)
        if (prefix.slot && matches(*prefix.slot, path, prefix.length))
            items.insert(items.end(), items_.begin() + prefix.slot->begin,
                         items_.begin() + prefix.slot->begin + prefix.slot->count);
    return true;
}
