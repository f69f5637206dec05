// Hashing and comparing component names eight bytes at a time.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSNAMEHASH_H
#define SUBCLIENTCONF_SUBCLIENT_FSNAMEHASH_H

#include <cstddef>
#include <cstdint>
#include <string_view>

// When case is ignored ASCII capitals are folded and bytes 128-255 stay, as
// in the case-insensitive comparison of names: names equal in the mode give
// equal hashes.
class FSNameHash {
public:
    explicit FSNameHash(bool caseSensitive) : caseSensitive_(caseSensitive) {}

    bool caseSensitive() const { return caseSensitive_; }
    // The hash of name, chained on seed (the hash of what comes before it).
    std::uint64_t hash(std::uint64_t seed, std::string_view name) const;
    // Are the n bytes at a and at b equal in the mode?
    bool equal(const char* a, const char* b, std::size_t n) const;
    bool equal(std::string_view a, std::string_view b) const
    {
        return a.size() == b.size() && equal(a.data(), b.data(), a.size());
    }

private:
    std::uint64_t word(const char* bytes, std::size_t n) const;

    bool caseSensitive_;
};

#endif
