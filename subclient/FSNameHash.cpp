#include "subclient/FSNameHash.h"

#include <cstring>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "names are read as little-endian words");

namespace {

const std::uint64_t kOnes = 0x0101010101010101ULL;
const std::uint64_t kHighs = 0x80 * kOnes;

// Lowers the ASCII capitals among eight bytes at once; bytes 128-255 stay.
std::uint64_t foldWord(std::uint64_t w)
{
    const std::uint64_t low = w & (0x7F * kOnes);  // no carry between bytes below
    const std::uint64_t atLeastA = low + (0x80 - 'A') * kOnes;
    const std::uint64_t aboveZ = low + (0x80 - 'Z' - 1) * kOnes;
    const std::uint64_t capital = atLeastA & ~aboveZ & ~w & kHighs;
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

// The hash reads a name as its whole words, then one partial word (empty
// when the length is a multiple of eight), then the length.
std::uint64_t step(std::uint64_t h, std::uint64_t w)
{
    h = (h ^ w) * 0x9fb21c651e98df25ULL;
    return h ^ (h >> 29);
}

std::uint64_t finish(std::uint64_t h, std::size_t length)
{
    h = (h ^ length) * 0xbf58476d1ce4e5b9ULL;
    return h ^ (h >> 31);
}

// The bytes of w equal to those of delims flagged by their high bit; the
// lowest flag is exact, those above it may be false.
std::uint64_t delimiters(std::uint64_t w, std::uint64_t delims)
{
    const std::uint64_t x = w ^ delims;
    return (x - kOnes) & ~x & kHighs;
}

}  // namespace

inline std::uint64_t FSNameHash::fold(std::uint64_t w) const
{
    return caseSensitive_ ? w : foldWord(w);
}

inline std::uint64_t FSNameHash::word(const char* bytes, std::size_t n) const
{
    return fold(load(bytes, n));
}

std::uint64_t FSNameHash::hash(std::uint64_t seed, std::string_view name) const
{
    return component(seed, name).key;
}

FSNameHash::Component FSNameHash::component(std::uint64_t seed, std::string_view name) const
{
    Component c = {seed, {0, 0}, name.size()};
    const char* at = name.data();
    std::size_t k = 0;
    for (std::size_t left = name.size();; left -= 8, at += 8) {
        const std::uint64_t w = word(at, left < 8 ? left : 8);
        c.key = step(c.key, w);
        if (k < kWords)
            c.words[k++] = w;
        if (left < 8)
            break;
    }
    c.key = finish(c.key, c.length);
    return c;
}

FSNameHash::Component FSNameHash::scan(std::uint64_t seed, const char* text, const char* stop, char delim) const
{
    Component c = {seed, {0, 0}, 0};
    const std::uint64_t delims = kOnes * static_cast<unsigned char>(delim);
    for (std::size_t k = 0;; ++k) {
        const char* at = text + c.length;
        const std::size_t left = static_cast<std::size_t>(stop - at);
        std::uint64_t w;
        std::uint64_t found;
        if (left >= 8) {
            std::memcpy(&w, at, 8);
            found = delimiters(w, delims);
        } else {
            // The text's end counts as a delimiter.
            w = load(at, left);
            found = delimiters(w, delims) | 0x80ULL << (8 * left);
        }
        if (found) {
            const std::uint64_t before = ((found & (0 - found)) >> 7) - 1;  // the bytes before it
            w = fold(w & before);
            c.length += static_cast<std::size_t>(__builtin_ctzll(found)) / 8;
        } else {
            w = fold(w);
            c.length += 8;
        }
        c.key = step(c.key, w);
        if (k < kWords)
            c.words[k] = w;
        if (found)
            break;
    }
    c.key = finish(c.key, c.length);
    return c;
}

bool FSNameHash::equal(const char* a, const char* b, std::size_t n) const
{
    for (std::size_t at = 0; at < n; at += 8) {
        const std::size_t count = n - at < 8 ? n - at : 8;
        if (word(a + at, count) != word(b + at, count))
            return false;
    }
    return true;
}
