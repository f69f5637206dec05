#include "Problems.h"

namespace {

bool isOverlap(const FSContentProblem& p)
{
    return p.kind == FS_PROBLEM_OVERLAP || p.kind == FS_PROBLEM_FILTERED_TWICE;
}

std::string numbered(const std::string& path, int subclient)
{
    return "'" + path + "' (" + std::to_string(subclient) + ")";
}

LoadProblem overlap(const FSContentProblem& p, const SubclientNamer& namer)
{
    LoadProblem problem{"overlap", "", 0, "", p.path, ""};
    if (p.kind == FS_PROBLEM_OVERLAP) {
        problem.reason = "overlap";
        problem.subclient = namer(p.subclient);
        problem.message = "can match the same names as " + p.conflict + " of subclient " + namer(p.conflictSubclient);
    } else {
        problem.reason = "filtered-twice";
        problem.message = "matched by wildcards of two subclients: " + namer(p.conflictSubclient) + " and " +
                          namer(p.secondConflictSubclient) + " (" + p.secondConflict + ")";
    }
    return problem;
}

LoadProblem content(const FSContentProblem& p, const SubclientNamer& namer)
{
    LoadProblem problem{p.stands || p.passedOver ? "tolerated" : "rejected", "", 0, namer(p.subclient), p.content, ""};
    auto set = [&](const char* reason, const std::string& message) {
        problem.reason = reason;
        problem.message = message;
    };
    switch (p.kind) {
    case FS_PROBLEM_TWO_WILDCARDS:
        set("two-wildcards", "matched by two wildcard siblings: " + numbered(p.conflict, p.conflictSubclient) +
                                 " and " + numbered(p.secondConflict, p.secondConflictSubclient));
        break;
    case FS_PROBLEM_ROOT:
        set("root", "the root belongs to the default subclient already");
        break;
    case FS_PROBLEM_DUPLICATE:
        set("duplicate", "path already held by subclient " + namer(p.conflictSubclient) +
                             (p.stands ? "; stored again under a marked name" : ""));
        break;
    case FS_PROBLEM_ANCESTOR:
        set("ancestor", "ancestor or descendant in the same subclient");
        break;
    case FS_PROBLEM_UNPARSABLE:
        set("invalid", "not a valid pattern");
        break;
    case FS_PROBLEM_NAME_IN_USE:
        problem.subclient.clear();
        set("duplicate-name", "subclient name already used (names compare ignoring case)");
        break;
    default:
        set("invalid", "not a valid path");
        break;
    }
    return problem;
}

}  // namespace

std::vector<LoadProblem> explainProblems(const std::vector<FSContentProblem>& reported, const SubclientNamer& namer)
{
    std::vector<LoadProblem> problems;
    // The library gives one reason per refused content: two in a row with the
    // same text are two lines of a load, each a problem of its own.
    for (const FSContentProblem& p : reported) {
        if (p.kind == FS_PROBLEM_ANCESTOR && p.stands)
            continue;  // the configuration allows overlapping content
        problems.push_back(isOverlap(p) ? overlap(p, namer) : content(p, namer));
    }
    return problems;
}
