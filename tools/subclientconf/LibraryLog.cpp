#include "LibraryLog.h"

#include <cstdlib>

namespace {

// Level-1 diagnostics say why a query failed, so they are always produced and kept.
const int kRecordedLevel = 1;

}  // namespace

class LibraryLog::Writer : public CLogWriterInterface {
public:
    explicit Writer(std::shared_ptr<CLogWriterInterface> next)
        : next_(std::move(next)), forward_(std::getenv("SUBCLIENTCONF_LOG_LEVEL") != nullptr)
    {}

    int getLevel() override
    {
        int level = forward_ ? next_->getLevel() : kRecordedLevel;
        return level > kRecordedLevel ? level : kRecordedLevel;
    }

    void vwrite(int level, const char* origin, int line, const char* format, va_list args) override
    {
        va_list copy;
        va_copy(copy, args);
        if (level <= kRecordedLevel)
            records.push_back({level, kxVFormat(format, args)});
        if (forward_ && (level < 0 || next_->getLevel() >= level))
            next_->vwrite(level, origin, line, format, copy);
        va_end(copy);
    }

    std::vector<LibraryRecord> records;

private:
    std::shared_ptr<CLogWriterInterface> next_;
    bool forward_;
};

// The library's events say what its problem reports say; the tool keeps them off standard error.
class LibraryLog::Sink : public CEventSinkInterface {
public:
    void raise(const EvRecord&) override {}
};

LibraryLog::LibraryLog()
    : writer_(std::make_shared<Writer>(kxGetLogWriter())), sink_(std::make_shared<Sink>()),
      previousWriter_(kxGetLogWriter()), previousSink_(kxGetEventSink())
{
    kxSetLogWriter(writer_);
    kxSetEventSink(sink_);
}

LibraryLog::~LibraryLog()
{
    kxSetLogWriter(previousWriter_);
    kxSetEventSink(previousSink_);
}

size_t LibraryLog::recordMark() const
{
    return writer_->records.size();
}

std::vector<LibraryRecord> LibraryLog::recordsSince(size_t mark) const
{
    const auto& all = writer_->records;
    return {all.begin() + static_cast<long>(mark < all.size() ? mark : all.size()), all.end()};
}

std::string LibraryLog::lastTextSince(size_t mark) const
{
    std::vector<LibraryRecord> records = recordsSince(mark);
    for (auto record = records.rbegin(); record != records.rend(); ++record)
        if (record->level <= kRecordedLevel)
            return record->text;
    return std::string();
}
