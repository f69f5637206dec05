// Path normalization: one leading delimiter, no doubled or trailing one.
#include "subclient/FSSubclientConfPrivate.h"

#include <cstring>
#include <exception>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

const char kImageVolumeDelimiter = 0x12;
const char kImageVolumeEnd = 0x13;
const size_t kMaxVolumeName = 1023;

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDriveLetter(const char* in, size_t len)
{
    return len == 2 && in[1] == ':' && isAsciiLetter(in[0]);
}

bool isNetWareVolume(const char* in, size_t len)
{
    return len > 1 && in[len - 1] == ':';
}

bool isMountPointVolume(const char* in, size_t len)
{
    return len > 2 && in[1] == ':' && in[2] == kImageVolumeDelimiter;
}

// The other slash stands for a slash delimiter; '.' and ',' have no alternate.
char alternateOf(char d)
{
    if (d == '/')
        return '\\';
    if (d == '\\')
        return '/';
    return d;
}

// Finds the path's delimiter. A leading delimiter is consumed (start 1);
// otherwise the first slash of either kind after the first character
// decides and the whole text is kept (start 0).
bool findDelimiter(const char* in, size_t len, char& delim, size_t& start)
{
    if (len > 0 && isPathDelimiter(in[0])) {
        delim = in[0];
        start = 1;
        return true;
    }
    for (size_t i = 1; i < len; ++i) {
        if (in[i] == '/' || in[i] == '\\') {
            delim = in[i];
            start = 0;
            return true;
        }
    }
    return false;
}

// Fixed-size output with the few string operations the normalizer needs.
struct CharBuffer {
    char* text;
    size_t length;
    void push_back(char c) { text[length++] = c; }
    void append(const char* from, size_t count)
    {
        memcpy(text + length, from, count);
        length += count;
    }
    void pop_back() { --length; }
    char back() const { return text[length - 1]; }
    size_t size() const { return length; }
};

// Writes delim, then text with doubled delimiters dropped and, when
// interchange is on, the alternate slash read as the delimiter; a trailing
// delimiter is removed unless it is all there is. Names between delimiters
// are copied whole: every lookup of a path normalizes it first.
void appendNormalized(CharBuffer& out, const char* text, size_t len, char delim, bool interchange)
{
    const char alternate = interchange ? alternateOf(delim) : delim;
    out.push_back(delim);
    bool afterDelim = true;
    for (size_t i = 0; i < len;) {
        if (text[i] == delim || text[i] == alternate) {
            if (!afterDelim)
                out.push_back(delim);
            afterDelim = true;
            ++i;
            continue;
        }
        size_t end = i + 1;
        if (alternate == delim) {
            const void* next = memchr(text + end, delim, len - end);
            end = next ? static_cast<size_t>(static_cast<const char*>(next) - text) : len;
        }
        while (end < len && text[end] != delim && text[end] != alternate)
            ++end;
        out.append(text + i, end - i);
        afterDelim = false;
        i = end;
    }
    if (out.size() > 1 && out.back() == delim)
        out.pop_back();
}

// True when text, which begins with delim, is what normalizing it gives:
// no doubled or trailing delimiter and no alternate to replace. Paths
// handed to lookups mostly are, and checking costs less than rewriting.
bool isNormalized(const char* text, size_t len, char delim, char alternate)
{
    if (len > 1 && text[len - 1] == delim)
        return false;
#if defined(__SSE2__)
    // Sixteen bytes a step; the last block overlaps the one before it.
    if (len >= 16) {
        const __m128i delims = _mm_set1_epi8(delim);
        // A text holds no NUL, so without an alternate nothing matches it.
        const __m128i alternates = _mm_set1_epi8(alternate == delim ? '\0' : alternate);
        unsigned before = 0;  // 1: the byte before the block is a delimiter
        for (size_t at = 0;;) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
            const unsigned found = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, delims)));
            if ((found & ((found << 1) | before)) || _mm_movemask_epi8(_mm_cmpeq_epi8(block, alternates)))
                return false;
            if (at + 16 >= len)
                return true;
            at = at + 32 <= len ? at + 16 : len - 16;
            before = text[at - 1] == delim;
        }
    }
#endif
    if (alternate != delim && memchr(text, alternate, len))
        return false;
    for (const char* at = text;
         (at = static_cast<const char*>(memchr(at, delim, len - static_cast<size_t>(at - text))));) {
        if (++at < text + len && *at == delim)
            return false;
    }
    return true;
}

}  // namespace

bool CFSSubclientConfPrivate::interchangesSlashes(char delim, bool fixSlashes) const
{
    return !treatSlashAsSlash(appType) && fixSlashes && (delim != '/' || useDelimiterInterchangeably);
}

char CFSSubclientConfPrivate::normalizedDelimiter(const char* text, size_t len, bool fixSlashes) const
{
    char delim;
    size_t start;
    if (len == 0 || text[0] == '<' || isDriveLetter(text, len) || !findDelimiter(text, len, delim, start) || start != 1)
        return 0;
    return isNormalized(text, len, delim, interchangesSlashes(delim, fixSlashes) ? alternateOf(delim) : delim) ? delim
                                                                                                               : 0;
}

bool isPathDelimiter(char c)
{
    return c == '/' || c == '\\' || c == '.' || c == ',';
}

// A switch, not a table scan: every lookup of a path asks.
bool CFSSubclientConfPrivate::treatSlashAsSlash(int appType)
{
    switch (appType) {
    case 6:
    case 7:
    case 8:
    case 14:
    case 35:
    case 44:
    case 45:
    case 51:
    case 52:
    case 54:
    case 55:
    case 56:
    case 57:
    case 59:
    case 60:
    case 67:
    case 68:
    case 77:
    case 78:
    case 82:
    case 90:
        return true;
    default:
        return false;
    }
}

bool splitWildcardContent(std::string_view content, std::string& path)
{
    try {
        const std::string_view::size_type at = content.find(CFSSubclientConfPrivate::kWildcardMarker);
        // A string of its own size: an insertion's replay record keeps it.
        path = std::string(content.substr(0, at));
        return at != std::string_view::npos;
    } catch (const std::exception&) {
        KXLOG(-1, "out of memory");
        path.clear();
        return false;
    }
}

bool isWildCardContent(const std::string& content, std::string& path)
{
    return splitWildcardContent(content, path);
}

int imageVolumeNameToPath(char* text, char d)
{
    for (char* p = text; p[0] != '\0' && p[1] != '\0'; ++p) {
        if (p[1] == kImageVolumeDelimiter)
            p[1] = d;
        if (p[1] == kImageVolumeEnd)
            p[1] = '\0';
    }
    return 0;
}

char FSSubclientConf::fixPath(const std::string& in, std::string& out, bool fixSlashes)
{
    try {
        out.clear();
        if (in.empty())
            return 0;
        if (in[0] == '<') {
            out = in;
            return '/';
        }
        const char* text = in.data();
        const size_t len = in.size();
        if (isDriveLetter(text, len)) {
            out = std::string("\\") + in;
            return '\\';
        }
        char delim;
        size_t start;
        if (!findDelimiter(text, len, delim, start)) {
            if (isNetWareVolume(text, len) || isMountPointVolume(text, len)) {
                out = "\\" + in;
                return '\\';
            }
            out = (in[0] == '%' ? "/" : "/**/") + in;
            TLOG(1, "No delimiter for %s, changing it to %s with delimiter %c", in.c_str(), out.c_str(), '/');
            return '/';
        }
        const bool interchange = d->interchangesSlashes(delim, fixSlashes);
        if (start == 1 && isNormalized(text, len, delim, interchange ? alternateOf(delim) : delim)) {
            out = in;
            return delim;
        }
        // Normalizing never lengthens beyond the added leading delimiter, so
        // the text is written in place, not appended a character at a time.
        out.resize(len - start + 1);
        CharBuffer buffer = {&out[0], 0};
        appendNormalized(buffer, text + start, len - start, delim, interchange);
        out.resize(buffer.length);
        return delim;
    } catch (const std::exception&) {
        TLOG(-1, "out of memory");
        out.clear();
        return 0;
    }
}

char FSSubclientConf::fixPath(const char* in, char* out, bool fixSlashes)
{
    if (!in || !out)
        return 0;
    const size_t len = strlen(in);
    if (isDriveLetter(in, len)) {
        out[0] = '\\';
        out[1] = in[0];
        out[2] = ':';
        out[3] = '\0';
        return '\\';
    }
    char delim;
    size_t start;
    if (!findDelimiter(in, len, delim, start)) {
        const bool netWare = isNetWareVolume(in, len);
        if (!netWare && !isMountPointVolume(in, len)) {
            TLOG(-1, "No delimiter for %s", in);
            return 0;
        }
        if (len > kMaxVolumeName) {
            if (netWare)
                TLOG(-1, "Path too long at %d to turn into NetWare volume", static_cast<int>(len));
            else
                TLOG(-1, "Path too long at %d to turn into Mount point volume", static_cast<int>(len));
            return 0;
        }
        out[0] = '\\';
        memcpy(out + 1, in, len + 1);
        return '\\';
    }
    // A backslash inside a slash path is always part of a name here.
    const bool interchange = !CFSSubclientConfPrivate::treatSlashAsSlash(d->appType) && fixSlashes && delim != '/';
    CharBuffer buffer = {out, 0};
    appendNormalized(buffer, in + start, len - start, delim, interchange);
    out[buffer.length] = '\0';
    return delim;
}
