// The allocation functions of this test program, shared with the subclient tests.
#include "../subclient/FailingAllocation.cpp"
