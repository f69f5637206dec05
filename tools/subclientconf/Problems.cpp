#include "Problems.h"

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

// Library messages, by their format.
const char* const kDuplicatePath = "Duplicate path '%s' already in subclient %d - cannot add to subclient %d";
const char* const kFiltersBoth = "Parent '%s' child '%s' filters both '%s' (%d) and '%s' (%d)";
const char* const kRootAlready = "Root directory is already in subclient 1";
const char* const kFoundAncestor = "Found ancestor or descendant";
const char* const kInvalidPath = "Path '%s' invalid path";
const char* const kCannotParse = "recursiveParse cannot parse '%s'";
const char* const kCannotParseProbe = "recursiveParse cannot parse '%s' (temp)";
const char* const kLoadIgnoredDuplicate = "%s failed - ignoring duplicate error";
const char* const kLoadIgnoredAncestor = "%s failed - ignoring ancestor error";
const char* const kLoadOtherSubclient = "%s failed. since SC %s and backup SC %s are different, ignoring ancestor error";
const char* const kLoadFailed = "%s failed";
const char* const kLoadSetName = "setName %s failed";
const char* const kLineTrace = "SC_DEBUG";

// Events of the overlap validation.
const unsigned long kOverlapEvent = 0x11000046;
const unsigned long kFilteredTwiceEvent = 0x11000047;

// FSErrorCode values.
const int kNoMemory = 2, kAncestor = 3, kDuplicate = 4, kInvalid = 6;

const LibraryRecord* find(const std::vector<LibraryRecord>& records, const char* format)
{
    for (const LibraryRecord& record : records)
        if (record.format == format)
            return &record;
    return nullptr;
}

// The parts of the duplicate message: the path, the subclient holding it and the one it was given to.
struct DuplicateParts {
    std::string path;
    int holder = 0;
    int wanted = 0;
};

DuplicateParts duplicateParts(const LibraryRecord& record)
{
    DuplicateParts parts;
    const std::string head = "Duplicate path '";
    size_t at = record.text.rfind("' already in subclient ");
    if (at == std::string::npos || record.text.compare(0, head.size(), head) != 0)
        return parts;
    parts.path = record.text.substr(head.size(), at - head.size());
    sscanf(record.text.c_str() + at, "' already in subclient %d - cannot add to subclient %d", &parts.holder,
           &parts.wanted);
    return parts;
}

std::string textAfter(const std::string& text, const char* marker)
{
    size_t at = text.find(marker);
    return at == std::string::npos ? text : text.substr(at + strlen(marker));
}

// The %s at the start of a load message: the text before the format's fixed tail.
std::string leadingText(const LibraryRecord& record, const char* format)
{
    std::string tail(format + 2);  // the format without its leading "%s"
    size_t cut = tail.find('%');
    if (cut != std::string::npos)
        tail.erase(cut);
    size_t at = record.text.rfind(tail);
    return at == std::string::npos ? record.text : record.text.substr(0, at);
}

void set(LoadProblem& problem, const char* kind, const char* reason, const std::string& message)
{
    problem.kind = kind;
    problem.reason = reason;
    problem.message = message;
}

bool explainRejection(int errCode, const std::vector<LibraryRecord>& records, const SubclientNamer& namer,
                      LoadProblem& problem)
{
    if (const LibraryRecord* r = find(records, kFiltersBoth)) {
        set(problem, "rejected", "two-wildcards",
            "matched by two wildcard siblings: " + textAfter(r->text, "filters both "));
    } else if (find(records, kRootAlready)) {
        set(problem, "rejected", "root", "the root belongs to the default subclient already");
    } else if (const LibraryRecord* r = find(records, kDuplicatePath)) {
        set(problem, "rejected", "duplicate", "path already held by subclient " + namer(duplicateParts(*r).holder));
    } else if (errCode == kAncestor || find(records, kFoundAncestor)) {
        set(problem, "rejected", "ancestor", "ancestor or descendant in the same subclient");
    } else if (errCode == kInvalid || find(records, kInvalidPath) || find(records, kCannotParse) ||
               find(records, kCannotParseProbe)) {
        const LibraryRecord* parse = find(records, kCannotParse);
        if (!parse)
            parse = find(records, kCannotParseProbe);
        set(problem, "rejected", "invalid", parse ? "not a valid pattern" : "not a valid path");
    } else if (errCode == kNoMemory) {
        set(problem, "rejected", "no-memory", "out of memory");
    } else {
        set(problem, "rejected", "other", records.empty() ? "rejected" : records.back().text);
    }
    return true;
}

}  // namespace

bool explainContent(int rc, int errCode, const std::vector<LibraryRecord>& records, const SubclientNamer& namer,
                    LoadProblem& problem)
{
    if (rc < 0)
        return explainRejection(errCode, records, namer, problem);
    const LibraryRecord* duplicate = find(records, kDuplicatePath);
    if (!duplicate)
        return false;
    set(problem, "tolerated", "duplicate",
        "path already held by subclient " + namer(duplicateParts(*duplicate).holder) +
            "; stored again under a marked name");
    return true;
}

std::vector<LoadProblem> explainOverlaps(const std::vector<EvRecord>& events, const SubclientNamer& namer)
{
    std::vector<LoadProblem> problems;
    for (const EvRecord& event : events) {
        if (event.args.size() != 4)
            continue;
        LoadProblem problem;
        if (event.id == kOverlapEvent) {
            problem.content = event.args[0].text;
            problem.subclient = event.args[1].text;
            set(problem, "overlap", "overlap",
                "can match the same names as " + event.args[2].text + " of subclient " + event.args[3].text);
        } else if (event.id == kFilteredTwiceEvent) {
            problem.content = event.args[0].text;
            set(problem, "overlap", "filtered-twice",
                "matched by wildcards of two subclients: " + namer(static_cast<int>(event.args[1].value)) +
                    " and " + namer(static_cast<int>(event.args[2].value)) + " (" + event.args[3].text + ")");
        } else {
            continue;
        }
        problems.push_back(problem);
    }
    return problems;
}

std::vector<LoadProblem> explainLoad(const std::vector<LibraryRecord>& records, const SubclientNamer& namer,
                                     bool& stoppedEarly)
{
    std::vector<LoadProblem> problems;
    std::vector<LibraryRecord> details;  // diagnostics since the last outcome
    std::optional<LibraryRecord> pendingDuplicate;
    // A duplicate message that no load outcome follows: the insertion stored the line under a marked name.
    auto flushDuplicate = [&]() {
        if (!pendingDuplicate)
            return;
        LoadProblem problem;
        explainContent(0, 0, {*pendingDuplicate}, namer, problem);
        DuplicateParts parts = duplicateParts(*pendingDuplicate);
        problem.content = parts.path;
        problem.subclient = namer(parts.wanted);
        problems.push_back(problem);
        pendingDuplicate.reset();
    };
    auto outcome = [&](const LibraryRecord& record, const char* format, const char* kind, int errCode) {
        LoadProblem problem;
        explainRejection(errCode, details, namer, problem);
        problem.kind = kind;
        problem.content = leadingText(record, format);
        problems.push_back(problem);
        details.clear();
        pendingDuplicate.reset();
    };
    for (const LibraryRecord& record : records) {
        if (record.format == kLoadIgnoredDuplicate) {
            outcome(record, kLoadIgnoredDuplicate, "tolerated", kDuplicate);
        } else if (record.format == kLoadIgnoredAncestor || record.format == kLoadOtherSubclient) {
            outcome(record, record.format.c_str(), "tolerated", kAncestor);
        } else if (record.format == kLoadFailed) {
            outcome(record, kLoadFailed, "rejected", 0);
            stoppedEarly = true;
        } else if (record.format == kLoadSetName) {
            LoadProblem problem;
            set(problem, "rejected", "duplicate-name", "subclient name already used (names compare ignoring case)");
            const std::string& text = record.text;  // "setName NAME failed"
            problem.content = text.substr(strlen("setName "), text.size() - strlen("setName  failed"));
            problems.push_back(problem);
            stoppedEarly = true;
        } else if (record.format.compare(0, strlen(kLineTrace), kLineTrace) == 0) {
            // The load reads its next line: what is pending belongs to the line before.
            flushDuplicate();
            details.clear();
        } else {
            details.push_back(record);
            if (record.format == kDuplicatePath)
                pendingDuplicate = record;
        }
    }
    flushDuplicate();
    return problems;
}
