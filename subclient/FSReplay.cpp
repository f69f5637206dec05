// Replaying the names and content paths set on one configuration into another.
#include "subclient/FSLoadGuard.h"
#include "subclient/FSSubclientConfPrivate.h"

#include <string>

namespace {

const char kWildcardMarker[] = "\\/\\/";

const char* orNull(const char* text)
{
    return text ? text : "(null)";
}

}  // namespace

int FSSubclientConf::replay(FSSubclientConf* target, const char* fromPath, const char* toPath)
{
    return fsLoadGuard(this, __PRETTY_FUNCTION__, [&] {
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
            if (record.kind == FSPlayback::kindName) {
                const int r = target->setName(record.text.c_str());
                if (r < 0) {
                    TLOG(1, "setName '%s' (i=%lld) returns %d", record.text.c_str(), (long long)i, r);
                    return -1;
                }
                continue;
            }
            const bool replaced = d->compare(record.text.c_str(), from.c_str()) == 0;
            // A missing toPath reaches setPath as null, which refuses it.
            const char* base = replaced ? toPath : record.text.c_str();
            std::string path = orNull(base);
            if (base && record.isWildcard)
                path += kWildcardMarker;
            const int r = target->setPath(base ? path.c_str() : nullptr);
            if (r < 0) {
                if (replaced)
                    TLOG(-1, "Path failed: '%s' (original='%s', i=%lld) returns %d", path.c_str(),
                         record.text.c_str(), (long long)i, r);
                else
                    TLOG(-1, "Path failed: '%s' (i=%lld) returns %d", path.c_str(), (long long)i, r);
                return -1;
            }
            TLOG(192, "%s success", path.c_str());
        }
        return 0;
    });
}
