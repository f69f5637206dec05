// Every allocation of a load or a replay may fail: the call reports a failure,
// nothing escapes it, and the object loads again afterwards.
#include "FailingAllocation.h"
#include "LoadTestUtil.h"
#include "TextSummary.h"
#include "platform/BackupsetContent.h"
#include "platform/BackupsetStore.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using Strings = std::vector<std::string>;

const std::string kText = headerLine("default") + "/home\n" + headerLine("A") + "/data\n" + displayLine("Data") +
                          "/logs/*.tmp\\/\\/\n" + headerLine("B") + "/srv\n";
const Strings kNames = {"default", "A", "B"};

using Call = std::function<int(FSSubclientConf&)>;

// Runs a prepared call with the n-th allocation failing, for n = 0, 1, ...
// until the call makes fewer allocations than n; after each, a load without
// failures must work. Only the call itself runs short of memory.
void sweep(const std::function<Call()>& prepare)
{
    for (long n = 0;; ++n) {
        FSSubclientConf conf;
        const Call call = prepare();
        CaptureLog log(-1);
        bool reached = false;
        int result = 0;
        {
            FailingAllocation failing(n);
            result = call(conf);
            reached = failing.reached();
        }
        EXPECT_TRUE(result == 0 || result == -1) << "allocation " << n;
        TextSummary summary(kText, {1, 2, 3});
        ASSERT_EQ(conf.load(&summary), 0) << "allocation " << n << log.dump();
        ASSERT_EQ(subclientNames(conf), kNames) << "allocation " << n;
        if (!reached)
            break;
    }
}

TEST(LoadWithoutMemory, SummaryLoad)
{
    sweep([] {
        auto summary = std::make_shared<TextSummary>(kText, std::vector<unsigned long>{1, 2, 3});
        return Call([summary](FSSubclientConf& conf) { return conf.load(summary.get()); });
    });
}

TEST(LoadWithoutMemory, Replay)
{
    FSSubclientConf source;
    TextSummary summary(kText, {1, 2, 3});
    ASSERT_EQ(source.load(&summary), 0);
    sweep([&] { return Call([&](FSSubclientConf& conf) { return source.replay(&conf, "/data", "/moved"); }); });
}

TEST(LoadWithoutMemory, HistoryLoad)
{
    std::string error;
    const std::string path = std::string(SUBCLIENTCONF_TEST_DATA) + "/loading/history.backupset";
    ASSERT_EQ(kxOpenBackupsetStore(path.c_str(), &error), 0) << error;
    sweep([] {
        auto application = std::make_shared<ApplicationId>(0, 6);
        auto ids = std::make_shared<SubclientIdFromName>();
        return Call([application, ids](FSSubclientConf& conf) {
            return conf.load(application.get(), 300, ids.get(), 200);
        });
    });
    kxCloseBackupsetStore();
}

}  // namespace
