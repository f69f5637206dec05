// The configuration text of a backup set at a point in time, as the summary
// load reads it: for each subclient a header line (TAB, name), then its content
// lines present at that time, each followed by a display-name line (0x12, name)
// when it has one; every line ends with "\n".
#ifndef SUBCLIENTCONF_PLATFORM_SUBCLIENTCONFSUMMARY_H
#define SUBCLIENTCONF_PLATFORM_SUBCLIENTCONFSUMMARY_H

#include <istream>
#include <sstream>
#include <vector>

class ApplicationId;

class SubclientConfSummary {
public:
    // The time is read as unsigned 32-bit seconds (on 64-bit systems values
    // above that range, such as -1, mean the latest time).
    SubclientConfSummary(ApplicationId& application, long time);
    virtual ~SubclientConfSummary();
    SubclientConfSummary(const SubclientConfSummary&) = delete;
    SubclientConfSummary& operator=(const SubclientConfSummary&) = delete;

    // Recorded and reported back; the store's text has one form, which this does not change.
    void SetPatternOptimization(bool on);
    bool getPatternOptimization() const;

    // The text stream, owned by the summary; empty when the application is unknown.
    virtual std::istream* getConfigStream(void*);
    // 0 with one application id per header line, in line order; otherwise a
    // KXConfigResult (no store, unknown application, no memory).
    virtual int lookupAppIds(std::vector<unsigned long>& appIds, void*, void*);

protected:
    // For stand-ins that override the virtual operations: asks no store.
    SubclientConfSummary();

private:
    std::istringstream stream_;
    std::vector<unsigned long> appIds_;
    int result_;
    bool patternOptimization_ = false;
};

#endif
