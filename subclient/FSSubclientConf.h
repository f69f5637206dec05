// The subclient configuration of one backup set: subclient table, content
// tree and the queries the scan, browse and restore code ask of it.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSSUBCLIENTCONF_H
#define SUBCLIENTCONF_SUBCLIENT_FSSUBCLIENTCONF_H

#include "platform/TDebuggable.h"
#include "subclient/FSChildrenSpeedup.h"
#include "subclient/FSContentProblem.h"
#include "subclient/FSSubclientNode.h"

#include <memory>
#include <string>

class CFSSubclientConfPrivate;
class FSSubclientDirlist;
class FSSubclientDir;
class FSCallback;
class SubclientConfSummary;
class ApplicationId;
class SubclientIdFromName;

// Values of FSSubclientConf::getErrCode(); only failures write them.
enum FSErrorCode {
    FS_NO_ERROR = 1,
    FS_NO_MEMORY = 2,
    FS_ANCESTOR = 3,
    FS_DUPLICATE = 4,
    FS_DUPLICATE_NAME = 5,
    FS_INVALID = 6,
    FS_NOTHING_TO_REPLAY = 7
};

// '/', '\', '.' and ','.
bool isPathDelimiter(char c);
// Rewrites the image-volume markers 0x12 (a delimiter) and 0x13 (end of text) in place; returns 0.
int imageVolumeNameToPath(char* text, char d);
// True when content ends in the wildcard marker; path receives the text before the first marker.
bool isWildCardContent(const std::string& content, std::string& path);

class FSSubclientConf : public TDebuggable {
public:
    FSSubclientConf();
    FSSubclientConf(int appType);
    virtual ~FSSubclientConf();

    // Subclient table.
    int setName(const char* name);
    int getNumSubclients();
    const char* numberToName(int n);
    int nameToNumber(const char* name);
    bool isDefault(int n);
    bool isDefault(const char* name);
    std::string getDefaultName();
    int getErrCode();
    char getDelim();
    void setDelim(char d);
    bool isCaseSensitive();
    void caseSensitive();
    void caseInsensitive();
    bool getLoadedDefaultOnly();
    void setSCName(const std::string& name);
    void setOutputDelimiter(const std::string& delimiter);
    void SetUseDelimiterInterchangeably(bool on);
    void SetPatternOptimization(bool on);
    void setCalledFromStartRestore(bool on);
    int checkCaseSensitivity(int appType, bool* caseSensitive);

    // Content tree.
    std::string nodeToPath(FSSubclientNode* node);
    int nodeToSubclientNumber(FSSubclientNode* node);
    std::string nodeToSubclientName(FSSubclientNode* node);

    // Path normalization: returns the path's delimiter, or 0 when it cannot be normalized.
    char fixPath(const std::string& in, std::string& out, bool fixSlashes);
    // out must have room for strlen(in) + 2 bytes.
    char fixPath(const char* in, char* out, bool fixSlashes);

    // Content insertion for the subclient named last: 0 accepted, -1 rejected, -2 error.
    int setPath(const char* path);
    // Refusals and conflicts of setName, setPath and loads, and paths a search cannot place (createDirlist), as
    // data (FSContentProblem.h); null stops them.
    void setProblemSink(FSProblemSink* sink);

    // Classification and pattern tests: 1 yes, 0 no, -1 error.
    int pathTest(const char* path, int scNum);
    int pathTest(const char* path, const char* scName);
    int dirnameTest(const char* dirname, const char* pattern, char delim, bool isWildcard);
    int completelyContains(const char* dirname, const char* pattern, char delim, bool isWildcard);

    // Scan lists, one line per path handed to cb.
    int treeOutput(FSCallback* cb, int scNum);
    int treeOutput(FSCallback* cb, const char* scName);
    int dirnames(FSCallback* cb, int scNum);
    int dirnames(FSCallback* cb, const char* scName);
    int nodirs(FSCallback* cb, int scNum);
    int nodirs(FSCallback* cb, const char* scName);

    // The caller owns the list; null on failure.
    FSSubclientDirlist* createDirlist(const char* path, bool strictTree);

    // Loading.
    int load(SubclientConfSummary* summary, bool defaultOnly);
    int load(SubclientConfSummary* summary);
    bool isDoNotBackupSubclient(int appType, const char* name);
    int load(ApplicationId* application, unsigned long toTime);
    int load(ApplicationId* application, unsigned long toTime, bool defaultOnly);
    int load(ApplicationId* application, unsigned long toTime, SubclientIdFromName* idFromName, unsigned long fromTime);
    int replay(FSSubclientConf* target, const char* fromPath, const char* toPath);

    // Application ids and switches.
    unsigned long numberToAppId(int number);
    int appIdToNumber(unsigned long appId);
    void setIfindMode(bool on);
    void setAllowOverlapSCContent(bool on);

private:
    // Lets measurements reach the private state (bench/FSSubclientConfTestAccess.h).
    friend class FSSubclientConfTestAccess;

    std::shared_ptr<CFSSubclientConfPrivate> d;
};

#endif
