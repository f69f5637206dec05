#include "PathOwner.h"

#include "Quoting.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace {

const char* const kNotUtf8 = "not valid UTF-8: no subclient can be told for it";
const char* const kRelative = "not an absolute path: the configuration would read it as a name anywhere";
const char* const kParentStep = "has a '..' component: name the path without it";
const char* const kOutsideStarts = "outside the default subclient's start points: its scan does not reach it";

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

PathOwner::PathOwner(const LoadedConfiguration& loaded) : loaded_(loaded), conf_(*loaded.conf), lines_(loaded)
{
    conf_.setProblemSink(&placed_);
    LineCollector starts;
    conf_.dirnames(&starts, 1);
    defaultStarts_ = starts.lines;
}

PathOwner::~PathOwner()
{
    conf_.setProblemSink(nullptr);
}

PathVerdict PathOwner::explain(const std::string& path, bool withPathTests)
{
    PathVerdict verdict = decide(path, withPathTests);
    cite(verdict);
    return verdict;
}

// The file line of the content that decided, and its display name.
void PathOwner::cite(PathVerdict& verdict)
{
    if (verdict.content.empty())
        return;
    if (const ContentLine* line = lines_.find(verdict.subclient, verdict.content)) {
        verdict.line = line->line;
        verdict.displayName = line->displayName;
    }
}

PathVerdict PathOwner::decide(const std::string& path, bool withPathTests)
{
    PathVerdict verdict;
    verdict.path = path;
    for (int s = 1; withPathTests && s <= conf_.getNumSubclients(); ++s)
        verdict.pathTests.push_back(conf_.pathTest(path.c_str(), s));
    std::string refused = !isValidUtf8(path)    ? kNotUtf8
                          : !isAbsolute(path)   ? kRelative
                          : hasParentStep(path) ? kParentStep
                                                : "";
    if (!refused.empty()) {
        verdict.reason = "invalid";
        verdict.detail = refused;
        return verdict;
    }
    std::string normalized;
    char delim = conf_.fixPath(path, normalized, false);
    size_t mark = placed_.mark();
    std::unique_ptr<FSSubclientDirlist> list(delim ? conf_.createDirlist(path.c_str(), false) : nullptr);
    if (!list || !list->getRoot()) {
        verdict.reason = "invalid";
        verdict.detail = "not a valid path";
        for (const FSContentProblem& problem : placed_.since(mark)) {
            if (problem.kind == FS_PROBLEM_AMBIGUOUS) {
                verdict.reason = "ambiguous";
                verdict.detail = problem.message;
            }
        }
        return verdict;
    }
    const FSSubclientDir& top = *list->getRoot();
    verdict.subclient = top.subclient;
    const FSSubclientDir* entry = decidingEntry(top, normalized, delim);
    if (!entry) {  // not reached through the scan lists: name the content node itself
        verdict.reason = "content";
        verdict.content = conf_.nodeToPath(top.node);
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

// The default subclient owns what no other subclient claims (its pathTest says
// so); its scan starts at the root, unless it has content of its own (store
// files), and then misses what lies outside that content.
void PathOwner::explainDefault(PathVerdict& verdict, const std::string& path, char delim)
{
    verdict.content.clear();
    verdict.reason = "default";
    bool fromRoot =
        defaultStarts_.empty() || (defaultStarts_.size() == 1 && defaultStarts_[0] == std::string(1, delim));
    if (fromRoot)
        return;
    for (const std::string& start : defaultStarts_) {
        std::string bare;
        bool wildcard = isWildCardContent(start, bare);
        if (conf_.dirnameTest(bare.c_str(), path.c_str(), delim, wildcard) == 1) {
            verdict.reason = "default-content";
            verdict.content = start;
            return;
        }
    }
    verdict.detail = kOutsideStarts;
}

// The entry that pathTest decides on: the first entry of the subclient's
// chain (for the default subclient its root entry only) that could contain
// the path and none of whose nodirs completely contains it. A literal entry
// that could contain a plain path names a folder on the way to it, which the
// owner query passes through, so besides the entry of the path's content node
// only the subclient's wildcard entries can decide; for that content node only
// its wildcard nodirs can take the path away. A path with pattern characters,
// or a literal name that a wildcard sibling governs (owned by the wildcard's
// subclient, not by its node's), takes the walk over every entry.
const FSSubclientDir* PathOwner::decidingEntry(const FSSubclientDir& top, const std::string& path, char delim)
{
    int subclient = top.subclient;
    WholeTreeList& whole = wholeList(delim);
    uint32_t own = 0;
    bool plain = path.find_first_of(delim == '/' ? "*?[\\" : "*?[/") == std::string::npos;
    if (!plain || !whole.positionOf(top.node, own) || whole.entryAt(own)->subclient != subclient ||
        (subclient == 1 && own != 0))
        return governingEntry(subclient, path, delim);
    bool ownTried = false;
    for (uint32_t other : whole.wildcardEntries(subclient == 1 ? 0 : subclient)) {
        if (!ownTried && other > own) {
            if (entryClaims(whole.entryAt(own), path, delim, true))
                return whole.entryAt(own);
            ownTried = true;
        }
        if (other != own && entryClaims(whole.entryAt(other), path, delim, false))
            return whole.entryAt(other);
    }
    return !ownTried && entryClaims(whole.entryAt(own), path, delim, true) ? whole.entryAt(own) : nullptr;
}

// The walk pathTest makes, over every entry of the subclient's chain.
const FSSubclientDir* PathOwner::governingEntry(int subclient, const std::string& path, char delim)
{
    FSSubclientDirlist* whole = wholeList(delim).list();
    FSSubclientDir* entry = nullptr;
    if (!whole || whole->getFirst(subclient, &entry) != 0)
        return nullptr;
    while (entry) {
        if (entryClaims(entry, path, delim, false))
            return entry;
        if (subclient == 1 || whole->getNext(&entry) != 0)
            break;
    }
    return nullptr;
}

// Could the entry contain the path, with none of its nodirs taking it away?
// Of the nodirs of the path's content node (owners) only the wildcard ones
// can: the owner query has passed by the literal ones.
bool PathOwner::entryClaims(const FSSubclientDir* entry, const std::string& path, char delim, bool owners)
{
    if (conf_.dirnameTest(entry->name, path.c_str(), delim, entry->isWildcard) != 1)
        return false;
    auto takes = [&](const FSSubclientDir* nodir) {
        return conf_.completelyContains(nodir->name, path.c_str(), delim, nodir->isWildcard) != 0;
    };
    if (owners) {
        std::vector<const FSSubclientDir*> nodirs = wholeList(delim).wildcardNodirs(entry);
        return std::none_of(nodirs.begin(), nodirs.end(), takes);
    }
    for (const FSSubclientDir* nodir = entry->nodirs; nodir; nodir = nodir->nextNodir)
        if (takes(nodir))
            return false;
    return true;
}

WholeTreeList& PathOwner::wholeList(char delim)
{
    std::unique_ptr<WholeTreeList>& list = wholeLists_[delim];
    if (!list)
        list = std::make_unique<WholeTreeList>(conf_, delim);
    return *list;
}

WholeTreeList::WholeTreeList(FSSubclientConf& conf, char delim)
    : list_(conf.createDirlist(std::string(1, delim).c_str(), false))
{
    FSSubclientDir* root = list_ ? list_->getRoot() : nullptr;
    size_t count = 0;
    for (FSSubclientDir* entry = root; entry; entry = entry->nextLinear)
        ++count;
    entries_.reserve(count);
    size_t slots = 2;
    while (slots < 2 * count)
        slots *= 2;
    slots_.assign(slots, 0);
    wildcards_.resize(static_cast<size_t>(std::max(conf.getNumSubclients(), 0)));
    for (FSSubclientDir* entry = root; entry; entry = entry->nextLinear) {
        uint32_t position = static_cast<uint32_t>(entries_.size());
        entries_.push_back(entry);
        size_t slot = slotOf(entry->node);
        if (slots_[slot] == 0)
            slots_[slot] = position + 1;
        if (entry->isWildcard && entry->subclient >= 1 && entry->subclient <= static_cast<int>(wildcards_.size()))
            wildcards_[entry->subclient - 1].push_back(position);
        for (const FSSubclientDir* nodir = entry->nodirs; nodir; nodir = nodir->nextNodir)
            if (nodir->isWildcard)
                wildcardNodirs_.emplace_back(entry, nodir);
    }
    std::sort(wildcardNodirs_.begin(), wildcardNodirs_.end(),
              [](const auto& a, const auto& b) { return std::less<const FSSubclientDir*>()(a.first, b.first); });
}

// The slot that holds node's position, or the free slot where it would go.
size_t WholeTreeList::slotOf(const FSSubclientNode* node) const
{
    size_t mask = slots_.size() - 1;
    size_t slot = (reinterpret_cast<uintptr_t>(node) >> 4) * 2654435761u & mask;
    while (slots_[slot] != 0 && entries_[slots_[slot] - 1]->node != node)
        slot = (slot + 1) & mask;
    return slot;
}

bool WholeTreeList::positionOf(const FSSubclientNode* node, uint32_t& position) const
{
    if (slots_.empty())
        return false;
    uint32_t found = slots_[slotOf(node)];
    position = found - 1;
    return found != 0;
}

const std::vector<uint32_t>& WholeTreeList::wildcardEntries(int subclient) const
{
    static const std::vector<uint32_t> none;
    return subclient >= 1 && subclient <= static_cast<int>(wildcards_.size()) ? wildcards_[subclient - 1] : none;
}

std::vector<const FSSubclientDir*> WholeTreeList::wildcardNodirs(const FSSubclientDir* entry) const
{
    auto before = [](const auto& a, const auto& b) { return std::less<const FSSubclientDir*>()(a.first, b.first); };
    auto range = std::equal_range(wildcardNodirs_.begin(), wildcardNodirs_.end(),
                                  std::make_pair(entry, static_cast<const FSSubclientDir*>(nullptr)), before);
    std::vector<const FSSubclientDir*> nodirs;
    for (auto it = range.first; it != range.second; ++it)
        nodirs.push_back(it->second);
    return nodirs;
}

const ContentLine* ContentLineIndex::find(int subclient, const std::string& text)
{
    if (subclient < 1 || subclient > static_cast<int>(loaded_.subclients.size()))
        return nullptr;
    const std::vector<ContentLine>& lines = loaded_.subclients[subclient - 1].content;
    std::vector<std::pair<uint32_t, uint32_t>>& index = bySubclient_[subclient];
    if (index.empty()) {
        for (size_t i = 0; i < lines.size(); ++i)
            index.emplace_back(hashOf(lines[i].text), static_cast<uint32_t>(i));
        std::sort(index.begin(), index.end());  // of two lines with one text, the first in the file comes first
    }
    uint32_t hash = hashOf(text);
    for (auto it = std::lower_bound(index.begin(), index.end(), std::make_pair(hash, uint32_t(0)));
         it != index.end() && it->first == hash; ++it)
        if (lines[it->second].text == text)
            return &lines[it->second];
    return nullptr;
}

uint32_t ContentLineIndex::hashOf(const std::string& text)
{
    return static_cast<uint32_t>(std::hash<std::string>()(text));
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
        words = "no content: default subclient" + (verdict.detail.empty() ? "" : " (" + verdict.detail + ")");
    else if (verdict.reason == "default-content")
        words = "default content " + verdict.content;
    else
        words = verdict.detail;
    if (verdict.line > 0)
        words += " (" + verdictPlace(verdict, loaded) +
                 (verdict.displayName.empty() ? "" : " \"" + verdict.displayName + "\"") + ")";
    if (verdict.handedOverBy > 0)
        words += ", handed over by a nodir of " + loaded.nameOf(verdict.handedOverBy);
    return words;
}
