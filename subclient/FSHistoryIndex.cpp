#include "subclient/FSHistoryIndex.h"

#include "subclient/FSSubclientConfPrivate.h"

#include <algorithm>

void FSHistoryIndex::drop()
{
    past_.clear(true);
    pastBuilt_ = false;
    byText_.clear();
    unfoldable_.clear();
    recordsIndexed_ = 0;
}

bool FSHistoryIndex::pastContent(const std::vector<FSHistory>& history, bool caseSensitive, const char* path,
                                 std::vector<uint32_t>& out)
{
    if (!pastBuilt_ || past_.caseSensitive() != caseSensitive) {
        past_.clear(caseSensitive);
        for (std::size_t i = 0; i < history.size(); ++i)
            past_.add(history[i].path.c_str(), history[i].isWildcard, static_cast<uint32_t>(i));
        pastBuilt_ = true;
    }
    return past_.collect(path, out);
}

bool FSHistoryIndex::foldable(const std::string& text)
{
    return std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

std::string FSHistoryIndex::key(const std::string& text) const
{
    std::string folded(text);
    if (!recordsCaseSensitive_)
        for (char& c : folded)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

const std::vector<uint32_t>* FSHistoryIndex::pathRecords(const std::deque<FSPlayback>& records,
                                                         bool caseSensitive, const char* text)
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
        if (caseSensitive || foldable(record.text))
            byText_[key(record.text)].push_back(static_cast<uint32_t>(recordsIndexed_));
        else
            unfoldable_.push_back(static_cast<uint32_t>(recordsIndexed_));
    }
    const std::string wanted(text);
    if (!caseSensitive && !foldable(wanted))
        return nullptr;
    merged_.assign(unfoldable_.begin(), unfoldable_.end());
    auto found = byText_.find(key(wanted));
    if (found != byText_.end())
        merged_.insert(merged_.end(), found->second.begin(), found->second.end());
    std::sort(merged_.begin(), merged_.end());
    return &merged_;
}
