// Uses the installed headers and library the way a caller of the agent would.
#include "platform/KXLog.h"
#include "platform/TDebuggable.h"

#include <cstdio>

int main()
{
    kxSetLogLevel(3);
    if (kxLogLevel() != 3 || !kxLogApplies(3) || kxLogApplies(4))
        return 1;
    puts("consumer ok");
    return 0;
}
