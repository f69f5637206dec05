#include "platform/TempFiles.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
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

std::vector<std::string> readLines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Keeps the library's level as the test found it.
class LogLevelTest : public ::testing::Test {
protected:
    void TearDown() override { kxSetLogLevel(saved_); }

private:
    int saved_ = kxLogLevel();
};

TEST(LogLevelRule, ErrorsAlwaysDiagnosticsUpToTheCurrentLevel)
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
        EXPECT_EQ(kxLogApplies(3), current >= 3);
    }
}

TEST(LogOrigin, IsTheCallersSignatureAndLineOrTheObjectsPrefix)
{
    CaptureLog log(1);
    Probe probe;
    probe.say(0, "from a member");
    probe.debug(0, "through debug");
    dbg.debug(1, "wildcard %d", 7);
    std::vector<LogRecord> records = log.records();
    ASSERT_EQ(records.size(), 3u) << log.dump();
    EXPECT_EQ(records[0].origin, probe.origin);
    EXPECT_EQ(records[0].line, probe.line);
    EXPECT_EQ(records[1].origin, "PROBE");
    EXPECT_EQ(records[2].origin, "EvDebug");
    EXPECT_EQ(records[2].text, "wildcard 7");
}

TEST(LogFormat, LongMessagesAreNeverCut)
{
    CaptureLog log(0);
    std::string big(100000, 'x');
    KXLOG(0, "<%s>", big.c_str());
    ASSERT_EQ(log.records().size(), 1u);
    EXPECT_EQ(log.records()[0].text, "<" + big + ">");
}

TEST_F(LogLevelTest, StreamWriterWritesOneLineRecordsAtTheLibraryLevel)
{
    TempDir dir;
    std::string path = dir.path() + "/log";
    std::shared_ptr<CLogStreamWriter> writer = CLogStreamWriter::open(path.c_str());
    kxSetLogLevel(1);
    EXPECT_EQ(writer->getLevel(), 1);
    writer->write(1, "int Some::origin(const char*)", 57, 0, 0, 0, "first %s\nsecond\n", "part");
    writer.reset();  // closes the file
    std::vector<std::string> lines = readLines(path);
    ASSERT_EQ(lines.size(), 1u);
    std::regex record(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z \d+:\d+ 1 )"
                      R"(\[int Some::origin\(const char\*\):57\] first part\\nsecond)");
    EXPECT_TRUE(std::regex_match(lines[0], record)) << lines[0];
}

TEST(LogStreamWriter, UnopenableFileFallsBackToStandardErrorAndSaysSo)
{
    testing::internal::CaptureStderr();
    std::shared_ptr<CLogStreamWriter> writer = CLogStreamWriter::open("/nonexistent-dir/log");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(" -1 ["), std::string::npos) << err;
    EXPECT_NE(err.find("cannot open log file '/nonexistent-dir/log' (No such file or directory), "
                       "logging to standard error"),
              std::string::npos)
        << err;
}

constexpr int threads = 4, perThread = 100;
constexpr size_t length = 3000;

// Several threads log long records while another keeps replacing the writer:
// every record must arrive whole, on its own line, in one of the two files.
TEST_F(LogLevelTest, ThreadsNeverInterleaveRecordsEvenWhileTheWriterIsReplaced)
{
    TempDir dir;
    const std::string paths[2] = {dir.path() + "/a", dir.path() + "/b"};
    {
        std::shared_ptr<CLogWriterInterface> writers[2] = {CLogStreamWriter::open(paths[0].c_str()),
                                                           CLogStreamWriter::open(paths[1].c_str())};
        kxSetLogLevel(0);
        kxSetLogWriter(writers[0]);
        std::atomic<bool> done(false);
        std::thread swapper([&] {
            for (int i = 0; !done; ++i)
                kxSetLogWriter(writers[i % 2]);
        });
        std::vector<std::thread> loggers;
        for (int t = 0; t < threads; ++t)
            loggers.emplace_back([t] {
                std::string text(length, static_cast<char>('a' + t));
                for (int i = 0; i < perThread; ++i)
                    KXLOG(0, "%s", text.c_str());
            });
        for (std::thread& logger : loggers)
            logger.join();
        done = true;
        swapper.join();
        kxSetLogWriter(nullptr);
    }
    size_t records = 0;
    for (const std::string& path : paths)
        for (const std::string& line : readLines(path)) {
            size_t start = line.find("] ");
            ASSERT_NE(start, std::string::npos) << line.substr(0, 200);
            std::string text = line.substr(start + 2);
            EXPECT_EQ(text, std::string(length, text[0])) << line.substr(0, 200);
            ++records;
        }
    EXPECT_EQ(records, static_cast<size_t>(threads * perThread));
}

TEST(UseStdout, RecordsGoToStandardOutputInOrderWithPrintf)
{
    CaptureLog log(0);
    Probe probe;
    probe.useStdout(1);
    testing::internal::CaptureStdout();
    printf("before\n");
    probe.say(0, "middle");
    probe.say(1, "above the level");
    printf("after\n");
    probe.debug(-1, "error\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "before\nPROBE: middle\nafter\nPROBE: error\n");
    EXPECT_TRUE(log.records().empty()) << log.dump();
}

void traced()
{
    KX_TRACE();
    KXLOG(0, "inside");
}

TEST(Tracer, WritesEntryAndExitAtLevelTwo)
{
    struct Case {
        int level;
        std::vector<std::string> texts;
    };
    const Case cases[] = {{0, {"inside"}}, {1, {"inside"}}, {2, {"Entering", "inside", "Leaving"}}};
    for (const Case& c : cases) {
        CaptureLog log(c.level);
        traced();
        std::vector<std::string> texts;
        for (const LogRecord& r : log.records()) {
            texts.push_back(r.text);
            EXPECT_NE(r.origin.find("traced"), std::string::npos) << r.origin;
        }
        EXPECT_EQ(texts, c.texts) << "level " << c.level;
    }
}

// Takes the "Entering" record, then has no memory left to format another.
class ShortOfMemoryWriter : public CLogWriterInterface {
public:
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

TEST(Events, CarryTextAndLittleEndianIntegers)
{
    CaptureEvents events;
    Probe probe;
    probe.appEvent(7, 9);
    probe.ev() << "line" << 42;
    probe.ev().MajorEvent(0x11000046, 0, 0);
    ASSERT_EQ(events.events().size(), 1u);
    const EvRecord e = events.events()[0];
    EXPECT_TRUE(e.major);
    EXPECT_EQ(e.id, 0x11000046ul);
    EXPECT_EQ(e.fleetId, 7ul);
    EXPECT_EQ(e.appId, 9ul);
    ASSERT_EQ(e.args.size(), 2u);
    EXPECT_EQ(e.args[0].type, 11);
    EXPECT_EQ(e.args[0].text, "line");
    EXPECT_EQ(e.args[1].type, 5);
    EXPECT_EQ(e.args[1].value, 42u);
}

TEST(Events, DefaultSinkLogsIdAndArgumentsAtLevelZero)
{
    CaptureLog log(0);
    Probe probe;
    probe.ev() << "a/b" << -1;
    probe.ev().MinorEvent(0x1234, 0, 0);
    EXPECT_TRUE(log.has(0, "minor event 0x00001234 (fleet 0, app 0): 'a/b', -1")) << log.dump();
}

}  // namespace
