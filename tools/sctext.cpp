// sctext: shows how the wildcard engine sees text. Each line of the file (or
// of standard input) is converted to Unicode code points and case-folded the
// way case-insensitive patterns compare names.
#include "wildcard/WCSubclients.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

// The small letter of c, or c itself. Both case ranges the engine knows
// (ASCII and Latin-1) put the small letter above its capital.
unsigned long foldCase(unsigned long c)
{
    unsigned long other = WCToken::getOtherCase(c);
    return other > c ? other : c;
}

void showLine(const std::string& line)
{
    printf("%s\n", line.c_str());
    WCConverter converter;
    const unsigned long* points = converter.toUnicode(line);
    if (!line.empty() && !points[0]) {
        printf("  not convertible: invalid UTF-8 or more than %u code points\n", WCConverter::capacity);
        return;
    }
    std::vector<unsigned long> folded;
    printf("  code points:");
    for (const unsigned long* p = points; *p; ++p) {
        printf(" U+%04lX", *p);
        folded.push_back(foldCase(*p));
    }
    folded.push_back(0);
    printf("\n  folded:      %s\n", WCConverter().fromUnicode(folded.data()).c_str());
}

int showAll(std::istream& in)
{
    for (std::string line; std::getline(in, line);)
        showLine(line);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 2) {
        fprintf(stderr, "usage: sctext [FILE]\n");
        return 2;
    }
    if (argc < 2)
        return showAll(std::cin);
    std::ifstream file(argv[1]);
    if (!file) {
        fprintf(stderr, "sctext: cannot open '%s'\n", argv[1]);
        return 1;
    }
    return showAll(file);
}
