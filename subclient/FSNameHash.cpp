#include "subclient/FSNameHash.h"

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

bool FSNameHash::equal(const char* a, const char* b, std::size_t n) const
{
    for (std::size_t at = 0; at < n; at += 8) {
        const std::size_t count = n - at < 8 ? n - at : 8;
        if (word(a + at, count) != word(b + at, count))
            return false;
    }
    return true;
}

FSNameHash::Component FSNameHash::scanRest(std::uint64_t seed, const char* text, const char* stop, char delim) const
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
