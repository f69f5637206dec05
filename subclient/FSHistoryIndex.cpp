#include "subclient/FSHistoryIndex.h"

#include "subclient/FSSubclientConfPrivate.h"

#include <algorithm>

void FSHistoryIndex::drop()
{
    past_.clear(true);
    pastBuilt_ = false;
    pastNamesPrefix_.clear();
    byText_.clear();
    unfoldable_.clear();
    recordsIndexed_ = 0;
}

bool FSHistoryIndex::pastContent(const std::vector<FSHistory>& history, bool caseSensitive, const char* path,
                                 std::vector<uint32_t>& out)
{
    if (!pastBuilt_ || past_.caseSensitive() != caseSensitive) {
        past_.clear(caseSensitive);
        pastNamesPrefix_.assign(history.size(), false);
        for (std::size_t i = 0; i < history.size(); ++i)
            pastNamesPrefix_[i] = past_.add(history[i].path.c_str(), history[i].isWildcard, static_cast<uint32_t>(i)) &&
                                  !history[i].isWildcard;
        past_.seal();
        pastBuilt_ = true;
    }
    return past_.collect(path, out);
}

bool FSHistoryIndex::foldable(const char* text)
{
    for (; *text; ++text)
        if (static_cast<unsigned char>(*text) >= 0x80)
            return false;
    return true;
}

const std::string& FSHistoryIndex::key(const char* text)
{
    key_.assign(text);
    if (!recordsCaseSensitive_)
        for (char& c : key_)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
    return key_;
}

const std::vector<uint32_t>* FSHistoryIndex::pathRecords(const std::deque<FSPlayback>& records, bool caseSensitive,
                                                         const char* text)
{
    if (records.size() < recordsIndexed_ || recordsCaseSensitive_ != caseSensitive) {
        byText_.clear();
        unfoldable_.clear();
        recordsIndexed_ = 0;
        recordsCaseSensitive_ = caseSensitive;
    }
    // Records are only ever appended between two loads.
    for (; recordsIndexed_ < records.size(); ++recordsIndexed_) {
        const FSPlayback& record = records[recordsIndexed_];
        if (record.kind != FSPlayback::kindPath)
            continue;
        if (caseSensitive || foldable(record.text.c_str()))
            byText_[key(record.text.c_str())].push_back(static_cast<uint32_t>(recordsIndexed_));
        else
            unfoldable_.push_back(static_cast<uint32_t>(recordsIndexed_));
    }
    if (!caseSensitive && !foldable(text))
        return nullptr;
    auto found = byText_.find(key(text));
    if (unfoldable_.empty())
        return found != byText_.end() ? &found->second : &unfoldable_;
    merged_.assign(unfoldable_.begin(), unfoldable_.end());
    if (found != byText_.end())
        merged_.insert(merged_.end(), found->second.begin(), found->second.end());
    std::sort(merged_.begin(), merged_.end());
    return &merged_;
}
