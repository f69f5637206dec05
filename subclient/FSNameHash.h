// Hashing and comparing component names eight bytes at a time.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSNAMEHASH_H
#define SUBCLIENTCONF_SUBCLIENT_FSNAMEHASH_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "names are read as little-endian words");

// When case is ignored ASCII capitals are folded and bytes 128-255 stay, as
// in the case-insensitive comparison of names: names equal in the mode give
// equal hashes.
class FSNameHash {
public:
    // Names up to this many bytes are compared as kWords numbers.
    static const std::size_t kWords = 2;
    static const std::size_t kShortName = 8 * kWords;

    // One component of a path: its hash, its length and, for a short name,
    // its bytes as the mode compares them, zero past the end.
    struct Component {
        std::uint64_t key;
        std::uint64_t words[kWords];
        std::size_t length;
    };

    explicit FSNameHash(bool caseSensitive) : caseSensitive_(caseSensitive) {}

    bool caseSensitive() const { return caseSensitive_; }
    // The hash of name, chained on seed (the hash of what comes before it).
    std::uint64_t hash(std::uint64_t seed, std::string_view name) const;
    // The component name, hashed as hash() does.
    Component component(std::uint64_t seed, std::string_view name) const;
    // The component that begins at text and ends before the first delim or
    // at stop, found and hashed in one pass over its bytes; nothing at or
    // past stop is read.
    Component scan(std::uint64_t seed, const char* text, const char* stop, char delim) const;
    // Are the n bytes at a and at b equal in the mode?
    bool equal(const char* a, const char* b, std::size_t n) const;
    bool equal(std::string_view a, std::string_view b) const
    {
        return a.size() == b.size() && equal(a.data(), b.data(), a.size());
    }

private:
#if defined(__SSE2__)
    // The name that fills the first length bytes of block (length < 16).
    Component shortName(std::uint64_t seed, __m128i block, std::size_t length) const;
#endif
    // scan for a name of sixteen bytes or more.
    Component scanRest(std::uint64_t seed, const char* text, const char* stop, char delim) const;

    static const std::uint64_t kOnes = 0x0101010101010101ULL;
    static const std::uint64_t kHighs = 0x80 * kOnes;

    std::uint64_t word(const char* bytes, std::size_t n) const
    {
        return fold(load(bytes, n));
    }
    std::uint64_t fold(std::uint64_t w) const
    {
        return caseSensitive_ ? w : foldWord(w);
    }

    // Lowers the ASCII capitals among eight bytes at once; bytes 128-255 stay.
    static std::uint64_t foldWord(std::uint64_t w)
    {
        const std::uint64_t low = w & (0x7F * kOnes);  // no carry between bytes below
        const std::uint64_t atLeastA = low + (0x80 - 'A') * kOnes;
        const std::uint64_t aboveZ = low + (0x80 - 'Z' - 1) * kOnes;
        const std::uint64_t capital = atLeastA & ~aboveZ & ~w & kHighs;
        return w | (capital >> 2);
    }

    // Up to eight bytes as one number, in as few loads as their count allows.
    static std::uint64_t load(const char* bytes, std::size_t n)
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

    // The hash reads a name as its whole words, then one partial word
    // (empty when the length is a multiple of eight), then the length.
    static std::uint64_t step(std::uint64_t h, std::uint64_t w)
    {
        h = (h ^ w) * 0x9fb21c651e98df25ULL;
        return h ^ (h >> 29);
    }
    static std::uint64_t finish(std::uint64_t h, std::size_t length)
    {
        h = (h ^ length) * 0xbf58476d1ce4e5b9ULL;
        return h ^ (h >> 31);
    }

    // The bytes of w equal to those of delims flagged by their high bit; the
    // lowest flag is exact, those above it may be false.
    static std::uint64_t delimiters(std::uint64_t w, std::uint64_t delims)
    {
        const std::uint64_t x = w ^ delims;
        return (x - kOnes) & ~x & kHighs;
    }

    bool caseSensitive_;
};

#if defined(__SSE2__)
inline FSNameHash::Component FSNameHash::shortName(std::uint64_t seed, __m128i block, std::size_t length) const
{
    alignas(16) static const unsigned char kKeep[32] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    __m128i name = _mm_and_si128(block, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kKeep + 16 - length)));
    if (!caseSensitive_) {
        // Signed compares: bytes 128-255 count as below 'A' and stay.
        const __m128i capital =
            _mm_and_si128(_mm_cmpgt_epi8(name, _mm_set1_epi8('A' - 1)), _mm_cmplt_epi8(name, _mm_set1_epi8('Z' + 1)));
        name = _mm_or_si128(name, _mm_and_si128(capital, _mm_set1_epi8(0x20)));
    }
    Component c;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(c.words), name);
    std::uint64_t h = step(seed, c.words[0]);
    if (length >= 8)
        h = step(h, c.words[1]);
    c.key = finish(h, length);
    c.length = length;
    return c;
}
#endif

// Inline: every level of every search comes here. A name shorter than
// sixteen bytes, with sixteen bytes of text left, is found, cut and folded
// as one block; the hash is the word loop's of scanRest.
inline FSNameHash::Component FSNameHash::scan(std::uint64_t seed, const char* text, const char* stop, char delim) const
{
#if defined(__SSE2__)
    const std::size_t left = static_cast<std::size_t>(stop - text);
    if (left >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
        const unsigned ends = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(delim))));
        if (ends)
            return shortName(seed, block, static_cast<std::size_t>(__builtin_ctz(ends)));
    } else {
        // The rest of the text, read without passing its end; the end is a delimiter.
        const std::uint64_t low = left >= 8 ? load(text, 8) : load(text, left);
        const std::uint64_t high = left > 8 ? load(text + 8, left - 8) : 0;
        const __m128i block = _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low));
        const unsigned ends =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(delim)))) | 1u << left;
        return shortName(seed, block, static_cast<std::size_t>(__builtin_ctz(ends)));
    }
#endif
    return scanRest(seed, text, stop, delim);
}

#endif
