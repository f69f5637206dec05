#include "PathOwner.h"

#include "Quoting.h"

#include <cctype>

namespace {

const char* const kWildcardMarker = "\\/\\/";
const char* const kNotUtf8 = "not valid UTF-8: no subclient can be told for it";
const char* const kRelative = "not an absolute path: the configuration would read it as a name anywhere";
const char* const kParentStep = "has a '..' component: name the path without it";
const char* const kAmbiguous = "Path '%s' matches wild cards '%s' and '%s'";

// Begins with a delimiter or a drive letter.
bool isAbsolute(const std::string& path)
{
    return !path.empty() && (path[0] == '/' || path[0] == '\\' ||
                             (path.size() > 1 && isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':'));
}

bool hasParentStep(const std::string& path)
{
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find_first_of("/\\", start);
        if (end == std::string::npos)
            end = path.size();
        if (path.compare(start, end - start, "..") == 0)
            return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

PathOwner::PathOwner(const LoadedConfiguration& loaded, LibraryLog& log)
    : loaded_(loaded), conf_(*loaded.conf), log_(log)
{
    LineCollector starts;
    conf_.dirnames(&starts, 1);
    defaultStarts_ = starts.lines;
}

PathVerdict PathOwner::explain(const std::string& path, bool withPathTests)
{
    PathVerdict verdict = decide(path, withPathTests);
    cite(verdict);
    return verdict;
}

// The file line of the content that decided, and its display name.
void PathOwner::cite(PathVerdict& verdict) const
{
    if (verdict.subclient < 1 || verdict.content.empty())
        return;
    for (const ContentLine& line : loaded_.subclients[verdict.subclient - 1].content) {
        if (line.text == verdict.content) {
            verdict.line = line.line;
            verdict.displayName = line.displayName;
            return;
        }
    }
}

PathVerdict PathOwner::decide(const std::string& path, bool withPathTests)
{
    PathVerdict verdict;
    verdict.path = path;
    for (int s = 1; withPathTests && s <= conf_.getNumSubclients(); ++s)
        verdict.pathTests.push_back(conf_.pathTest(path.c_str(), s));
    std::string refused = !isValidUtf8(path) ? kNotUtf8 : !isAbsolute(path) ? kRelative : hasParentStep(path) ? kParentStep : "";
    if (!refused.empty()) {
        verdict.reason = "invalid";
        verdict.detail = refused;
        return verdict;
    }
    std::string normalized;
    char delim = conf_.fixPath(path, normalized, false);
    size_t mark = log_.recordMark();
    std::unique_ptr<FSSubclientDirlist> list(delim ? conf_.createDirlist(path.c_str(), false) : nullptr);
    if (!list || !list->getRoot()) {
        verdict.reason = "invalid";
        verdict.detail = "not a valid path";
        for (const LibraryRecord& record : log_.recordsSince(mark)) {
            if (record.format == kAmbiguous) {
                verdict.reason = "ambiguous";
                verdict.detail = record.text;
            }
        }
        return verdict;
    }
    verdict.subclient = list->getRoot()->subclient;
    const FSSubclientDir* entry = governingEntry(verdict.subclient, normalized, delim);
    if (!entry) {  // not reached through the scan lists: name the content node itself
        verdict.reason = "content";
        verdict.content = conf_.nodeToPath(list->getRoot()->node);
        return verdict;
    }
    verdict.content = entry->name + std::string(entry->isWildcard ? kWildcardMarker : "");
    verdict.reason = entry->isWildcard ? "wildcard" : "content";
    if (entry->parent)
        verdict.handedOverBy = entry->parent->subclient;
    else if (verdict.subclient == 1)
        explainDefault(verdict, normalized, delim);
    return verdict;
}

// The default subclient scans from the root, unless it has content of its own (store files).
void PathOwner::explainDefault(PathVerdict& verdict, const std::string& path, char delim)
{
    verdict.content.clear();
    bool fromRoot = defaultStarts_.empty() || (defaultStarts_.size() == 1 && defaultStarts_[0] == std::string(1, delim));
    if (fromRoot) {
        verdict.reason = "default";
        return;
    }
    for (const std::string& start : defaultStarts_) {
        std::string bare;
        bool wildcard = isWildCardContent(start, bare);
        if (conf_.dirnameTest(bare.c_str(), path.c_str(), delim, wildcard) == 1) {
            verdict.reason = "default-content";
            verdict.content = start;
            return;
        }
    }
    verdict.reason = "none";
    verdict.subclient = 0;
}

// As pathTest walks it: the first entry of the subclient (for the default
// subclient its root entry only) that could contain the path and none of
// whose nodirs completely contains it.
const FSSubclientDir* PathOwner::governingEntry(int subclient, const std::string& path, char delim)
{
    FSSubclientDirlist* whole = wholeList(delim);
    FSSubclientDir* entry = nullptr;
    if (!whole || whole->getFirst(subclient, &entry) != 0)
        return nullptr;
    while (entry) {
        if (entryClaims(entry, path, delim))
            return entry;
        if (subclient == 1 || whole->getNext(&entry) != 0)
            break;
    }
    return nullptr;
}

bool PathOwner::entryClaims(FSSubclientDir* entry, const std::string& path, char delim)
{
    if (conf_.dirnameTest(entry->name, path.c_str(), delim, entry->isWildcard) != 1)
        return false;
    for (FSSubclientDir* nodir = entry->nodirs; nodir; nodir = nodir->nextNodir)
        if (conf_.completelyContains(nodir->name, path.c_str(), delim, nodir->isWildcard) != 0)
            return false;
    return true;
}

FSSubclientDirlist* PathOwner::wholeList(char delim)
{
    std::unique_ptr<FSSubclientDirlist>& list = wholeLists_[delim];
    if (!list)
        list.reset(conf_.createDirlist(std::string(1, delim).c_str(), false));
    return list.get();
}

std::string verdictPlace(const PathVerdict& verdict, const LoadedConfiguration& loaded)
{
    return verdict.line > 0 ? loaded.file + ":" + std::to_string(verdict.line) : "";
}

std::string describeVerdict(const PathVerdict& verdict, const LoadedConfiguration& loaded)
{
    std::string words;
    if (verdict.reason == "content")
        words = "content " + verdict.content;
    else if (verdict.reason == "wildcard")
        words = "wildcard content " + verdict.content;
    else if (verdict.reason == "default")
        words = "no content: default subclient";
    else if (verdict.reason == "default-content")
        words = "default content " + verdict.content;
    else if (verdict.reason == "none")
        words = "outside the default subclient's content: no subclient backs it up";
    else
        words = verdict.detail;
    if (verdict.line > 0)
        words += " (" + verdictPlace(verdict, loaded) +
                 (verdict.displayName.empty() ? "" : " \"" + verdict.displayName + "\"") + ")";
    if (verdict.handedOverBy > 0)
        words += ", handed over by a nodir of " + loaded.nameOf(verdict.handedOverBy);
    return words;
}
