#include "platform/KXTextFile.h"
#include "support/Capture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <regex>
#include <thread>

namespace {

struct Probe : TDebuggable {
    Probe() { setDebugPrefix("PROBE"); }
    void say(int level, const char* text)
    {
        origin = __PRETTY_FUNCTION__;
        line = __LINE__ + 1;
        TLOG(level, "%s", counted(text));
    }
    const char* counted(const char* text) { return ++evaluated, text; }
    std::string origin;
    int line = 0;
    int evaluated = 0;  // a suppressed record must not evaluate its arguments
};

TEST(Log, ErrorsAlwaysDiagnosticsUpToTheLevelEventsAtZero)
{
    const int levels[] = {-1, 0, 1, 3, 192};
    for (int current : levels) {
        CaptureLog log(current);
        Probe probe;
        for (int level : levels)
            probe.say(level, std::to_string(level).c_str());
        for (int level : levels)
            EXPECT_EQ(log.has(level, std::to_string(level)), level == -1 || current >= level)
                << "current " << current << ", message " << level;
        EXPECT_EQ(probe.evaluated, static_cast<int>(log.records().size()));
        EXPECT_EQ(log.records().at(0).origin, probe.origin);
        EXPECT_EQ(log.records().at(0).line, probe.line);
    }
    // Where no sink is installed an event is a record (the configuration's own events reach a sink).
    CaptureLog log(0);
    Probe probe;
    probe.appEvent(7, 9);
    probe.ev() << "a/b" << -1 << 42;
    probe.ev().MinorEvent(0x1234, 0, 0);
    EXPECT_TRUE(log.has(0, "minor event 0x00001234 (fleet 7, app 9): 'a/b', -1, 42")) << log.dump();
}

// Several threads log long records while the writer is replaced again and again:
// every record must arrive whole, on its own line, in one of the two files.
TEST(LogStreamWriter, WritesWholeOneLineRecordsEvenFromThreadsWhileTheWriterIsReplaced)
{
    const int level = kxLogLevel();
    TempDir dir;
    const std::string path = dir.file("log"), big(100000, 'x');
    std::shared_ptr<CLogStreamWriter> writer = CLogStreamWriter::open(path.c_str());
    kxSetLogLevel(1);
    EXPECT_EQ(writer->getLevel(), 1);
    writer->write(1, "int Some::origin(const char*)", 57, 0, 0, 0, "first %s\nsecond\n", "part");
    writer->write(0, "f", 1, 0, 0, 0, "<%s>", big.c_str());
    writer.reset();  // closes the file
    std::vector<std::string> lines;
    ASSERT_EQ(kxReadTextLines(path.c_str(), lines), 0);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(
        std::regex_match(lines[0], std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z \d+:\d+ 1 )"
                                              R"(\[int Some::origin\(const char\*\):57\] first part\\nsecond)")))
        << lines[0];
    EXPECT_EQ(lines[1].substr(lines[1].find("] ") + 2), "<" + big + ">");  // never cut

    testing::internal::CaptureStderr();
    CLogStreamWriter::open("/nonexistent-dir/log");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(std::regex_search(err, std::regex(" -1 \\[.*\\] cannot open log file '/nonexistent-dir/log' \\(No such "
                                                  "file or directory\\), logging to standard error\n")))
        << err;

    kxSetLogLevel(0);
    const std::string paths[2] = {dir.file("a"), dir.file("b")};
    std::shared_ptr<CLogWriterInterface> writers[2] = {CLogStreamWriter::open(paths[0].c_str()),
                                                       CLogStreamWriter::open(paths[1].c_str())};
    kxSetLogWriter(writers[0]);
    std::atomic<int> running(4);
    std::vector<std::thread> loggers;
    for (char c = 'a'; c < 'e'; ++c)
        loggers.emplace_back([c, &running] {
            for (int i = 0; i < 100; ++i)
                KXLOG(0, "%s", std::string(3000, c).c_str());
            --running;
        });
    for (int i = 0; running > 0; ++i)
        kxSetLogWriter(writers[i % 2]);
    for (std::thread& logger : loggers)
        logger.join();
    kxSetLogWriter(nullptr);
    writers[0] = writers[1] = nullptr;  // closes the files
    size_t records = 0;
    for (const std::string& path : paths) {
        std::vector<std::string> lines;
        ASSERT_EQ(kxReadTextLines(path.c_str(), lines), 0);
        for (const std::string& line : lines) {
            const std::string text = line.substr(std::min(line.find("] ") + 2, line.size()));
            EXPECT_EQ(text, std::string(3000, text[0])) << line.substr(0, 200);
            ++records;
        }
    }
    EXPECT_EQ(records, 400u);
    kxSetLogLevel(level);
}

// Takes the "Entering" record, then has no memory left to format another.
struct ShortOfMemoryWriter : CLogWriterInterface {
    int getLevel() override { return 2; }
    void vwrite(int, const char*, int, const char*, va_list) override
    {
        if (records++ > 0)
            throw std::bad_alloc();
    }
    int records = 0;
};

TEST(ShortOfMemory, ARecordThatCannotBeWrittenIsLostAndTheCallerGoesOn)
{
    auto writer = std::make_shared<ShortOfMemoryWriter>();
    {
        // Its destructor runs when the traced function returns or unwinds.
        KXDebugFunction trace(writer, 2, "f", 1, 1, 0, 0, nullptr);
    }
    EXPECT_EQ(writer->records, 2);
    kxSetLogWriter(writer);
    EXPECT_NO_THROW(kxLog(-1, "f", 1, "error %d", 1));
    kxSetLogWriter(nullptr);
    EXPECT_EQ(writer->records, 3);
}

}  // namespace
