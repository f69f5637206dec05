#include "platform/SubclientConfSummary.h"

#include "platform/ApplicationId.h"

#include <climits>
#include <new>

namespace {

uint32_t storeTime(long time)
{
    unsigned long value = static_cast<unsigned long>(time);
    return static_cast<uint32_t>(value) == value ? static_cast<uint32_t>(value) : UINT32_MAX;
}

}  // namespace

SubclientConfSummary::SubclientConfSummary(ApplicationId& application, long time) : result_(KX_CONFIG_OK)
{
    std::shared_ptr<const BackupsetStore> store = application.getStore();
    if (!store) {
        result_ = KX_CONFIG_NO_STORE;
        return;
    }
    unsigned long appId;
    if (application.getAppId(appId, nullptr) != 0) {
        result_ = KX_CONFIG_NOT_FOUND;
        return;
    }
    try {
        std::string text;
        store->configText(storeTime(time), text, appIds_);
        stream_.str(text);
    } catch (const std::bad_alloc&) {
        appIds_.clear();
        result_ = KX_CONFIG_NO_MEMORY;
    }
}

SubclientConfSummary::SubclientConfSummary() : result_(KX_CONFIG_OK) {}

SubclientConfSummary::~SubclientConfSummary() = default;

void SubclientConfSummary::SetPatternOptimization(bool on)
{
    patternOptimization_ = on;
}

bool SubclientConfSummary::getPatternOptimization() const
{
    return patternOptimization_;
}

std::istream* SubclientConfSummary::getConfigStream(void*)
{
    return &stream_;
}

int SubclientConfSummary::lookupAppIds(std::vector<unsigned long>& appIds, void*, void*)
{
    if (result_ != KX_CONFIG_OK)
        return result_;
    try {
        appIds = appIds_;
    } catch (const std::bad_alloc&) {
        return KX_CONFIG_NO_MEMORY;
    }
    return KX_CONFIG_OK;
}
