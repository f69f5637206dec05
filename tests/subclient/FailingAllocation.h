// While an object lives, the n-th allocation (0-based) through operator new fails.
#ifndef SUBCLIENTCONF_TESTS_SUBCLIENT_FAILINGALLOCATION_H
#define SUBCLIENTCONF_TESTS_SUBCLIENT_FAILINGALLOCATION_H

class FailingAllocation {
public:
    explicit FailingAllocation(long n);
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;
    // True once the chosen allocation has been attempted.
    bool reached() const;
};

#endif
