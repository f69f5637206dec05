// Reads "<subclient number> <content text>" lines from standard input and
// inserts each with setPath, naming a subclient whenever the number changes,
// then runs one search, which builds the search index; with the argument
// "empty" it only reads them. The search is the owner query of "/-", a path
// beside every generated line, so its list is one entry: a list of the whole
// tree would be freed again but stay in the peak. Lines are read into one
// fixed buffer, so the peak resident size of the two runs differs by what the
// configuration holds once it answers queries. Prints that peak (VmHWM) in KiB.
#include "dirlist/FSSubclientDirList.h"
#include "subclient/FSSubclientConf.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    const bool insert = !(argc > 1 && std::strcmp(argv[1], "empty") == 0);
    FSSubclientConf conf;
    static char line[8192];
    int named = 1, rejected = 0;  // the default subclient is number 1
    while (std::fgets(line, sizeof line, stdin)) {
        line[std::strcspn(line, "\n")] = '\0';
        char* text = nullptr;
        const int number = static_cast<int>(std::strtol(line, &text, 10));
        if (!insert || !text || *text != ' ')
            continue;
        while (named < number)
            conf.setName(("sc" + std::to_string(++named)).c_str());
        rejected += conf.setPath(text + 1) != 0;
    }
    if (insert)
        delete conf.createDirlist("/-", false);
    std::FILE* status = std::fopen("/proc/self/status", "r");
    long peak = -1;
    while (status && std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %ld", &peak) == 1)
            break;
    if (status)
        std::fclose(status);
    std::printf("%ld\n", peak);
    return rejected || peak < 0 ? 1 : 0;
}
