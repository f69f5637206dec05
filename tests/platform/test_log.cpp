#include "support/Capture.h"

#include <gtest/gtest.h>

namespace {

struct Probe : TDebuggable {
    void say(int level, const char* text) { TLOG(level, "%s", text); }
};

TEST(LogLevelRule, WritesErrorsAlwaysAndDiagnosticsUpToTheLevel)
{
    CaptureLog log(1);
    Probe probe;
    probe.say(-1, "error");
    probe.say(0, "zero");
    probe.say(1, "one");
    probe.say(3, "three");
    EXPECT_TRUE(log.has(-1, "error"));
    EXPECT_TRUE(log.has(0, "zero"));
    EXPECT_TRUE(log.has(1, "one"));
    EXPECT_FALSE(log.contains("three"));
    EXPECT_NE(log.records().front().origin.find("Probe::say"), std::string::npos);
}

TEST(LogFormat, LongMessagesAreNeverCut)
{
    CaptureLog log(0);
    std::string big(100000, 'x');
    KXLOG(0, "<%s>", big.c_str());
    ASSERT_EQ(log.records().size(), 1u);
    EXPECT_EQ(log.records()[0].text, "<" + big + ">");
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

}  // namespace
