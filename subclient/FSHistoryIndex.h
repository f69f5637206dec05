// Lookups into the content history that the history tests would otherwise
// answer by reading every record.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSHISTORYINDEX_H
#define SUBCLIENTCONF_SUBCLIENT_FSHISTORYINDEX_H

#include "subclient/FSPrefixIndex.h"

#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

struct FSHistory;
struct FSPlayback;

// Built on first use and dropped by every change of what it indexes (a
// history load, a reload, a change of case mode).
class FSHistoryIndex {
public:
    void drop();
    // Positions in history of the records that could contain path, unordered;
    // false when the path cannot be served and every record must be tested.
    bool pastContent(const std::vector<FSHistory>& history, bool caseSensitive, const char* path,
                     std::vector<uint32_t>& out);
    // A record pastContent found is a literal naming the path or an ancestor:
    // it could contain the path.
    bool namesPrefix(uint32_t record) const { return pastNamesPrefix_[record]; }
    // Positions in records of the path records whose text equals text in the
    // case mode (strcmp or strcasecmp), in record order; null when text
    // cannot be served and every record must be compared.
    const std::vector<uint32_t>* pathRecords(const std::deque<FSPlayback>& records, bool caseSensitive,
                                             const char* text);

private:
    static bool foldable(const char* text);
    const std::string& key(const char* text);

    FSPrefixIndex past_;
    bool pastBuilt_ = false;
    std::vector<bool> pastNamesPrefix_;
    // Record texts, folded when case is ignored; texts a fold cannot compare
    // exactly (bytes outside ASCII, which strcasecmp folds by locale) apart.
    std::unordered_map<std::string, std::vector<uint32_t>> byText_;
    std::vector<uint32_t> unfoldable_;
    std::size_t recordsIndexed_ = 0;
    bool recordsCaseSensitive_ = true;
    std::vector<uint32_t> merged_;  // lookup result
    std::string key_;               // lookup scratch
};

#endif
