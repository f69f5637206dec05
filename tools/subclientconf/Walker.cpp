#include "Walker.h"

#include "Quoting.h"
#include "Signals.h"
#include "subclient/FSSubclientConf.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const unsigned long kEscape = '\\';

}  // namespace

const char* const kNotUtf8 = "name not valid UTF-8";

std::string tidyPath(const std::string& path)
{
    std::string out;
    for (char c : path)
        if (c != '/' || out.empty() || out.back() != '/')
            out += c;
    if (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

std::string parentFolder(const std::string& path)
{
    size_t cut = path.rfind('/');
    return cut == 0 || cut == std::string::npos ? "/" : path.substr(0, cut);
}

std::string childPath(const std::string& folder, const std::string& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
}

ScanWalker::ScanWalker(const WalkOptions& options, ItemSink onItem, FailureSink onFailure)
    : options_(options), onItem_(std::move(onItem)), onFailure_(std::move(onFailure))
{
    while (!options_.root.empty() && options_.root.back() == '/')
        options_.root.pop_back();
}

void ScanWalker::addNodir(const std::string& line)
{
    std::string path;
    if (!isWildCardContent(line, path)) {
        literalNodirs_.insert(key(tidyPath(path)));
        return;
    }
    path = tidyPath(path);
    auto pattern = std::make_unique<WCBasename>(kEscape, true);
    if (!pattern->parse(path.substr(path.rfind('/') + 1)))
        wildcardNodirs_[key(parentFolder(path))].push_back(std::move(pattern));
}

void ScanWalker::walk(const std::string& line)
{
    if (interrupted_)
        return;
    std::string path;
    bool wildcard = isWildCardContent(line, path);
    path = tidyPath(path);
    if (path.empty() || path[0] != '/') {
        failures_.push_back({line, "not a path of this system"});
        onFailure_(failures_.back());
        return;
    }
    if (wildcard)
        walkPattern(parentFolder(path), path.substr(path.rfind('/') + 1));
    else
        walkFrom(path);
}

// Each entry of the folder that the pattern matches is a start point.
void ScanWalker::walkPattern(const std::string& folder, const std::string& text)
{
    WCBasename pattern(kEscape, true);
    std::vector<std::string> names;
    if (pattern.parse(text) || !listFolder(folder, names))
        return;
    for (const std::string& name : names) {
        if (interrupted_)
            return;
        std::string path = childPath(folder, name);
        if (isNamable(path) && matches(pattern, name) && !isNodir(folder, name, path))
            walkFrom(path);
    }
}

// Depth first with a stack of its own, so that deep trees cannot exhaust the call stack.
void ScanWalker::walkFrom(const std::string& path)
{
    std::vector<Pending> stack{{path, 0, true}};
    while (!stack.empty() && !(interrupted_ = interruption() != 0)) {
        Pending item = stack.back();
        stack.pop_back();
        visit(item, stack);
    }
}

void ScanWalker::visit(const Pending& item, std::vector<Pending>& stack)
{
    struct stat info;
    if (lstat(onDisk(item.path).c_str(), &info) != 0) {
        fail(item.path, errno);
        return;
    }
    WalkItem found{item.path, 'o', static_cast<uint64_t>(info.st_size), ""};
    if (S_ISLNK(info.st_mode)) {
        found.type = 'l';
        std::vector<char> target(static_cast<size_t>(info.st_size) + 1, '\0');
        ssize_t n = readlink(onDisk(item.path).c_str(), target.data(), target.size() - 1);
        found.target.assign(target.data(), n > 0 ? static_cast<size_t>(n) : 0);
        ++totals_.links;
    } else if (S_ISREG(info.st_mode)) {
        found.type = 'f';
        bool counted = info.st_nlink > 1 && !linkedFiles_.insert({info.st_dev, info.st_ino}).second;
        if (!counted) {
            ++totals_.files;
            totals_.bytes += found.size;
        }
    } else if (S_ISDIR(info.st_mode)) {
        found.type = 'd';
        found.size = 0;
        ++totals_.folders;
    } else {
        ++totals_.others;
    }
    onItem_(found);
    dev_t device = item.isStart ? info.st_dev : item.device;
    std::vector<std::string> names;
    if (found.type != 'd' || (info.st_dev != device && !options_.crossMounts) || !listFolder(item.path, names))
        return;
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        std::string path = childPath(item.path, *name);
        if (isNamable(path) && !isNodir(item.path, *name, path))
            stack.push_back({path, device, false});
    }
}

// The names in the folder, sorted; an unreadable folder is reported and yields none.
bool ScanWalker::listFolder(const std::string& path, std::vector<std::string>& names)
{
    DIR* folder = opendir(onDisk(path).c_str());
    if (!folder) {
        fail(path, errno);
        return false;
    }
    errno = 0;
    while (struct dirent* entry = readdir(folder)) {
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
            names.push_back(entry->d_name);
    }
    int error = errno;
    closedir(folder);
    std::sort(names.begin(), names.end());
    if (error) {
        fail(path, error);
        return false;
    }
    return true;
}

bool ScanWalker::isNodir(const std::string& folder, const std::string& name, const std::string& path)
{
    if (literalNodirs_.count(key(path)))
        return true;
    auto patterns = wildcardNodirs_.find(key(folder));
    if (patterns == wildcardNodirs_.end())
        return false;
    for (auto& pattern : patterns->second)
        if (matches(*pattern, name))
            return true;
    return false;
}

bool ScanWalker::matches(WCBasename& pattern, const std::string& name)
{
    return nameMatches(pattern, name, options_.caseSensitive);
}

bool nameMatches(WCBasename& pattern, const std::string& name, bool caseSensitive)
{
    WCBasename literal(kEscape, false);
    return !literal.parse(name) && pattern.contains(literal, caseSensitive, 0, 0);
}

std::string ScanWalker::key(const std::string& path) const
{
    return pathKey(path, options_.caseSensitive);
}

std::string pathKey(const std::string& path, bool caseSensitive)
{
    if (caseSensitive)
        return path;
    std::string folded = path;
    for (char& c : folded)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return folded;
}

// The configuration cannot tell a subclient for a name that is not UTF-8
// (which calls such a path invalid), so the walk does not claim one either.
bool ScanWalker::isNamable(const std::string& path)
{
    if (isValidUtf8(path))
        return true;
    failures_.push_back({onDisk(path), kNotUtf8});
    onFailure_(failures_.back());
    return false;
}

void ScanWalker::fail(const std::string& path, int error)
{
    failures_.push_back({onDisk(path), strerror(error)});
    onFailure_(failures_.back());
}
