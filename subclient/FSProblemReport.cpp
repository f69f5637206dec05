#include "subclient/FSProblemReport.h"

void FSProblemReport::release(size_t mark, bool stands, bool passedOver, const char* content, int subclient) noexcept
{
    for (size_t i = mark; i < held_.size(); ++i) {
        FSContentProblem& p = held_[i];
        p.stands = p.stands || stands;
        p.passedOver = p.passedOver || passedOver;
        if (p.subclient == 0)
            p.subclient = subclient;
        if (content) {  // the outermost call names the content last
            try {
                p.content = content;
            } catch (...) {  // out of memory: the problem goes without its text
            }
        }
    }
    if (--depth_ == 0 && !held_.empty())
        deliver();
}

void FSProblemReport::deliver() noexcept
{
    std::vector<FSContentProblem> ready;
    ready.swap(held_);
    for (const FSContentProblem& p : ready) {
        if (!sink_)  // the sink may take itself away
            return;
        try {
            sink_->problem(p);
        } catch (...) {  // the caller's sink: nothing of it may leave the library
        }
    }
}
