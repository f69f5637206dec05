#include "support/TempDir.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ftw.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>

namespace {

int removeEntry(const char* path, const struct stat*, int, struct FTW*)
{
    // Tests take permissions away; give them back so the entry can go.
    chmod(path, 0700);
    return remove(path);
}

}  // namespace

TempDir::TempDir()
{
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/subclientconf-XXXXXX";
    if (!mkdtemp(&pattern[0]))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    chmod(path_.c_str(), 0700);
    nftw(path_.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

std::string TempDir::write(const std::string& name, const std::string& content) const
{
    const std::string full = file(name);
    const bool made = name.back() == '/' ? mkdir(full.c_str(), 0700) == 0
                                         : static_cast<bool>(std::ofstream(full, std::ios::binary) << content);
    if (!made)
        throw std::runtime_error("cannot create " + full);
    return full;
}

std::string TempDir::read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
