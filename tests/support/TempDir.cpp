#include "support/TempDir.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ftw.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

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

void TempDir::make(const std::string& name, const std::string& content) const
{
    if (!name.empty() && name.back() == '/') {
        mkdir(file(name).c_str(), 0700);
        return;
    }
    std::ofstream(file(name), std::ios::binary) << content;
}

std::string TempDir::write(const std::string& name, const std::string& content) const
{
    std::string full = file(name);
    std::ofstream out(full, std::ios::binary);
    if (!(out << content))
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
