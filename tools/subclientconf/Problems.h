// Turns the library's problem reports about content and names into problems
// in plain words.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_PROBLEMS_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_PROBLEMS_H

#include "Loader.h"
#include "subclient/FSContentProblem.h"

#include <functional>
#include <string>
#include <vector>

// Names subclient numbers in messages.
using SubclientNamer = std::function<std::string(int number)>;

// Keeps what the library reports while it is set as a configuration's sink.
class ProblemCollector : public FSProblemSink {
public:
    void problem(const FSContentProblem& problem) override { reported_.push_back(problem); }
    size_t mark() const { return reported_.size(); }
    std::vector<FSContentProblem> since(size_t mark) const
    {
        return {reported_.begin() + static_cast<std::ptrdiff_t>(mark), reported_.end()};
    }

private:
    std::vector<FSContentProblem> reported_;
};

// One problem per refused or kept-with-conflict content and one per overlap,
// in the order reported. A problem's line is left 0.
std::vector<LoadProblem> explainProblems(const std::vector<FSContentProblem>& reported, const SubclientNamer& namer);

#endif
