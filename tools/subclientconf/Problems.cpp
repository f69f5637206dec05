#include "Problems.h"

namespace {

bool isOverlap(const FSContentProblem& p)
{
    return p.kind == FS_PROBLEM_OVERLAP || p.kind == FS_PROBLEM_FILTERED_TWICE;
}

// Of the reasons one content was given, the one a user must act on first.
int weight(FSProblemKind kind)
{
    static const FSProblemKind order[] = {FS_PROBLEM_TWO_WILDCARDS, FS_PROBLEM_ROOT,    FS_PROBLEM_DUPLICATE,
                                          FS_PROBLEM_ANCESTOR,      FS_PROBLEM_INVALID, FS_PROBLEM_UNPARSABLE};
    for (int i = 0; i < static_cast<int>(sizeof order / sizeof order[0]); ++i)
        if (order[i] == kind)
            return i;
    return static_cast<int>(sizeof order / sizeof order[0]);
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
    for (size_t i = 0; i < reported.size(); ++i) {
        if (reported[i].kind == FS_PROBLEM_ANCESTOR && reported[i].stands)
            continue;  // the configuration allows overlapping content
        if (isOverlap(reported[i])) {
            problems.push_back(overlap(reported[i], namer));
            continue;
        }
        // The reasons one content was given come together: the weightiest speaks for them.
        const FSContentProblem* chosen = &reported[i];
        while (i + 1 < reported.size() && !isOverlap(reported[i + 1]) && reported[i + 1].content == chosen->content &&
               reported[i + 1].stands == chosen->stands && reported[i + 1].passedOver == chosen->passedOver) {
            ++i;
            if (weight(reported[i].kind) < weight(chosen->kind))
                chosen = &reported[i];
        }
        problems.push_back(content(*chosen, namer));
    }
    return problems;
}
