// Wildcard pattern engine: Unicode conversion, pattern tokens, path components and paths.
//
// Patterns work on Unicode code points held in unsigned long (32-bit values even
// where long is wider). A code-point string is a zero-terminated array; 0 is
// never a character. Parse operations return true on failure.
#ifndef SUBCLIENTCONF_WILDCARD_WCSUBCLIENTS_H
#define SUBCLIENTCONF_WILDCARD_WCSUBCLIENTS_H

#include <memory>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------
// Unicode conversion and case mapping

// Converts between UTF-8 and code points through fixed buffers. Create one
// as a local object for each conversion.
class WCConverter {
public:
    // Room for this many code points (plus the terminator), and as many UTF-8
    // bytes in fromUnicode: longer text is a reported conversion failure.
    static constexpr unsigned int capacity = 2048;

    WCConverter();
    virtual ~WCConverter();

    // All text.length() bytes, converted; the converter's own buffer, valid
    // until the next toUnicode or the converter's end. Empty on failure.
    unsigned long* toUnicode(const std::string& text);
    // The UTF-8 form of a zero-terminated code-point string; empty on failure.
    std::string fromUnicode(const unsigned long* text);

private:
    unsigned long buffer[capacity + 1];
};

// Byte comparisons of component names; only ASCII letters fold.
bool NoCaseCompareChar(char a, char b);
bool NoCaseStringsEqual(std::string a, std::string b);
bool StringsEqual(std::string a, std::string b);

// ---------------------------------------------------------------------------
// Tokens

// What getFirst/getNext report: one interval of the characters a token stands for.
struct WCTokenArgs {
    WCTokenArgs();
    bool negated;
    unsigned long minChar;
    unsigned long maxChar;
};

// The base token; on its own an inert token that matches and contains nothing.
class WCToken {
public:
    WCToken();
    virtual ~WCToken();
    WCToken(const WCToken&) = delete;
    WCToken& operator=(const WCToken&) = delete;

    // The one character the token always stands for, or 0.
    virtual unsigned long getFixedChar();
    // Enumerate the token's intervals.
    virtual bool getFirst(WCTokenArgs& args);
    virtual bool getNext(WCTokenArgs& args);
    virtual bool isQuestion();
    virtual bool isStar();
    // Could this token and other match one and the same character?
    virtual bool matches(WCToken& other, bool caseSensitive);
    // Does this token match every character that other can match?
    virtual bool contains(WCToken& other, bool caseSensitive);
    // The token as pattern text.
    virtual std::string toUtf8(unsigned long escapeChar);
    // A new token (owned by the caller) matching both cases of what this one matches; null when memory is short.
    virtual WCToken* createCaseInsensitiveToken();

    // The case partner of c (ASCII and Latin-1 letters), or 0.
    static unsigned long getOtherCase(unsigned long c);
};

class WCChar : public WCToken {
public:
    explicit WCChar(unsigned long ch);
    unsigned long getFixedChar() override;
    bool getFirst(WCTokenArgs& args) override;
    bool getNext(WCTokenArgs& args) override;
    bool matches(WCToken& other, bool caseSensitive) override;
    bool contains(WCToken& other, bool caseSensitive) override;
    std::string toUtf8(unsigned long escapeChar) override;
    WCToken* createCaseInsensitiveToken() override;

private:
    unsigned long ch;
};

// The base's getFixedChar/getFirst/getNext (no fixed character, no intervals) serve '?' and '*'.
class WCQuestion : public WCToken {
public:
    WCQuestion();
    bool isQuestion() override;
    bool matches(WCToken& other, bool caseSensitive) override;
    bool contains(WCToken& other, bool caseSensitive) override;
    std::string toUtf8(unsigned long escapeChar) override;
    WCToken* createCaseInsensitiveToken() override;
};

class WCStar : public WCToken {
public:
    WCStar();
    bool isStar() override;
    bool matches(WCToken& other, bool caseSensitive) override;
    bool contains(WCToken& other, bool caseSensitive) override;
    std::string toUtf8(unsigned long escapeChar) override;
    WCToken* createCaseInsensitiveToken() override;
};

// A bracketed set: intervals in insertion order, possibly overlapping, optionally negated.
class WCRange : public WCToken {
public:
    explicit WCRange(bool negated);
    // Appends one interval; a maxChar of 0 means the single character minChar.
    void addRange(unsigned long minChar, unsigned long maxChar);

    unsigned long getFixedChar() override;
    bool getFirst(WCTokenArgs& args) override;
    bool getNext(WCTokenArgs& args) override;
    bool matches(WCToken& other, bool caseSensitive) override;
    bool contains(WCToken& other, bool caseSensitive) override;
    std::string toUtf8(unsigned long escapeChar) override;
    WCToken* createCaseInsensitiveToken() override;

    struct Interval {
        unsigned long lo;
        unsigned long hi;
    };

private:
    const std::vector<Interval>& boundsFor(bool caseSensitive) const;
    bool holds(unsigned long c, bool caseSensitive) const;
    bool overlapsIntervalsOf(WCToken& other, WCTokenArgs& args, bool caseSensitive);
    bool coversCharactersOf(WCToken& other, bool caseSensitive);
    bool addCaseInsensitiveBoundsTo(WCRange& copy) const;
    static void addPartnersOf(WCRange& target, unsigned long lo, unsigned long hi);

    std::vector<Interval> bounds;       // as written in the pattern
    std::vector<Interval> lowerBounds;  // what they stand for with ASCII capitals lowered
    bool negated;
    int nextRange;  // enumeration cursor of getNext
};

// The owning list of a basename's tokens.
class WCSequence {
public:
    WCSequence();
    virtual ~WCSequence();
    WCSequence(const WCSequence&) = delete;
    WCSequence& operator=(const WCSequence&) = delete;

    // Takes ownership. False (and the token destroyed) when it is null or cannot be stored.
    bool add(WCToken* token);
    // The token at index, or the inert token when index is out of range.
    WCToken& get(int index);
    int getSize() const;
    void clear();

private:
    // Made with the first token: most sequences of a content tree (those of
    // its literal components) stay empty, and then cost one pointer.
    std::unique_ptr<std::vector<WCToken*>> tokens;
};

// ---------------------------------------------------------------------------
// Path components

// One path component, literal or a wildcard pattern (decided at construction).
class WCBasename {
public:
    WCBasename(unsigned long escapeChar, bool isWildCard);
    virtual ~WCBasename();
    WCBasename(const WCBasename&) = delete;
    WCBasename& operator=(const WCBasename&) = delete;

    // True on failure. On success getBasename() becomes text.
    bool parse(const std::string& text);
    bool parse(const unsigned long* text);
    // Parses the set opening at start: the index of its closing ']', 0 when it
    // has none, -1 when text[start] is not '['.
    int parseSet(const unsigned long* text, unsigned int start);

    // Literal equality with a name (false for a pattern).
    bool exactMatch(const std::string& name, bool caseSensitive);
    // Could some name match both? (The text between the first and last star is not compared.)
    bool overlaps(WCBasename& other, bool caseSensitive);
    // Does every name matching other from token otherFrom on match this from token from on?
    bool contains(WCBasename& other, bool caseSensitive, unsigned int from, unsigned int otherFrom);
    // Two or more tokens, all of them stars.
    bool isStarStar();

    std::string toUtf8();
    // A new wildcard basename (owned by the caller) matching both cases; null on failure.
    WCBasename* createCaseInsensitiveBasename();

    std::string getBasename();
    bool isWildCard();
    WCSequence* getTokens();
    int getNumStars();
    void clean();

private:
    class TokenView;

    bool addToken(WCToken* token);
    bool parseCodePoints(const unsigned long* text, unsigned int length);
    bool keepLiteralText(const std::string& text);
    bool hasPatternCharacter(const std::string& text) const;
    bool buildLiteralTokens();

    std::string basename;
    unsigned long escapeChar;
    WCSequence tokens;
    bool wildCard;
    // A literal of plain ASCII text keeps only its text until getTokens() is
    // called: its token k is the character basename[k]. The content tree holds
    // one literal per component and seldom needs their tokens.
    bool tokensPending;
    int numStars;
};

// ---------------------------------------------------------------------------
// Paths

// Which components of a parsed path are patterns.
enum PathMode {
    PathModeLiteral = 1,   // none
    PathModeLastWild = 2,  // only the last component
    PathModeAllWild = 3    // every component
};

// A path split at its delimiter (its first character) into components.
class WCPath {
public:
    WCPath();
    virtual ~WCPath();
    WCPath(const WCPath&) = delete;
    WCPath& operator=(const WCPath&) = delete;

    // True on failure; meant for a fresh path (components are appended).
    bool parse(const std::string& text, PathMode mode);
    // Could a path matching other lie at or under a path matching this one?
    bool couldContain(WCPath& other, bool caseSensitive);
    // Does every path matching other lie at or under this one?
    bool completelyContains(WCPath& other, bool caseSensitive);
    // A new path (owned by the caller) matching both cases; null on failure.
    WCPath* createCaseInsensitivePath();

    std::vector<WCBasename*>* getBasenames();
    void clean();

private:
    std::string path;
    char delimiter;
    std::vector<WCBasename*> basenames;
    PathMode mode;
};

#endif
