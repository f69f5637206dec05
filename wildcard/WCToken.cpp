// Pattern tokens other than sets: the inert token, literal characters, '?' and '*';
// and the sequence that owns a basename's tokens.
#include "wildcard/WCSubclients.h"
#include "wildcard/WCText.h"

#include <memory>
#include <new>

WCTokenArgs::WCTokenArgs() : negated(false), minChar(0), maxChar(0) {}

// ---------------------------------------------------------------------------
// WCToken: stands for nothing.

WCToken::WCToken() = default;
WCToken::~WCToken() = default;

unsigned long WCToken::getFixedChar()
{
    return 0;
}

bool WCToken::getFirst(WCTokenArgs&)
{
    return false;
}

bool WCToken::getNext(WCTokenArgs&)
{
    return false;
}

bool WCToken::isQuestion()
{
    return false;
}

bool WCToken::isStar()
{
    return false;
}

bool WCToken::matches(WCToken&, bool)
{
    return false;
}

bool WCToken::contains(WCToken&, bool)
{
    return false;
}

std::string WCToken::toUtf8(unsigned long)
{
    return std::string();
}

WCToken* WCToken::createCaseInsensitiveToken()
{
    return new (std::nothrow) WCToken();
}

// ---------------------------------------------------------------------------
// WCChar: one literal character.

WCChar::WCChar(unsigned long ch) : ch(ch) {}

unsigned long WCChar::getFixedChar()
{
    return ch;
}

bool WCChar::getFirst(WCTokenArgs& args)
{
    args.negated = false;
    args.minChar = ch;
    args.maxChar = ch;
    return true;
}

bool WCChar::getNext(WCTokenArgs&)
{
    return false;
}

bool WCChar::matches(WCToken& other, bool caseSensitive)
{
    if (other.isQuestion() || other.isStar())
        return true;
    unsigned long c = other.getFixedChar();
    if (c == 0)  // a set decides; a character 0 (never parsed) matches nothing, which also ends the hand-over
        return ch != 0 && other.matches(*this, caseSensitive);
    return caseSensitive ? ch == c : foldAscii(ch) == foldAscii(c);
}

bool WCChar::contains(WCToken& other, bool caseSensitive)
{
    if (other.isQuestion() || other.isStar())
        return false;
    unsigned long c = other.getFixedChar();
    if (c == 0)
        return false;
    return caseSensitive ? ch == c : foldAscii(ch) == foldAscii(c);
}

std::string WCChar::toUtf8(unsigned long escapeChar)
try {
    if (ch == escapeChar || ch == '[' || ch == '?' || ch == '*')
        return utf8Of(escapeChar) + utf8Of(ch);
    return utf8Of(ch);
} catch (const std::bad_alloc&) {
    return std::string();
}

WCToken* WCChar::createCaseInsensitiveToken()
{
    unsigned long partner = getOtherCase(ch);
    if (partner == 0)
        return new (std::nothrow) WCChar(ch);
    std::unique_ptr<WCRange> both(new (std::nothrow) WCRange(false));
    if (!both)
        return nullptr;
    try {
        both->addRange(ch, 0);
        both->addRange(partner, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return both.release();
}

// ---------------------------------------------------------------------------
// WCQuestion: any one character.

WCQuestion::WCQuestion() = default;

bool WCQuestion::isQuestion()
{
    return true;
}

bool WCQuestion::matches(WCToken&, bool)
{
    return true;
}

bool WCQuestion::contains(WCToken& other, bool)
{
    return !other.isStar();
}

std::string WCQuestion::toUtf8(unsigned long)
{
    return "?";
}

WCToken* WCQuestion::createCaseInsensitiveToken()
{
    return new (std::nothrow) WCQuestion();
}

// ---------------------------------------------------------------------------
// WCStar: any run of characters.

WCStar::WCStar() = default;

bool WCStar::isStar()
{
    return true;
}

bool WCStar::matches(WCToken&, bool)
{
    return true;
}

bool WCStar::contains(WCToken&, bool)
{
    return true;
}

std::string WCStar::toUtf8(unsigned long)
{
    return "*";
}

WCToken* WCStar::createCaseInsensitiveToken()
{
    return new (std::nothrow) WCStar();
}

// ---------------------------------------------------------------------------
// WCSequence

WCSequence::WCSequence() = default;

WCSequence::~WCSequence()
{
    clear();
}

bool WCSequence::add(WCToken* token)
{
    if (token && !tokens)
        tokens.reset(new (std::nothrow) std::vector<WCToken*>());
    if (!tokens) {
        delete token;
        return false;
    }
    return appendOwned(*tokens, token);
}

// The inert token of every sequence: it has no state to share.
WCToken& WCSequence::get(int index)
{
    static WCToken emptyToken;
    if (index < 0 || index >= getSize())
        return emptyToken;
    return *(*tokens)[static_cast<std::size_t>(index)];
}

int WCSequence::getSize() const
{
    return tokens ? static_cast<int>(tokens->size()) : 0;
}

void WCSequence::clear()
{
    if (!tokens)
        return;
    for (WCToken* token : *tokens)
        delete token;
    tokens.reset();
}
