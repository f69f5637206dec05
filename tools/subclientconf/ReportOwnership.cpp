#include "ReportOwnership.h"

#include "Output.h"
#include "Walker.h"

namespace {

const unsigned long kEscape = '\\';

std::string nameOf(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

// Whether a tidy path is the other or lies below it.
bool within(const std::string& path, const std::string& folder)
{
    if (folder == "/")
        return true;
    return path.compare(0, folder.size(), folder) == 0 && (path.size() == folder.size() || path[folder.size()] == '/');
}

}  // namespace

ScanOwnership::ScanOwnership(const LoadedConfiguration& loaded) : caseSensitive_(loaded.conf->isCaseSensitive())
{
    FSSubclientConf& conf = *loaded.conf;
    for (int s = 1; s <= conf.getNumSubclients(); ++s) {
        LineCollector starts;
        LineCollector nodirs;
        if (conf.dirnames(&starts, s) < 0 || conf.nodirs(&nodirs, s) < 0)
            throw ToolError(TOOL_NEGATIVE, filePlace(loaded, 0) + "cannot list subclient " + loaded.nameOf(s));
        for (const std::string& line : starts.lines) {
            starts_.push_back({s, line});
            addLine(line, {true, s, static_cast<int>(starts_.size()) - 1});
        }
        for (const std::string& line : nodirs.lines) {
            nodirs_.push_back({s, line});
            addLine(line, {false, s, static_cast<int>(nodirs_.size()) - 1});
        }
    }
    for (const std::string& folder : startFolders_)
        for (std::string up = folder;; up = parentFolder(up)) {
            startAncestors_.insert(key(up));
            if (up == "/")
                break;
        }
}

void ScanOwnership::addLine(const std::string& line, Rule rule)
{
    std::string path;
    bool wildcard = isWildCardContent(line, path);
    path = tidyPath(path);
    if (path.empty() || path[0] != '/')
        return;
    if (rule.start)
        startFolders_.push_back(wildcard ? parentFolder(path) : path);
    if (path == "/")
        return;  // the root has no folder; rootClaim finds it
    FolderRules& rules = folders_[key(parentFolder(path))];
    if (!wildcard) {
        rules.byName[key(nameOf(path))].push_back(rule);
        return;
    }
    auto pattern = std::make_unique<WCBasename>(kEscape, true);
    if (!pattern->parse(nameOf(path)))
        rules.patterns.emplace_back(std::move(pattern), rule);
}

std::vector<std::string> ScanOwnership::roots() const
{
    for (const ScanLine& line : starts_)
        if (line.subclient == 1 && tidyPath(line.text) == "/")
            return {"/"};
    std::vector<std::string> roots;
    for (const std::string& folder : startFolders_) {
        bool covered = false;
        for (const std::string& other : startFolders_)
            covered = covered || (other != folder && within(key(folder), key(other)));
        bool listed = false;
        for (const std::string& root : roots)
            listed = listed || key(root) == key(folder);
        if (!covered && !listed)
            roots.push_back(folder);
    }
    return roots;
}

Claim ScanOwnership::rootClaim(const std::string& path) const
{
    for (size_t i = 0; i < starts_.size(); ++i) {
        std::string bare;
        if (!isWildCardContent(starts_[i].text, bare) && key(tidyPath(bare)) == key(path))
            return {starts_[i].subclient, static_cast<int>(i), -1, true};
    }
    return {};
}

const ScanOwnership::FolderRules* ScanOwnership::rulesFor(const std::string& folder) const
{
    auto found = folders_.find(key(folder));
    return found == folders_.end() ? nullptr : &found->second;
}

// A nodir of the owner stops its scan; a start point below hands the entry to
// its subclient (the innermost start wins; among several at one entry, the
// first subclient).
Claim ScanOwnership::childClaim(const Claim& parent, const FolderRules* rules, const std::string& name) const
{
    Claim claim{parent.owner, parent.line, parent.handoff, false};
    if (!rules)
        return claim;
    std::vector<const Rule*> found = rulesOf(*rules, name);
    for (const Rule* rule : found)
        if (!rule->start && rule->subclient == parent.owner) {
            claim = {0, -1, rule->index, false};
            break;
        }
    for (const Rule* rule : found)
        if (rule->start && applies(*rules, name, *rule)) {
            claim.owner = rule->subclient;
            claim.line = rule->index;
            claim.start = true;
            break;
        }
    return claim;
}

// A wildcard start point does not take an entry that a nodir of its own subclient names.
bool ScanOwnership::applies(const FolderRules& rules, const std::string& name, const Rule& rule) const
{
    std::string bare;
    if (!isWildCardContent(starts_[static_cast<size_t>(rule.index)].text, bare))
        return true;
    for (const Rule* other : rulesOf(rules, name))
        if (!other->start && other->subclient == rule.subclient)
            return false;
    return true;
}

std::vector<const ScanOwnership::Rule*> ScanOwnership::rulesOf(const FolderRules& rules, const std::string& name) const
{
    std::vector<const Rule*> found;
    auto literal = rules.byName.find(key(name));
    if (literal != rules.byName.end())
        for (const Rule& rule : literal->second)
            found.push_back(&rule);
    for (auto& pattern : rules.patterns)
        if (nameMatches(*pattern.first, name, caseSensitive_))
            found.push_back(&pattern.second);
    return found;
}

std::string ScanOwnership::key(const std::string& text) const
{
    return pathKey(text, caseSensitive_);
}
