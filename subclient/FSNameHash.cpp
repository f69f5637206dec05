#include "subclient/FSNameHash.h"

#include <cstring>

namespace {

const std::uint64_t kOnes = 0x0101010101010101ULL;

// Lowers the ASCII capitals among eight bytes at once; bytes 128-255 stay.
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

}  // namespace

inline std::uint64_t FSNameHash::word(const char* bytes, std::size_t n) const
{
    const std::uint64_t w = load(bytes, n);
    return caseSensitive_ ? w : foldWord(w);
}

std::uint64_t FSNameHash::hash(std::uint64_t seed, std::string_view name) const
{
    std::uint64_t h = seed ^ (name.size() * 0x9e3779b97f4a7c15ULL);
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

bool FSNameHash::equal(const char* a, const char* b, std::size_t n) const
{
    for (std::size_t at = 0; at < n; at += 8) {
        const std::size_t count = n - at < 8 ? n - at : 8;
        if (word(a + at, count) != word(b + at, count))
            return false;
    }
    return true;
}
