// scconsole FILE: runs the interactive test console on a file of subclient
// definitions and exits with its result.
#include "console/scMain.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: scconsole FILE\n");
        return 2;
    }
    return scMain(argv[1]);
}
