// The public shell: construction, destruction, accessors and switches.
#include "subclient/FSSubclientConfPrivate.h"

#include <cstring>
#include <exception>
#include <strings.h>

FSSubclientConf::FSSubclientConf() : FSSubclientConf(1) {}

FSSubclientConf::FSSubclientConf(int appType) : d(std::make_shared<CFSSubclientConfPrivate>(this))
{
    setDebugPrefix("SUBCLIENTCONF");
    d->appType = appType;
    d->escapeChar = d->delim == '\\' ? '/' : '\\';
    d->allowOverlapSCContent = false;
    bool flag = false;
    if (checkCaseSensitivity(appType, &flag) < 0) {
        TLOG(1, "Cannot determine case sensitivity; assuming case insensitive");
        caseInsensitive();
    } else if (flag) {
        caseSensitive();
    } else {
        caseInsensitive();
    }
    // A failed init leaves an object without tree or table; later calls report that.
    try {
        d->init();
    } catch (const std::exception&) {
        TLOG(-1, "%s", kFSOutOfMemory);
    }
    setDelim('/');
}

FSSubclientConf::~FSSubclientConf()
{
    d->freeAll();
    d.reset();
}

void FSSubclientConf::setProblemSink(FSProblemSink* sink)
{
    d->problems.setSink(sink);
}

int FSSubclientConf::setName(const char* name)
{
    if (!name)
        return -1;
    try {
        return d->setName(name);
    } catch (const std::exception&) {
        TLOG(-1, "%s", kFSOutOfMemory);
        d->errCode = FS_NO_MEMORY;
        return -1;
    }
}

int FSSubclientConf::getNumSubclients()
{
    return d->numSubclients;
}

const char* FSSubclientConf::numberToName(int n)
{
    if (n < 1 || n > d->numSubclients)
        return nullptr;
    return d->names[n - 1];
}

int FSSubclientConf::nameToNumber(const char* name)
{
    if (!d->names) {
        TLOG(1, "%s: no names loaded", name ? name : "(null)");
        return -1;
    }
    if (!name)
        return -1;
    for (int i = 0; i < d->numSubclients; ++i) {
        if (d->compare(name, d->names[i]) == 0)
            return i + 1;
    }
    return -1;
}

bool FSSubclientConf::isDefault(int n)
{
    return isDefault(numberToName(n));
}

bool FSSubclientConf::isDefault(const char* name)
{
    return name && d->compare(name, d->defaultName.c_str()) == 0;
}

std::string FSSubclientConf::getDefaultName()
{
    try {
        return d->defaultName;
    } catch (const std::exception&) {
        TLOG(-1, "%s", kFSOutOfMemory);
        return std::string();
    }
}

int FSSubclientConf::getErrCode()
{
    return d->errCode;
}

char FSSubclientConf::getDelim()
{
    return d->delim;
}

void FSSubclientConf::setDelim(char delim)
{
    if (delim != d->delim)
        d->dropPathTestDirlist();
    d->delim = delim;
    d->delimString.assign(1, delim);  // fits the small-string buffer: cannot throw
    d->escapeChar = delim == '\\' ? '/' : '\\';
}

bool FSSubclientConf::isCaseSensitive()
{
    return d->caseSensitive;
}

void FSSubclientConf::caseSensitive()
{
    if (!d->caseSensitive)
        d->dropPathTestDirlist();
    d->compare = strcmp;
    d->caseSensitive = true;
}

void FSSubclientConf::caseInsensitive()
{
    if (d->caseSensitive)
        d->dropPathTestDirlist();
    d->compare = strcasecmp;
    d->caseSensitive = false;
}

bool FSSubclientConf::getLoadedDefaultOnly()
{
    return d->loadedDefaultOnly;
}

void FSSubclientConf::setSCName(const std::string& name)
{
    try {
        d->scName = name;
    } catch (const std::exception&) {
        TLOG(-1, "%s", kFSOutOfMemory);
    }
}

void FSSubclientConf::setOutputDelimiter(const std::string& delimiter)
{
    try {
        d->outputDelimiter = delimiter;
    } catch (const std::exception&) {
        TLOG(-1, "%s", kFSOutOfMemory);
    }
}

void FSSubclientConf::SetUseDelimiterInterchangeably(bool on)
{
    d->useDelimiterInterchangeably = on;
}

void FSSubclientConf::SetPatternOptimization(bool on)
{
    d->patternOptimization = on;
}

void FSSubclientConf::setCalledFromStartRestore(bool on)
{
    d->calledFromStartRestore = on;
}

std::string FSSubclientConf::nodeToPath(FSSubclientNode* node)
{
    try {
        return d->nodeToPath(node);
    } catch (const std::exception&) {
        TLOG(-1, "%s", kFSOutOfMemory);
        return std::string();
    }
}

int FSSubclientConf::nodeToSubclientNumber(FSSubclientNode* node)
{
    return node ? d->nodeToSubclientNumber(node) : -1;
}

std::string FSSubclientConf::nodeToSubclientName(FSSubclientNode* node)
{
    try {
        return node ? d->nodeToSubclientName(node) : "not set";
    } catch (const std::exception&) {
        TLOG(-1, "%s", kFSOutOfMemory);
        return std::string();
    }
}
