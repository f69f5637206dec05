// The messages of refused and conflicting content, and their delivery as
// data: each text lives here once, and one call both logs it and reports it,
// so the log and the data cannot drift apart.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSPROBLEMREPORT_H
#define SUBCLIENTCONF_SUBCLIENT_FSPROBLEMREPORT_H

#include "platform/KXLog.h"
#include "platform/TDebuggable.h"
#include "subclient/FSContentProblem.h"

#include <cstddef>
#include <vector>

namespace fsProblemText {
constexpr const char* kInvalidPath = "Path '%s' invalid path";
constexpr const char* kUnparsable = "recursiveParse cannot parse '%s'";
constexpr const char* kUnparsableProbe = "recursiveParse cannot parse '%s' (temp)";
constexpr const char* kRoot = "Root directory is already in subclient 1";
constexpr const char* kDuplicate = "Duplicate path '%s' already in subclient %d - cannot add to subclient %d";
constexpr const char* kAncestor = "Found ancestor or descendant";
constexpr const char* kTwoWildcards = "Parent '%s' child '%s' filters both '%s' (%d) and '%s' (%d)";
constexpr const char* kOverlap = "'%s' (%s) and '%s' (%s) overlap (subclients [%s] and [%s])";
constexpr const char* kFilteredTwice = "'%s' filters both %d and %d (wildcard '%s')";
constexpr const char* kAmbiguous = "Path '%s' matches wild cards '%s' and '%s'";
constexpr const char* kNameInUse = "setName duplicate name %s (subscripts %d and %d)";
}  // namespace fsProblemText

inline FSContentProblem fsProblem(FSProblemKind kind)
{
    FSContentProblem p;
    p.kind = kind;
    return p;
}

// Problems found during a call are held until the call knows whether the
// content stands; calls nest (a load's setPath), and the outermost release
// hands them to the sink.
class FSProblemReport {
public:
    void setSink(FSProblemSink* sink) { sink_ = sink; }
    // Whether anyone reads the data, so callers build its texts only then.
    bool wanted() const { return sink_ != nullptr; }

    // Logs format at level (when it applies) as the call owner serves, at line, and reports p with that message.
    template <class... Args>
    void report(const TDebuggable* owner, int line, int level, FSContentProblem p, const char* format, Args... args)
    {
        if (kxLogApplies(level))
            owner->log(level, owner->callOrigin(), line, format, args...);
        if (!sink_)
            return;
        try {
            p.message = kxFormat(format, args...);
            held_.push_back(std::move(p));
        } catch (...) {  // out of memory: the call's own result still tells the failure
            return;
        }
        if (depth_ == 0)
            deliver();
    }

private:
    friend class FSProblemHold;
    void release(size_t mark, bool stands, bool passedOver, const char* content, int subclient) noexcept;
    void deliver() noexcept;

    FSProblemSink* sink_ = nullptr;
    std::vector<FSContentProblem> held_;
    int depth_ = 0;
};

// Holds the problems of one call until it ends, which sets stands or
// passedOver before it returns; the content text and subclient fill what the
// sites that found the problems did not know.
class FSProblemHold {
public:
    FSProblemHold(FSProblemReport& report, const char* content, int subclient)
        : report_(report), mark_(report.held_.size()), content_(content), subclient_(subclient)
    {
        ++report.depth_;
    }
    ~FSProblemHold() { report_.release(mark_, stands, passedOver, content_, subclient_); }
    FSProblemHold(const FSProblemHold&) = delete;
    FSProblemHold& operator=(const FSProblemHold&) = delete;

    bool stands = false;
    bool passedOver = false;

private:
    FSProblemReport& report_;
    const size_t mark_;
    const char* const content_;
    const int subclient_;
};

// Logs and reports a problem as the function that found it.
#define FS_PROBLEM(to, owner, level, problem, ...)                                                                     \
    (TCallOrigin((owner), __PRETTY_FUNCTION__), (to).report((owner), __LINE__, (level), (problem), __VA_ARGS__))

#endif
