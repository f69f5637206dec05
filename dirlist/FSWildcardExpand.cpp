// Wildcard content in ifind mode: expanded against the folder on disk, or
// written as nodir patterns that take the folder path literally.
#include "dirlist/FSCallback.h"
#include "platform/CXDirectory.h"
#include "subclient/FSSubclientConfPrivate.h"
#include "wildcard/TPathMatch.h"
#include "wildcard/WCSubclients.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <system_error>
#include <vector>

namespace {

const char* const kNoMemory = "no memory";
const char* const kScanning = "Scanning for pattern '%s' in folder '%s'";
const char* const kBadPattern = "Cannot initialize wild card '%s', parent='%s'";
const char* const kCannotOpen = "Cannot open '%s', code %d";
const char* const kCannotRead = "Cannot read '%s', code %d";
const char* const kContentMissing = "Folder '%s' cannot be scanned, its wildcard content is left out: %s (errno %d)";

// One matcher per deferred node, in node order; owns the matchers.
typedef std::vector<std::unique_ptr<TPathMatch>> PathMatchVector;

// A folder that is not there simply has no content to scan. Any other failure
// means content that exists is missing from the scan, which must be visible.
void reportUnreadable(FSSubclientConf* owner, const std::string& folder, int code)
{
    if (code == ENOENT || code == ENOTDIR)
        return;
    TLOG_CALL(owner, -1, kContentMissing, folder.c_str(), std::system_category().message(code).c_str(), code);
}

void withDelimiter(std::string& folder, char delim)
{
    if (!folder.empty() && folder.back() != delim)
        folder += delim;
}

// Puts the escape character before each of the given characters.
std::string escaped(const std::string& text, const std::string& special, char escape)
{
    std::string out;
    for (char c : text) {
        if (special.find(c) != std::string::npos)
            out += escape;
        out += c;
    }
    return out;
}

bool isDotEntry(const char* name)
{
    return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

bool anyMatch(PathMatchVector& matchers, const std::string& name)
{
    for (std::unique_ptr<TPathMatch>& m : matchers)
        if (m->matchName(name))
            return true;
    return false;
}

}  // namespace

int CFSSubclientConfPrivate::wcDirnames(std::vector<FSSubclientNode*>& nodes, FSCallback* cb)
{
    const TCallOrigin reporting(owner, __PRETTY_FUNCTION__);  // reportUnreadable reports as this
    if (nodes.empty() || !nodes.front()->parent)
        return -1;
    std::string folder = nodeToPath(nodes.front()->parent);
    PathMatchVector matchers;
    matchers.reserve(nodes.size());
    for (FSSubclientNode* n : nodes) {
        std::unique_ptr<TPathMatch> m(new (std::nothrow) TPathMatch);
        if (!m) {
            TLOG_ON(owner, -1, "%s", kNoMemory);
            return -1;
        }
        if (caseSensitive)
            m->caseSensitive();
        else
            m->caseInsensitive();
        m->setEscape(escapeChar);
        m->setDelimiter(delim);
        std::string pattern = n->pattern->getBasename();
        TLOG_ON(owner, 1, kScanning, pattern.c_str(), folder.c_str());
        if (m->compilePattern(pattern, 1, 0) != 0) {
            TLOG_ON(owner, 1, kBadPattern, pattern.c_str(), folder.c_str());
            return -1;
        }
        matchers.push_back(std::move(m));
    }

    CXDirectory dir;
    if (dir.open(folder.c_str()) != 0) {
        int code = dir.getLastError();
        TLOG_ON(owner, 1, kCannotOpen, folder.c_str(), code);
        reportUnreadable(owner, folder, code);
        return 0;
    }
    withDelimiter(folder, delim);
    while (const char* name = dir.read()) {
        if (isDotEntry(name) || !anyMatch(matchers, name))
            continue;
        int r = cb->putLine(("+" + folder + name).c_str());
        if (r < 0)
            return r;
    }
    int code = dir.getLastError();
    if (code != 0) {
        TLOG_ON(owner, 1, kCannotRead, folder.c_str(), code);
        reportUnreadable(owner, folder, code);
    }
    return 0;
}

int CFSSubclientConfPrivate::wcNodirs(std::vector<FSSubclientNode*>& nodes, FSCallback* cb)
{
    if (nodes.empty() || !nodes.front()->parent)
        return -1;
    const std::string escapeOnly(1, escapeChar);
    const std::string literal = "*?[" + escapeOnly;
    std::string folder = escaped(nodeToPath(nodes.front()->parent), literal, escapeChar);
    withDelimiter(folder, delim);
    for (FSSubclientNode* n : nodes) {
        // The scanner reads a wildcard nodir with its pattern characters active
        // and every escape character doubled; a literal name has all of them escaped.
        const std::string& special = n->pattern->isWildCard() ? escapeOnly : literal;
        std::string name = escaped(n->pattern->getBasename(), special, escapeChar);
        int r = cb->putLine((folder + name).c_str());
        if (r < 0)
            return r;
    }
    return 0;
}
