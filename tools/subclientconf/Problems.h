// Turns the library's records and events about content insertion into
// problems in plain words.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_PROBLEMS_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_PROBLEMS_H

#include "LibraryLog.h"
#include "Loader.h"

#include <functional>
#include <string>
#include <vector>

// Names subclient numbers in messages.
using SubclientNamer = std::function<std::string(int number)>;

// The problem of one setPath call (result rc, error code after it), or none;
// records are those the call wrote. line, subclient and content fill the
// problem's place.
bool explainContent(int rc, int errCode, const std::vector<LibraryRecord>& records, const SubclientNamer& namer,
                    LoadProblem& problem);

// One overlap problem per overlap event of the validation; other events are passed over.
std::vector<LoadProblem> explainOverlaps(const std::vector<EvRecord>& events, const SubclientNamer& namer);

// The problems of a whole load by the library, in the order of its records.
// A problem's content is the line as the library saw it; line is left 0.
std::vector<LoadProblem> explainLoad(const std::vector<LibraryRecord>& records, const SubclientNamer& namer,
                                     bool& stoppedEarly);

#endif
