#include "Report.h"

#include <algorithm>
#include <cstdio>

ReportData::ReportData(const LoadedConfiguration& loaded, const ScanOwnership& ownership, const ReportTally& tally,
                       const ReportSettings& settings, bool complete)
    : loaded(loaded), ownership(ownership), tally(tally), settings(settings), complete(complete),
      subtrees_(tally.nodes().size())
{
    // A node comes after the node above it, so adding from the last gives each its whole subtree.
    const std::vector<FolderNode>& nodes = tally.nodes();
    for (size_t i = nodes.size(); i-- > 0;) {
        for (const auto& share : nodes[i].direct) {
            Share& sum = subtrees_[i][share.first];
            sum.figures.add(share.second.figures);
            if (sum.line < 0)
                sum.line = share.second.line;
        }
        if (nodes[i].parent < 0)
            continue;
        for (const auto& share : subtrees_[i]) {
            Share& sum = subtrees_[static_cast<size_t>(nodes[i].parent)][share.first];
            sum.figures.add(share.second.figures);
            if (sum.line < 0)
                sum.line = share.second.line;
        }
    }
}

std::vector<size_t> ReportData::foldersInOrder() const
{
    const std::vector<FolderNode>& nodes = tally.nodes();
    std::vector<size_t> order(nodes.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    // A slash sorts before every other byte, so a folder's subtree follows it unbroken.
    auto slashFirst = [](unsigned char c) { return c == '/' ? 0 : c + 1; };
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return std::lexicographical_compare(nodes[a].path.begin(), nodes[a].path.end(), nodes[b].path.begin(),
                                            nodes[b].path.end(), [&](char x, char y) {
                                                return slashFirst(static_cast<unsigned char>(x)) <
                                                       slashFirst(static_cast<unsigned char>(y));
                                            });
    });
    return order;
}

std::string ReportData::ownerLabel(int owner) const
{
    return owner == 0 ? "not backed up" : subclientLabel(loaded, owner);
}

std::string ReportData::lineText(int line) const
{
    return line < 0 ? std::string() : ownership.starts()[static_cast<size_t>(line)].text;
}

std::string ReportData::size(uint64_t bytes) const
{
    static const char* const units[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    if (!settings.human || bytes < 1024)
        return std::to_string(bytes) + (settings.human ? " B" : "");
    double value = static_cast<double>(bytes) / 1024;
    size_t unit = 0;
    while (value >= 1024 && unit + 1 < sizeof units / sizeof units[0]) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    return text;
}

double ReportData::share(uint64_t bytes) const
{
    uint64_t total = tally.walked().counts.bytes;
    return total == 0 ? 0 : static_cast<double>(bytes) / static_cast<double>(total);
}

Balance balanceOf(const ReportData& data)
{
    const std::vector<Figures>& owners = data.tally.owners();
    Balance balance;
    for (int s = 1; s < static_cast<int>(owners.size()); ++s) {
        uint64_t bytes = owners[static_cast<size_t>(s)].counts.bytes;
        if (balance.largest == 0 || bytes > owners[static_cast<size_t>(balance.largest)].counts.bytes)
            balance.largest = s;
        if (balance.smallest == 0 || bytes < owners[static_cast<size_t>(balance.smallest)].counts.bytes)
            balance.smallest = s;
    }
    if (balance.smallest > 0 && owners[static_cast<size_t>(balance.smallest)].counts.bytes > 0)
        balance.ratio = static_cast<double>(owners[static_cast<size_t>(balance.largest)].counts.bytes) /
                        static_cast<double>(owners[static_cast<size_t>(balance.smallest)].counts.bytes);
    return balance;
}
