#include "dirlist/FSSubclientDirList.h"

#include "platform/TPathCache.h"
#include "subclient/FSSubclientConfPrivate.h"

#include <new>

namespace {

// A browse operation that runs out of memory midway yields nothing.
template <class Result, class Body>
Result orNothing(FSSubclientDirlist* list, Result nothing, Body body)
{
    try {
        return body();
    } catch (const std::exception&) {
        TLOG_CALL(list, -1, "%s", kFSOutOfMemory);
        return nothing;
    }
}

}  // namespace

struct FSSubclientDirlist::BrowseChild {
    bool hasNodirsBelow = false;
    bool isWildcard = false;
    int subclient = 0;
};

// The child of the root entry that leads to the nodir at browseCursor, cut
// one level below the root; the text goes to childBuffer.
bool FSSubclientDirlist::trimCurrent(BrowseChild& child, std::vector<std::string>* excluded)
{
    FSSubclientDir* nodir = browseCursor;
    if (!nodir)
        return false;
    childBuffer.assign(nodir->name ? nodir->name : "");
    bool trimmed = false;
    int count = 0;
    for (size_t i = 0; i < childBuffer.size(); ++i) {
        if (childBuffer[i] == delim && ++count > rootDepth) {
            childBuffer.resize(i);
            trimmed = true;
            break;
        }
    }
    child.hasNodirsBelow = nodir->nodirs != nullptr || trimmed;
    child.isWildcard = nodir->isWildcard && !trimmed;
    if (!trimmed) {
        child.subclient = nodir->subclient;
    } else if (nodir->parent) {
        child.subclient = nodir->parent->subclient;
    } else {
        log(1, callOrigin(), __LINE__, "'%s' has NULL parent, assume default subclient", nodir->name);
        child.subclient = 1;
    }
    if (!excluded)
        return true;
    excluded->clear();
    if (trimmed || !nodir->node)
        return true;
    for (FSSubclientNode* covered = nodir->node->firstCovered; covered; covered = covered->nextCovered) {
        std::string path = conf->nodeToPath(covered);
        if (path.empty()) {
            log(1, callOrigin(), __LINE__, "Cannot convert node to path");
            return false;
        }
        excluded->push_back(path);
    }
    return true;
}

char* FSSubclientDirlist::trimBrowseChild(bool* hasNodirsBelow, bool* isWildcard, int* subclient,
                                          std::vector<std::string>* excluded)
{
    TCALL_ORIGIN();
    return orNothing<char*>(this, nullptr, [&]() -> char* {
        BrowseChild child;
        if (!trimCurrent(child, excluded))
            return nullptr;
        if (hasNodirsBelow)
            *hasNodirsBelow = child.hasNodirsBelow;
        if (isWildcard)
            *isWildcard = child.isWildcard;
        if (subclient)
            *subclient = child.subclient;
        return &childBuffer[0];
    });
}

bool FSSubclientDirlist::trimBrowseChild_8_0(TBrowseItem& item, std::vector<std::string>* excluded)
{
    TCALL_ORIGIN();
    return orNothing(this, false, [&] {
        BrowseChild child;
        if (!trimCurrent(child, excluded))
            return false;
        item.path = childBuffer;
        item.displayName = browseCursor->displayName;
        item.hasNodirsBelow = child.hasNodirsBelow;
        item.isWildcard = child.isWildcard;
        item.subclient = child.subclient;
        return true;
    });
}

void FSSubclientDirlist::remember(const char* path)
{
    unsigned long long value = static_cast<unsigned long long>(browseCount);
    int rc = pathCache->insert(path, &value);
    if (rc < 1)
        log(1, callOrigin(), __LINE__, "pathCache insert %s returns %d", path, rc);
}

template <class Step>
bool FSSubclientDirlist::firstChild(int cacheFailLevel, Step step)
{
    browseCursor = nullptr;
    if (!root)
        return false;
    delete pathCache;
    pathCache = new (std::nothrow) TPathCache;
    if (!pathCache) {
        log(cacheFailLevel, callOrigin(), __LINE__, "new TPathCache failed");
        return false;
    }
    browseCount = 1;
    pathCache->setDelimiter(delim);
    if (conf->isCaseSensitive())
        pathCache->caseSensitive();
    else
        pathCache->caseInsensitive();
    const char* name = root->name ? root->name : "";
    rootDepth = 1;
    if (!(name[0] == delim && name[1] == '\0'))
        for (const char* c = name; *c; ++c)
            rootDepth += *c == delim;
    browseCursor = root->nodirs;
    if (!step())
        return false;
    remember(childBuffer.c_str());
    return true;
}

template <class Step>
bool FSSubclientDirlist::nextChild(Step step)
{
    // Without the cache of a successful first-call there is no walk to continue.
    if (!pathCache)
        return false;
    for (;;) {
        if (!browseCursor)
            return false;
        browseCursor = browseCursor->nextNodir;
        if (!step())
            return false;
        if (pathCache->search(childBuffer.c_str(), nullptr, 1) > 0)
            continue;
        ++browseCount;
        remember(childBuffer.c_str());
        return true;
    }
}

char* FSSubclientDirlist::getFirstBrowseChild(bool* hasNodirsBelow, bool* isWildcard, int* subclient,
                                              std::vector<std::string>* excluded)
{
    TCALL_ORIGIN();
    return orNothing<char*>(this, nullptr, [&]() -> char* {
        bool found = firstChild(1, [&] { return trimBrowseChild(hasNodirsBelow, isWildcard, subclient, excluded); });
        return found ? &childBuffer[0] : nullptr;
    });
}

char* FSSubclientDirlist::getNextBrowseChild(bool* hasNodirsBelow, bool* isWildcard, int* subclient,
                                             std::vector<std::string>* excluded)
{
    TCALL_ORIGIN();
    return orNothing<char*>(this, nullptr, [&]() -> char* {
        bool found = nextChild([&] { return trimBrowseChild(hasNodirsBelow, isWildcard, subclient, excluded); });
        return found ? &childBuffer[0] : nullptr;
    });
}

bool FSSubclientDirlist::getFirstBrowseItem(TBrowseItem& item, std::vector<std::string>* excluded)
{
    TCALL_ORIGIN();
    return orNothing(this, false, [&] { return firstChild(-1, [&] { return trimBrowseChild_8_0(item, excluded); }); });
}

bool FSSubclientDirlist::getNextBrowseItem(TBrowseItem& item, std::vector<std::string>* excluded)
{
    TCALL_ORIGIN();
    return orNothing(this, false, [&] { return nextChild([&] { return trimBrowseChild_8_0(item, excluded); }); });
}
