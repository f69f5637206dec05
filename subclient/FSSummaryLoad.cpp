// Loading a backup set's configuration from the text of a configuration summary.
#include "platform/ApplicationId.h"
#include "platform/SubclientConfSummary.h"
#include "subclient/FSLoadGuard.h"
#include "subclient/FSSubclientConfPrivate.h"
#include "wildcard/WCSubclients.h"

#include <cerrno>
#include <cstring>
#include <istream>
#include <string>
#include <vector>

namespace {

const unsigned long kDuplicateContentEvent = 0x0E00005A;
const char kOnDemandPrefix[] = "/__OnDemandSubClient_";
const char kCannotReadConfig[] = "error: cannot read config";

// One pass over a configuration text: which subclient the lines belong to
// and which tree node a display-name line names.
class ConfigTextReader {
public:
    ConfigTextReader(CFSSubclientConfPrivate& conf, bool defaultOnly, bool onDemand,
                     std::vector<SCCharacteristics>& records)
        : d(conf), owner(conf.owner), defaultOnly(defaultOnly), onDemand(onDemand), records(records)
    {}

    // 0 to go on, -1 when the load fails.
    int line(const std::string& text)
    {
        if (text.empty()) {
            TLOG_CALL(owner, 3, "Ignore empty string");
            return 0;
        }
        switch (text[0]) {
        case '\t':
            named = nullptr;
            return header(text);
        case '\x12':
            displayName(text);
            return 0;
        default:
            named = nullptr;
            return content(text);
        }
    }

private:
    void debugLine(const char* kind, const std::string& text)
    {
        TLOG_CALL(owner, 3, "SC_DEBUG %s '%s'", kind, text.c_str());
    }

    int header(const std::string& text)
    {
        current = text.substr(1);
        isDefault = current == d.defaultName;
        if (isDefault) {
            records.push_back(SCCharacteristics{false, true});
            TLOG_CALL(owner, 3, "%d: default '%s'", (int)records.size(), current.c_str());
            return 0;
        }
        if (defaultOnly)
            return 0;
        ignored = owner->isDoNotBackupSubclient(d.appType, current.c_str());
        debugLine(ignored ? "ignore_subclient" : "subclient", current);
        if (!ignored && d.setName(current.c_str()) < 0) {
            TLOG_CALL(owner, -1, "setName %s failed", current.c_str());
            return -1;
        }
        records.push_back(SCCharacteristics{ignored, false});
        TLOG_CALL(owner, 3, "%d: NONdefault '%s'%s", (int)records.size(), current.c_str(), ignored ? " ignored" : "");
        if (!onDemand || ignored)
            return 0;
        debugLine("content", text);
        return insert(kOnDemandPrefix + current, text, true);
    }

    // The display name belongs to the content line just before it; when that
    // line put no node into the tree there is nothing to name.
    void displayName(const std::string& text)
    {
        debugLine(ignored ? "ignore_content" : "content", text);
        if (isDefault || ignored)
            return;
        const std::string name = text.substr(1);
        const std::string basename = named ? named->pattern->getBasename() : std::string("NULL");
        if (!named || d.setDisplayName(name.c_str()) != 0)
            TLOG_CALL(owner, 1, "setDisplayName() failed for node(%s), displayName(%s)", basename.c_str(),
                      name.c_str());
        else
            TLOG_CALL(owner, 1, "setDisplayName() successful for basename: '%s', displayName: '%s'", basename.c_str(),
                      name.c_str());
    }

    int content(const std::string& text)
    {
        if (isDefault)
            return keepDefaultContent(text);
        if (defaultOnly)
            return 0;
        debugLine(ignored ? "ignore_content" : "content", text);
        if (ignored)
            return 0;
        return insert(text, text, false);
    }

    int keepDefaultContent(const std::string& text)
    {
        TLOG_CALL(owner, 3, "SC_DEBUG default content '%s'", text.c_str());
        // The slot first: a copy is never left without an owner.
        d.defaultContent.push_back(nullptr);
        char* copy = strdup(text.c_str());
        if (!copy) {
            d.defaultContent.pop_back();
            TLOG_CALL(owner, -1, "strdup failed, errno %d", errno);
            d.errCode = FS_NO_MEMORY;
            return -1;
        }
        d.defaultContent.back() = copy;
        return 0;
    }

    // setPath with the load's tolerances; `reported` names the line in messages.
    int insert(const std::string& path, const std::string& reported, bool onDemandPath)
    {
        FSSubclientNode* before = d.lastNode;
        FSProblemHold held(d.problems, reported.c_str(), 0);  // the line stands when the load lets it
        if (owner->setPath(path.c_str()) != 0) {
            const int failed = d.contentFailed(reported, current, onDemandPath);
            held.passedOver = failed == 0;
            return failed;
        }
        // Only a content line reports its success; the on-demand marker path does not.
        if (!onDemandPath)
            TLOG_CALL(owner, 192, "%s success", reported.c_str());
        // An insertion that did not move lastNode ended on a node it cannot name.
        named = d.lastNode != before ? d.lastNode : nullptr;
        return 0;
    }

    CFSSubclientConfPrivate& d;
    FSSubclientConf* owner;
    const bool defaultOnly;
    const bool onDemand;
    std::vector<SCCharacteristics>& records;
    std::string current;
    bool isDefault = false;
    bool ignored = false;
    FSSubclientNode* named = nullptr;
};

// The object's state before a load is thrown away once the summary has answered.
int resetForLoad(CFSSubclientConfPrivate& d)
{
    d.freeAll();
    d.replayVec.clear();
    d.historyIndex.drop();
    d.pathSet = false;
    return d.init();
}

bool onDemandBackupset(CFSSubclientConfPrivate& d)
{
    bool flag = false;
    ApplicationId application(d.fleetId, d.appId);
    auto* backupSet = application.getBackupSet(nullptr);
    if (!backupSet)
        TLOG_CALL(d.owner, -1, "Failed to get the BackupSet");
    else if (backupSet->isOnDemandBackupset(flag, 0) != 0)
        TLOG_CALL(d.owner, -1, "Failed to get isOnDemandBackupset");
    return flag;
}

void applyCaseSensitivity(FSSubclientConf& conf, int appType)
{
    bool cs = false;
    if (conf.checkCaseSensitivity(appType, &cs) < 0) {
        TLOG_CALL(&conf, 1, "Cannot determine case sensitivity - assuming case insensitive");
        conf.caseInsensitive();
    } else if (cs) {
        conf.caseSensitive();
    } else {
        conf.caseInsensitive();
    }
}

void logAppIds(FSSubclientConf* owner, int level, const std::vector<unsigned long>& ids)
{
    for (size_t i = 0; i < ids.size(); ++i)
        TLOG_CALL(owner, level, "myAppIds[%d] is %lu", (int)i, ids[i]);
}

}  // namespace

int FSSubclientConf::load(SubclientConfSummary* summary)
{
    return load(summary, false);
}

int FSSubclientConf::load(SubclientConfSummary* summary, bool defaultOnly)
{
    TCALL_ORIGIN();  // every message of the load names the load
    try {
        KX_TRACE();
        if (!summary) {
            TLOG(-1, "NULL summary");
            return -1;
        }
        d->appIds.clear();
        std::vector<unsigned long> myAppIds;
        const int r = summary->lookupAppIds(myAppIds, 0, 0);
        if (r != 0) {
            TLOG(-1, "lookup failed, code %d", r);
            return -1;
        }
        std::istream* text = summary->getConfigStream(0);
        if (!text) {
            TLOG(-1, "%s", kCannotReadConfig);
            return -1;
        }
        if (resetForLoad(*d) < 0)
            return -1;
        logAppIds(this, 3, myAppIds);
        applyCaseSensitivity(*this, d->appType);
        d->clearDefaultContent();
        std::vector<SCCharacteristics> records;
        if (d->loadConfigLines(*text, defaultOnly, onDemandBackupset(*d), records) < 0)
            return -1;
        d->pathSet = true;
        d->loadedDefaultOnly = defaultOnly;
        d->collectAppIds(myAppIds, records, defaultOnly);
        return 0;
    } catch (...) {
        return FS_LOAD_FAILURE();
    }
}

bool FSSubclientConf::isDoNotBackupSubclient(int appType, const char* name)
{
    if (!name)
        return false;
    const char* reserved = nullptr;
    switch (appType) {
    case 8:
    case 14:
    case 35:
    case 44:
    case 54:
    case 55:
    case 106:
        reserved = "Do Not Backup";
        break;
    case 45:
    case 56:
    case 57:
    case 82:
        reserved = "Do Not Migrate";
        break;
    case 67:
    case 68:
        reserved = "Do Not Archive";
        break;
    default:
        return false;
    }
    return strcmp(name, reserved) == 0;
}

int CFSSubclientConfPrivate::loadConfigLines(std::istream& text, bool defaultOnly, bool onDemand,
                                             std::vector<SCCharacteristics>& records)
{
    ConfigTextReader reader(*this, defaultOnly, onDemand, records);
    std::string line;
    while (std::getline(text, line)) {
        // A last line without its line feed means the text was cut short.
        if (!text.good()) {
            TLOG_CALL(owner, -1, "%s", kCannotReadConfig);
            return -1;
        }
        if (reader.line(line) < 0)
            return -1;
    }
    // A read error is not the end of the text.
    if (text.bad()) {
        TLOG_CALL(owner, -1, "%s", kCannotReadConfig);
        return -1;
    }
    return 0;
}

void CFSSubclientConfPrivate::collectAppIds(const std::vector<unsigned long>& myAppIds,
                                            const std::vector<SCCharacteristics>& records, bool defaultOnly)
{
    int defaults = 0;
    size_t defaultIndex = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].isDefault) {
            ++defaults;
            defaultIndex = i;
        }
    }
    if (myAppIds.size() == records.size() && defaults == 1) {
        appIds.push_back(myAppIds[defaultIndex]);
        for (size_t i = 0; i < records.size(); ++i)
            if (!records[i].isDefault && !records[i].ignored)
                appIds.push_back(myAppIds[i]);
        return;
    }
    const bool countsDiffer = myAppIds.size() != records.size();
    const int level = countsDiffer && defaultOnly ? 3 : 1;
    if (!countsDiffer)
        TLOG_CALL(owner, 1, "There are %d default subclient(s), will log detailed information", defaults);
    else
        owner->log(level, owner->callOrigin(), __LINE__,
                   "There are %d app ids but %d subclient characteristics, will log detailed information",
                   (int)myAppIds.size(), (int)records.size());
    logAppIds(owner, level, myAppIds);
    for (size_t i = 0; i < records.size(); ++i)
        TLOG_CALL(owner, level, "sc %d %sdefault %signored", (int)i, records[i].isDefault ? "" : "NON-",
                  records[i].ignored ? "" : "NOT ");
}

int CFSSubclientConfPrivate::contentFailed(const std::string& line, const std::string& currentName, bool onDemand)
{
    const int code = owner->getErrCode();
    if (code == FS_DUPLICATE) {
        TLOG_CALL(owner, -1, "%s failed - ignoring duplicate error", line.c_str());
        owner->ev() << line;
        owner->appEvent(fleetId, appId);
        owner->ev().MajorEvent(kDuplicateContentEvent, 0, 0);
        return 0;
    }
    if (code == FS_ANCESTOR && !onDemand) {
        if (allowOverlapSCContent) {
            TLOG_CALL(owner, 1, "%s failed - ignoring ancestor error", line.c_str());
            return 0;
        }
        if (!scName.empty() && scName != currentName) {
            owner->log(0, owner->callOrigin(), __LINE__,
                       "%s failed. since SC %s and backup SC %s are different, ignoring ancestor error", line.c_str(),
                       currentName.c_str(), scName.c_str());
            return 0;
        }
    }
    TLOG_CALL(owner, -1, "%s failed", line.c_str());
    return -1;
}
