// The report as one JSON document (shape in docs/subclientconf-tool.md).
#include "Report.h"

namespace {

// Raised when the shape changes in a way that readers must know of.
const int kSchema = 1;

Json figuresJson(const Figures& f)
{
    return {{"files", f.counts.files},  {"folders", f.counts.folders}, {"links", f.counts.links},
            {"other", f.counts.others}, {"bytes", f.counts.bytes},     {"allocated", f.allocated}};
}

Json nameOrNull(const ReportData& data, int owner)
{
    return owner == 0 ? Json() : Json(data.loaded.nameOf(owner));
}

Json largestJson(const ReportData& data, int owner)
{
    Json list = Json::array();
    for (const LargeFolder& folder : data.tally.largest(owner))
        list.push_back({{"path", folder.path}, {"bytes", folder.bytes}});
    return list;
}

Json ownersJson(const ReportData& data)
{
    Json list = Json::array();
    for (int s = 1; s < static_cast<int>(data.tally.owners().size()); ++s) {
        const Figures& f = data.tally.owners()[static_cast<size_t>(s)];
        Json one = {{"number", s}, {"name", data.loaded.nameOf(s)}};
        one.update(figuresJson(f));
        one["share"] = data.share(f.counts.bytes);
        one["largestFolders"] = largestJson(data, s);
        list.push_back(one);
    }
    return list;
}

Json notBackedUpJson(const ReportData& data)
{
    const Figures& f = data.tally.owners()[0];
    Json one = figuresJson(f);
    one["share"] = data.share(f.counts.bytes);
    one["largestFolders"] = largestJson(data, 0);
    return one;
}

Json handoffsJson(const ReportData& data)
{
    Json list = Json::array();
    for (const Handoff& handoff : data.tally.handoffs()) {
        const ScanLine& nodir = data.ownership.nodirs()[static_cast<size_t>(handoff.nodir)];
        list.push_back({{"subclient", data.loaded.nameOf(nodir.subclient)},
                        {"nodir", nodir.text},
                        {"to", nameOrNull(data, handoff.receiver)},
                        {"files", handoff.figures.counts.files},
                        {"bytes", handoff.figures.counts.bytes}});
    }
    return list;
}

Json balanceJson(const ReportData& data)
{
    Balance balance = balanceOf(data);
    return {{"largest", nameOrNull(data, balance.largest)},
            {"smallest", nameOrNull(data, balance.smallest)},
            {"ratio", balance.ratio > 0 ? Json(balance.ratio) : Json()}};
}

Json foldersJson(const ReportData& data)
{
    const std::vector<FolderNode>& nodes = data.tally.nodes();
    Json list = Json::array();
    for (size_t i : data.foldersInOrder()) {
        const FolderNode& node = nodes[i];
        Json owners = Json::array();
        for (const auto& share : data.subtree(i))
            owners.push_back({{"subclient", nameOrNull(data, share.first)},
                              {"number", share.first},
                              {"content", data.lineText(share.second.line)},
                              {"files", share.second.figures.counts.files},
                              {"bytes", share.second.figures.counts.bytes}});
        Json parent = node.parent < 0 ? Json() : Json(nodes[static_cast<size_t>(node.parent)].path);
        list.push_back({{"path", node.path},
                        {"depth", node.depth},
                        {"parent", parent},
                        {"subclient", nameOrNull(data, node.claim.owner)},
                        {"number", node.claim.owner},
                        {"content", data.lineText(node.claim.line)},
                        {"owners", owners}});
    }
    return list;
}

}  // namespace

Json reportJson(const ReportData& data)
{
    Json doc = documentHead(data.loaded);
    doc["schema"] = kSchema;
    doc["root"] = data.settings.root;
    doc["crossMounts"] = data.settings.crossMounts;
    doc["depth"] = data.settings.depth;
    doc["top"] = data.settings.top;
    doc["totals"] = figuresJson(data.tally.walked());
    doc["subclients"] = ownersJson(data);
    doc["notBackedUp"] = notBackedUpJson(data);
    doc["handoffs"] = handoffsJson(data);
    doc["balance"] = balanceJson(data);
    doc["folders"] = foldersJson(data);
    Json failures = Json::array();
    for (const WalkFailure& failure : data.tally.failures())
        failures.push_back({{"path", failure.path}, {"error", failure.error}});
    doc["unreadable"] = failures;
    doc["complete"] = data.complete;
    return doc;
}
