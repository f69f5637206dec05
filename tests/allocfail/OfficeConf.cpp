#include "OfficeConf.h"

#include "platform/ApplicationId.h"
#include "platform/BackupsetStore.h"

#include <sstream>
#include <stdexcept>

namespace {

constexpr int kOfficeAppType = 29;  // case sensitive

struct OfficeSummary {
    std::string text;
    std::vector<unsigned long> ids;
};

const OfficeSummary& officeSummary()
{
    static const OfficeSummary summary = [] {
        OfficeStore store;
        ApplicationId backupSet(0, kOfficeBackupSet);
        SubclientConfSummary fromStore(backupSet, kOfficeNow);
        OfficeSummary read;
        if (fromStore.lookupAppIds(read.ids, nullptr, nullptr) != 0)
            throw std::runtime_error("office store: no application ids");
        std::ostringstream text;
        text << fromStore.getConfigStream(nullptr)->rdbuf();
        read.text = text.str();
        return read;
    }();
    return summary;
}

}  // namespace

std::string officeStorePath()
{
    return std::string(SUBCLIENTCONF_TEST_DATA) + "/allocfail/office.backupset";
}

OfficeStore::OfficeStore()
{
    std::string error;
    if (kxOpenBackupsetStore(officeStorePath().c_str(), &error) != 0)
        throw std::runtime_error(error);
}

OfficeStore::~OfficeStore()
{
    kxCloseBackupsetStore();
}

const std::string& officeText()
{
    return officeSummary().text;
}

const std::vector<unsigned long>& officeAppIds()
{
    return officeSummary().ids;
}

std::unique_ptr<FSSubclientConf> officeConf(bool caseSensitive)
{
    auto conf = caseSensitive ? std::make_unique<FSSubclientConf>(kOfficeAppType) : std::make_unique<FSSubclientConf>();
    TextSummary summary(officeText(), officeAppIds());
    EXPECT_EQ(conf->load(&summary), 0);
    return conf;
}

std::string table(FSSubclientConf& conf)
{
    std::string text = "table";
    for (int n = 1; n <= conf.getNumSubclients(); ++n)
        text += std::string(" ") + conf.numberToName(n) + "=" + std::to_string(conf.numberToAppId(n));
    return text;
}

std::string caseMode(const ::testing::TestParamInfo<bool>& info)
{
    return info.param ? "CaseSensitive" : "CaseInsensitive";
}
