// Replaying the names and content paths set on one configuration into another.
#include "subclient/FSLoadGuard.h"
#include "subclient/FSSubclientConfPrivate.h"

#include <string>

namespace {

const char* orNull(const char* text)
{
    return text ? text : "(null)";
}

// Applies one record of source to target; replacement is the path that takes
// the place of a path record, or null when the record keeps its own. 0 or -1;
// messages carry the replay's signature.
int replayRecord(FSSubclientConf& source, FSSubclientConf& target, const FSPlayback& record, size_t i,
                 const char* const* replacement)
{
    if (record.kind == FSPlayback::kindName) {
        const int r = target.setName(record.text.c_str());
        if (r < 0)
            TLOG_CALL(&source, 1, "setName '%s' (i=%lld) returns %d", record.text.c_str(), (long long)i, r);
        return r < 0 ? -1 : 0;
    }
    // A missing replacement path reaches setPath as null, which refuses it.
    const char* base = replacement ? *replacement : record.text.c_str();
    std::string path = orNull(base);
    if (base && record.isWildcard)
        path += CFSSubclientConfPrivate::kWildcardMarker;
    const int r = target.setPath(base ? path.c_str() : nullptr);
    if (r >= 0) {
        TLOG_CALL(&source, 192, "%s success", path.c_str());
        return 0;
    }
    if (replacement)
        TLOG_CALL(&source, -1, "Path failed: '%s' (original='%s', i=%lld) returns %d", path.c_str(),
                  record.text.c_str(), (long long)i, r);
    else
        TLOG_CALL(&source, -1, "Path failed: '%s' (i=%lld) returns %d", path.c_str(), (long long)i, r);
    return -1;
}

}  // namespace

int FSSubclientConf::replay(FSSubclientConf* target, const char* fromPath, const char* toPath)
{
    TCALL_ORIGIN();
    try {
        if (!target) {
            TLOG(-1, "NULL target");
            return -1;
        }
        target->d->errCode = FS_NO_ERROR;
        if (!d->pathSet) {
            TLOG(1, "Nothing to replay");
            target->d->errCode = FS_NOTHING_TO_REPLAY;
            return -1;
        }
        std::string from;
        if (!fromPath || fixPath(fromPath, from, true) == 0) {
            TLOG(1, "Bad from path '%s'", orNull(fromPath));
            target->d->errCode = FS_INVALID;
            return -1;
        }
        target->setDelim(d->delim);
        target->d->appType = d->appType;
        if (d->caseSensitive)
            target->caseSensitive();
        else
            target->caseInsensitive();
        // Only the records present now: replaying onto this object itself appends to them.
        const size_t n = d->replayVec.size();
        for (size_t i = 0; i < n; ++i) {
            const FSPlayback record = d->replayVec[i];
            const bool replaced =
                record.kind == FSPlayback::kindPath && d->compare(record.text.c_str(), from.c_str()) == 0;
            if (replayRecord(*this, *target, record, i, replaced ? &toPath : nullptr) < 0)
                return -1;
        }
        return 0;
    } catch (...) {
        return FS_LOAD_FAILURE();
    }
}
