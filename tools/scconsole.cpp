// scconsole FILE: runs the interactive test console on a file of subclient
// definitions and exits with its result.
#include "console/scMain.h"

#include <cstdio>
#include <cstring>

namespace {

const char* const kUsage = "usage: scconsole FILE\n"
                           "Runs the interactive test console on a subclient definition file.\n";

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        fputs(kUsage, stdout);
        return 0;
    }
    if (argc != 2) {
        fputs(kUsage, stderr);
        return 2;
    }
    return scMain(argv[1]);
}
