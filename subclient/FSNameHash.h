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
    std::uint64_t word(const char* bytes, std::size_t n) const;
    std::uint64_t fold(std::uint64_t w) const;

    bool caseSensitive_;
};

#endif
