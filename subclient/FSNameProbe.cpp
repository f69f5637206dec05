#include "subclient/FSNameProbe.h"

#include "wildcard/WCText.h"

#include <string>

FSNameProbe::FSNameProbe(char escapeChar) : escapeChar_(static_cast<unsigned char>(escapeChar)) {}

bool FSNameProbe::set(std::string_view name)
{
    name_ = name;
    length_ = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(name.data());
    const unsigned char* end = p + name.size();
    while (p < end && length_ < WCConverter::capacity) {
        std::size_t step = 1;
        if (*p < 0x80)
            codes_[length_] = *p;  // what decoding gives for ASCII
        else if (decodeUtf8(p, end, codes_[length_], step) != utf8Ok)
            break;
        ++length_;
        p += step;
    }
    converted_ = p == end && length_ > 0;
    parseTried_ = false;
    return converted_ || parsed() != nullptr;
}

bool FSNameProbe::overlappedBy(WCBasename& pattern, bool caseSensitive)
{
    WCSequence& tokens = *pattern.getTokens();
    const int n = tokens.getSize();
    if (!converted_ || n == 0) {
        WCBasename* probe = parsed();
        return probe && pattern.overlaps(*probe, caseSensitive);
    }
    const int m = static_cast<int>(length_);
    const bool starless = pattern.getNumStars() == 0;
    if (starless && n != m)
        return false;
    // From the front up to the first star, then from the back down to the
    // last; what lies between the stars is not compared.
    for (int k = 0; !(n == m && k == n); ++k) {
        WCToken& mine = tokens.get(k);
        if (mine.isStar())
            break;
        if (!matchesCharacter(mine, k, caseSensitive))
            return false;
    }
    if (starless)
        return true;
    for (int i = n - 1, j = m - 1;; --i, --j) {
        if (n == m && i < 0)
            return true;
        WCToken& mine = tokens.get(i);
        if (mine.isStar())
            return true;
        if (!matchesCharacter(mine, j, caseSensitive))
            return false;
    }
}

WCBasename* FSNameProbe::parsed()
{
    if (!parseTried_) {
        if (!basename_)
            basename_.emplace(escapeChar_, false);
        parseFailed_ = basename_->parse(std::string(name_));
        parseTried_ = true;
    }
    return parseFailed_ ? nullptr : &*basename_;
}

// Past either end a basename yields the inert token, which matches nothing.
bool FSNameProbe::matchesCharacter(WCToken& mine, int k, bool caseSensitive)
{
    if (k < 0 || k >= static_cast<int>(length_)) {
        WCToken inert;
        return mine.matches(inert, caseSensitive);
    }
    WCChar character(codes_[k]);
    return mine.matches(character, caseSensitive);
}
