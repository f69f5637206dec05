// The report as text: a table of owners, each one's largest folders, the
// nodirs' hand-offs, the balance line, the folders down to the depth and
// what could not be read.
#include "Quoting.h"
#include "Report.h"

#include <algorithm>
#include <cstdio>

namespace {

unsigned long long ull(uint64_t n)
{
    return static_cast<unsigned long long>(n);
}

class TextReport {
public:
    explicit TextReport(const ReportData& data) : data_(data)
    {
        for (size_t owner = 0; owner < data.tally.owners().size(); ++owner)
            width_ = std::max(width_, data.ownerLabel(static_cast<int>(owner)).size());
    }

    void print() const
    {
        printOwners();
        printLargest();
        printHandoffs();
        printBalance();
        printFolders();
        printUnreadable();
        if (!data_.complete)
            printf("\n(partial: interrupted)\n");
    }

private:
    void printOwners() const
    {
        printf("%-*s %10s %8s %6s %6s %12s %12s %7s\n", width(), "subclient", "files", "folders", "links", "other",
               "bytes", "allocated", "share");
        const std::vector<Figures>& owners = data_.tally.owners();
        for (size_t owner = 1; owner <= owners.size(); ++owner)  // not backed up last
            printRow(data_.ownerLabel(static_cast<int>(owner % owners.size())), owners[owner % owners.size()]);
        printRow("total", data_.tally.walked());
    }

    void printRow(const std::string& label, const Figures& f) const
    {
        printf("%-*s %10llu %8llu %6llu %6llu %12s %12s %6.1f%%\n", width(), label.c_str(), ull(f.counts.files),
               ull(f.counts.folders), ull(f.counts.links), ull(f.counts.others), data_.size(f.counts.bytes).c_str(),
               data_.size(f.allocated).c_str(), 100 * data_.share(f.counts.bytes));
    }

    void printLargest() const
    {
        printf("\nlargest folders, by the bytes of the files directly in them:\n");
        for (size_t owner = 1; owner <= data_.tally.owners().size(); ++owner) {
            int number = static_cast<int>(owner % data_.tally.owners().size());
            if (data_.tally.largest(number).empty())
                continue;
            printf("  %s\n", data_.ownerLabel(number).c_str());
            for (const LargeFolder& folder : data_.tally.largest(number))
                printf("    %12s  %s\n", data_.size(folder.bytes).c_str(), quoted(folder.path).c_str());
        }
    }

    void printHandoffs() const
    {
        std::vector<Handoff> handoffs = data_.tally.handoffs();
        if (handoffs.empty())
            return;
        printf("\nnodirs, and what each hands to whom:\n");
        for (const Handoff& handoff : handoffs) {
            const ScanLine& nodir = data_.ownership.nodirs()[static_cast<size_t>(handoff.nodir)];
            printf("  %s nodir %s -> %s: %llu files, %s bytes\n", data_.ownerLabel(nodir.subclient).c_str(),
                   quoted(nodir.text).c_str(), data_.ownerLabel(handoff.receiver).c_str(),
                   ull(handoff.figures.counts.files), data_.size(handoff.figures.counts.bytes).c_str());
        }
    }

    void printBalance() const
    {
        Balance balance = balanceOf(data_);
        if (balance.largest == 0)
            return;
        const std::vector<Figures>& owners = data_.tally.owners();
        printf("\nbalance: largest %s %s bytes, smallest %s %s bytes, ", data_.ownerLabel(balance.largest).c_str(),
               data_.size(owners[static_cast<size_t>(balance.largest)].counts.bytes).c_str(),
               data_.ownerLabel(balance.smallest).c_str(),
               data_.size(owners[static_cast<size_t>(balance.smallest)].counts.bytes).c_str());
        if (balance.ratio > 0)
            printf("ratio %.1f\n", balance.ratio);
        else
            printf("ratio undefined (the smallest holds no bytes)\n");
    }

    void printFolders() const
    {
        printf("\nfolders to depth %u, bytes by owner:\n", data_.settings.depth);
        const std::vector<FolderNode>& nodes = data_.tally.nodes();
        for (size_t i : data_.foldersInOrder()) {
            std::string owners;
            for (const auto& share : data_.subtree(i))
                owners += (owners.empty() ? "" : ", ") + data_.ownerLabel(share.first) + " " +
                          data_.size(share.second.figures.counts.bytes);
            printf("  %s  %s\n", quoted(nodes[i].path).c_str(), owners.c_str());
        }
    }

    void printUnreadable() const
    {
        if (data_.tally.failures().empty())
            return;
        printf("\nunreadable, skipped by the walk:\n");
        for (const WalkFailure& failure : data_.tally.failures())
            printf("  %s: %s\n", quoted(failure.path).c_str(), failure.error.c_str());
    }

    int width() const { return static_cast<int>(width_); }

    const ReportData& data_;
    size_t width_ = 13;  // "not backed up"
};

}  // namespace

void printReportText(const ReportData& data)
{
    TextReport(data).print();
}
