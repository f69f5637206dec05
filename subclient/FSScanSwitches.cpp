// Switches the caller sets for scan-list output and content insertion.
#include "subclient/FSSubclientConfPrivate.h"

namespace {

const char* enabled(bool on)
{
    return on ? "enabled" : "disabled";
}

}  // namespace

void FSSubclientConf::setIfindMode(bool on)
{
    d->ifindMode = on;
    TLOG(1, "ifind mode is %s", enabled(d->ifindMode));
}

void FSSubclientConf::setAllowOverlapSCContent(bool on)
{
    d->allowOverlapSCContent = on;
    d->dropPathTestDirlist();
    TLOG(0, "Allow overlapped content is %s.", enabled(d->allowOverlapSCContent));
}
