// A configuration summary that serves a fixed text and fixed application ids,
// so that tests reach every line kind and failure path of the summary load.
#ifndef SUBCLIENTCONF_TESTS_SUBCLIENT_TEXTSUMMARY_H
#define SUBCLIENTCONF_TESTS_SUBCLIENT_TEXTSUMMARY_H

#include "platform/ApplicationId.h"
#include "platform/SubclientConfSummary.h"

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// Constructed before the summary base, which keeps a reference to it.
struct ApplicationHolder {
    ApplicationId application{0, 0};
};

class TextSummary : private ApplicationHolder, public SubclientConfSummary {
public:
    TextSummary(const std::string& text, std::vector<unsigned long> ids)
        : SubclientConfSummary(application, 0), stream_(text), ids_(std::move(ids))
    {}

    std::istream* getConfigStream(void*) override { return &stream_; }

    int lookupAppIds(std::vector<unsigned long>& ids, void*, void*) override
    {
        if (throwOnLookup)
            throw std::runtime_error("service down");
        ids = ids_;
        return lookupResult;
    }

    int lookupResult = 0;
    bool throwOnLookup = false;

private:
    std::istringstream stream_;
    std::vector<unsigned long> ids_;
};

// A stream whose reads fail with an I/O error after the given text.
class FailingStreamBuf : public std::stringbuf {
public:
    explicit FailingStreamBuf(const std::string& text) : std::stringbuf(text) {}

protected:
    int_type underflow() override
    {
        const int_type c = std::stringbuf::underflow();
        if (traits_type::eq_int_type(c, traits_type::eof()))
            throw std::runtime_error("disk gone");
        return c;
    }
};

class FailingSummary : public TextSummary {
public:
    explicit FailingSummary(const std::string& text) : TextSummary("", {}), buf_(text), stream_(&buf_) {}
    std::istream* getConfigStream(void*) override { return &stream_; }

private:
    FailingStreamBuf buf_;
    std::istream stream_;
};

#endif
