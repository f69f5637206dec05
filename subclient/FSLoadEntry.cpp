// Loading the configuration of the backup set, or of one subclient, that an application id designates.
#include "platform/ApplicationId.h"
#include "platform/SubclientConfSummary.h"
#include "subclient/FSLoadGuard.h"
#include "subclient/FSSubclientConfPrivate.h"

#include <memory>
#include <new>

namespace {

// The ids of a designated subclient; without one both stay 0.
void takeAppIds(CFSSubclientConfPrivate& d, ApplicationId& application)
{
    unsigned long n = 0;
    if (application.getAppId(n, nullptr) == 0)
        d.appId = n;
    auto* fleet = application.getFleet(nullptr);
    if (fleet && fleet->getFleetId(n, nullptr) == 0)
        d.fleetId = n;
}

// defaultName := the name of the backup set's default subclient.
int takeDefaultSubclientName(CFSSubclientConfPrivate& d, ApplicationId& application, unsigned long subclientId)
{
    std::unique_ptr<Subclient> subclient(new (std::nothrow) Subclient(subclientId));
    if (!subclient || application.getDefaultSubClient(*subclient) != 0)
        return -1;
    return subclient->getName(d.defaultName, nullptr) == 0 ? 0 : -1;
}

}  // namespace

int FSSubclientConf::load(ApplicationId* application, unsigned long toTime)
{
    return load(application, toTime, false);
}

int FSSubclientConf::load(ApplicationId* application, unsigned long toTime, bool defaultOnly)
{
    TCALL_ORIGIN();
    try {
        if (!application) {
            TLOG(-1, "NULL application");
            return -1;
        }
        SubclientConfSummary summary(*application, (long)toTime);
        summary.SetPatternOptimization(d->patternOptimization);
        const auto info = application->getAppIdInfo();
        d->fleetId = 0;
        d->appId = 0;
        if (info.subclientId > 0) {
            takeAppIds(*d, *application);
            d->appType = info.appType;
            if (defaultOnly) {
                Subclient* designated = application->getSubclient(nullptr);
                if (!designated || designated->getName(d->defaultName, nullptr) != 0)
                    return -1;
                return load(&summary, true);
            }
        }
        d->appType = info.appType;
        if (takeDefaultSubclientName(*d, *application, (unsigned long)info.subclientId) < 0)
            return -1;
        return load(&summary, false);
    } catch (...) {
        return FS_LOAD_FAILURE();
    }
}
