// Records the library's errors and level-1 diagnostics while the tool runs,
// so that a failure can quote the library's own words, and keeps its events
// off standard error. With SUBCLIENTCONF_LOG_LEVEL set, the records also
// reach the usual log.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_LIBRARYLOG_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_LIBRARYLOG_H

#include "platform/KXLog.h"
#include "platform/TDebuggable.h"

#include <memory>
#include <string>
#include <vector>

struct LibraryRecord {
    int level;
    std::string text;
};

class LibraryLog {
public:
    // Installs the recording writer and event sink; the destructor restores the earlier ones.
    LibraryLog();
    ~LibraryLog();
    LibraryLog(const LibraryLog&) = delete;
    LibraryLog& operator=(const LibraryLog&) = delete;

    size_t recordMark() const;
    // The text of the last error or diagnostic since the mark, or "".
    std::string lastTextSince(size_t mark) const;

private:
    std::vector<LibraryRecord> recordsSince(size_t mark) const;

    class Writer;
    class Sink;
    std::shared_ptr<Writer> writer_;
    std::shared_ptr<Sink> sink_;
    std::shared_ptr<CLogWriterInterface> previousWriter_;
    std::shared_ptr<CEventSinkInterface> previousSink_;
};

#endif
