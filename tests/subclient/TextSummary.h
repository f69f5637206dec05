// A configuration summary that serves a fixed text and fixed application ids.
#ifndef SUBCLIENTCONF_TESTS_SUBCLIENT_TEXTSUMMARY_H
#define SUBCLIENTCONF_TESTS_SUBCLIENT_TEXTSUMMARY_H

#include "platform/SubclientConfSummary.h"

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// A lookup result of -1 stands for a service that throws, ioError for a text that cannot be read.
class TextSummary : public SubclientConfSummary {
public:
    TextSummary(const std::string& text, std::vector<unsigned long> ids, int lookupResult = 0, bool ioError = false)
        : stream_(text), ids_(std::move(ids)), lookupResult_(lookupResult)
    {
        if (ioError)
            stream_.setstate(std::ios::badbit);
    }
    std::istream* getConfigStream(void*) override { return &stream_; }
    int lookupAppIds(std::vector<unsigned long>& ids, void*, void*) override
    {
        if (lookupResult_ < 0)
            throw std::runtime_error("service down");
        ids = ids_;
        return lookupResult_;
    }

private:
    std::istringstream stream_;
    std::vector<unsigned long> ids_;
    int lookupResult_;
};

#endif
