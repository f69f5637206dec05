// Why content or a subclient name was refused, or kept with a conflict, or
// why a path cannot be placed, as data: the facts its log message or event
// gives, so a caller never has to read log text. A configuration object hands
// each problem to the sink set with FSSubclientConf::setProblemSink once the
// call that found it knows whether the content stands.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSCONTENTPROBLEM_H
#define SUBCLIENTCONF_SUBCLIENT_FSCONTENTPROBLEM_H

#include <string>

enum FSProblemKind {
    FS_PROBLEM_INVALID = 1,     // not a valid path ("Path '%s' invalid path")
    FS_PROBLEM_UNPARSABLE,      // a component is no valid pattern ("recursiveParse cannot parse '%s'")
    FS_PROBLEM_ROOT,            // the root belongs to the default subclient already
    FS_PROBLEM_DUPLICATE,       // path is content of conflictSubclient already
    FS_PROBLEM_ANCESTOR,        // an ancestor or descendant is content of the same subclient
    FS_PROBLEM_TWO_WILDCARDS,   // path is matched by two wildcard siblings: conflict and secondConflict
    FS_PROBLEM_OVERLAP,         // path can match the same names as conflict
    FS_PROBLEM_FILTERED_TWICE,  // literal path is covered by wildcards of two subclients
    FS_PROBLEM_NAME_IN_USE,     // content is a subclient name already used (compared ignoring case)
    FS_PROBLEM_AMBIGUOUS,       // a searched path matches two wildcard siblings: conflict and secondConflict
};

struct FSContentProblem {
    FSProblemKind kind = FS_PROBLEM_INVALID;
    // The content is in the configuration all the same: an overlap, a
    // duplicate stored under a marked name, an ancestor where overlapping
    // content is allowed.
    bool stands = false;
    // A load went on without the content (it ignores duplicates, and
    // ancestors in some cases); otherwise a refusal stops the load.
    bool passedOver = false;
    std::string content;  // the text given to setPath (a load: its line), the name given to setName, or a searched path
    int subclient = 0;    // the subclient it was given to (its number)
    std::string path;     // the path the message names (normalized), when it names one
    std::string conflict;  // the other content: the holder of a duplicate, the overlapping sibling, ...
    int conflictSubclient = 0;
    std::string secondConflict;  // FS_PROBLEM_TWO_WILDCARDS, FS_PROBLEM_FILTERED_TWICE: the second one
    int secondConflictSubclient = 0;
    std::string message;  // the log message, as the log writer receives it
};

// Receives problems; the caller keeps it alive while it is set. Whatever
// problem() throws is dropped at the library's boundary.
class FSProblemSink {
public:
    virtual ~FSProblemSink() {}
    virtual void problem(const FSContentProblem& problem) = 0;
};

#endif
