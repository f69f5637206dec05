// Private state of FSSubclientConf and the operations behind its public ones.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSSUBCLIENTCONFPRIVATE_H
#define SUBCLIENTCONF_SUBCLIENT_FSSUBCLIENTCONFPRIVATE_H

#include "subclient/FSHistoryIndex.h"
#include "subclient/FSKeptListIndex.h"
#include "subclient/FSPatternCache.h"
#include "subclient/FSProblemReport.h"
#include "subclient/FSScanEntries.h"
#include "subclient/FSSearchIndex.h"
#include "subclient/FSSubclientConf.h"

#include <cstdint>
#include <deque>
#include <iosfwd>
#include <list>
#include <map>
#include <string>
#include <string_view>
#include <strings.h>
#include <vector>

// One accepted setName or setPath call, in call order.
struct FSPlayback {
    static constexpr uint8_t kindName = 0;
    static constexpr uint8_t kindPath = 1;

    uint32_t created = 0;   // stamped by the history load
    uint32_t modified = 0;  // 0: never modified
    uint8_t kind = kindName;
    bool isWildcard = false;
    std::string text;  // the subclient name, or the normalized path without the wildcard marker
};

// The place of a replay record, taken at the end of the list before the
// change it records, so that an accepted name or path always gets its record;
// given back unless filled.
class FSReplaySlot {
public:
    explicit FSReplaySlot(std::deque<FSPlayback>& records) : records_(records) { records_.emplace_back(); }
    ~FSReplaySlot()
    {
        if (!filled_)
            records_.pop_back();
    }
    FSReplaySlot(const FSReplaySlot&) = delete;
    FSReplaySlot& operator=(const FSReplaySlot&) = delete;

    const FSPlayback& fill(FSPlayback&& record)
    {
        filled_ = true;
        return records_.back() = std::move(record);
    }

private:
    std::deque<FSPlayback>& records_;
    bool filled_ = false;
};

// Content a subclient had during the loaded history window and no longer has.
struct FSHistory {
    bool isWildcard = false;
    std::string path;  // normalized, without the wildcard marker
};

// One subclient header line of a configuration text, in line order.
struct SCCharacteristics {
    bool ignored = false;
    bool isDefault = false;
};

// Logged when an allocation failure reaches a public entry point.
inline constexpr char kFSOutOfMemory[] = "out of memory";

// isWildCardContent for any text: path is the content without its wildcard
// marker, made at its own size.
bool splitWildcardContent(std::string_view content, std::string& path);
// Formats the postfix that tells a duplicated content line apart.
void setPostfixToAvoidDuplication(std::string& postfix, unsigned long scNum);
// The first literal child of parent named name in the case mode, along the
// sibling chain; null when there is none.
FSSubclientNode* firstChildNamed(FSSubclientNode* parent, const std::string& name, bool caseSensitive);

class CFSSubclientConfPrivate {
public:
    // Ends a content text whose last component is a wildcard pattern.
    static constexpr char kWildcardMarker[] = "\\/\\/";

    explicit CFSSubclientConfPrivate(FSSubclientConf* owner);
    ~CFSSubclientConfPrivate();
    CFSSubclientConfPrivate(const CFSSubclientConfPrivate&) = delete;
    CFSSubclientConfPrivate& operator=(const CFSSubclientConfPrivate&) = delete;

    // Table, tree and their release.
    int init();
    int initTree();
    void freeAll();
    void freeTree();
    void freeTree(FSSubclientNode* node);
    // The tree changed: the tables derived from it no longer describe it.
    void dropTreeTables();
    void freeNames();
    void clearDefaultContent();
    int setName(const char* name);
    int setDisplayName(const char* name);

    // Node queries.
    // The subclient of the wildcard that covers node, -1 when none does.
    static int coveringSubclient(const FSSubclientNode* node)
    {
        return node->coveringNode ? node->coveringNode->subclient : -1;
    }
    std::string nodeToPath(FSSubclientNode* node);
    int nodeToSubclientNumber(FSSubclientNode* node);
    std::string nodeToSubclientName(FSSubclientNode* node);
    FSSubclientNode* descendantInSameSubclient(FSSubclientNode* node, int scNum);

    // Normalization.
    static bool treatSlashAsSlash(int appType);
    bool interchangesSlashes(char delim, bool fixSlashes) const;
    // The delimiter of a text that fixPath would leave as it is, 0 for any other.
    char normalizedDelimiter(const char* text, std::size_t len, bool fixSlashes) const;

    // Insertion and overlap validation.
    int recursiveParse(FSSubclientNode* node, const char* line, int scNum, bool isWild);
    int checkTreeNode(FSSubclientNode* node, int scNum);
    FSSubclientNode* createComponent(FSSubclientNode* parent, FSSubclientNode** linkSlot, const std::string& comp,
                                     const char* line, int scNum, bool wildcard, FSSubclientNode* coveredBy,
                                     bool nameIsNew);
    int findChild(FSSubclientNode* parent, const std::string& comp, FSSubclientNode** found);
    // nameIsNew: the caller knows no earlier child has comp's name.
    int addChild(FSSubclientNode* parent, const std::string& comp, FSSubclientNode* node, bool nameIsNew);
    void indexChildren(FSSubclientNode* parent);
    void removeRejected(FSSubclientNode* parent, FSSubclientNode** linkSlot, FSSubclientNode* node,
                        FSSubclientNode* previous, const std::string& comp);
    int wcCheckTreeNode(FSSubclientNode* node);
    void reportOverlap(FSSubclientNode* node, FSSubclientNode* sibling, int level, bool raiseEvent);
    void cover(FSSubclientNode* literal, FSSubclientNode* pattern);

    // Pattern tests and content-tree search.
    int dirnameTest(const char* dirname, const char* pattern, char delim, bool isWildcard);
    int pathTestHistory(const char* path, char delim, int scNum);
    // What completelyContains adds to a containment the caller knows holds:
    // with a history window, 1 only when dirname stood through it.
    int heldThroughWindow(const FSSubclientDir* nodir, const char* pattern);
    bool historyWindowLoaded() const { return !historyList.empty() && historyToTime != 0; }
    int historyRecordTest(std::size_t i, const char* path, char delim, int scNum);
    // pathTest's kept list: may it serve a path of this delimiter, and discard
    // it (every change that shapes what createDirlist returns calls this).
    bool pathTestDirlistReusable(char delim);
    void dropPathTestDirlist();
    int recursiveSearch(FSSubclientNode* node, const char* path);
    // The same search through the tree itself, without the search index.
    int treeSearch(FSSubclientNode* node, const char* path);
    // Owner rule: the node that owns node's path, and the subclient of the
    // path the last search looked up given that owner.
    FSSubclientNode* ownerNode(FSSubclientNode* node);
    int searchSubclient(FSSubclientNode* owner);

    // Scan lists and wildcard expansion on disk.
    // A run's lines from the subclient's entries instead of the whole tree.
    // The run holds the table: a callback that changes the configuration drops it.
    int outputFromEntries(const FSScanEntries::Table& table);
    int wcDirnames(std::vector<FSSubclientNode*>& nodes, FSCallback* cb);
    int wcNodirs(std::vector<FSSubclientNode*>& nodes, FSCallback* cb);

    // Directory-list construction.
    int dirlistNodirs(FSSubclientNode* first, const char* path, bool walkCovered, bool strictTree);
    int recursiveDirlist(FSSubclientDir* first, const char* path, bool strictTree);
    FSSubclientDir* linearizeDirlist(FSSubclientDir* first, FSSubclientDir* parent);
    char* suffix(char* name, const char* path);

    // Loading: the lines of a configuration text, the application ids of its
    // header lines, and the tolerance of a content line that setPath refused.
    // Their messages carry the signature of the load that called them.
    int loadConfigLines(std::istream& text, bool defaultOnly, bool onDemand, std::vector<SCCharacteristics>& records);
    void collectAppIds(const std::vector<unsigned long>& myAppIds, const std::vector<SCCharacteristics>& records,
                       bool defaultOnly);
    int contentFailed(const std::string& line, const std::string& currentName, bool onDemand);

    // Fields by the file that owns them. Several are the state of one call
    // that its callers read afterwards (the search result, the last node).

    // FSSubclientTable.cpp: the subclient table and the tree.
    // The configuration this state belongs to: messages go out on its behalf
    // (TLOG_ON), so its debug prefix and useStdout apply.
    FSSubclientConf* owner;
    int (*compare)(const char*, const char*) = strcasecmp;
    // Covering node of every node no wildcard sibling covers (subclient -1).
    FSSubclientNode sentinel;
    std::string defaultName = "default";
    FSSubclientNode* root = nullptr;
    int numSubclients = 0;
    char** names = nullptr;  // malloc'ed array of strdup'ed names
    int namesCapacity = 0;
    bool needsInit = true;
    int errCode = FS_NO_ERROR;

    // FSSubclientConf.cpp, FSScanSwitches.cpp, FSCaseSensitivity.cpp: the caller's switches.
    int appType = 1;
    bool caseSensitive = false;
    bool ifindMode = false;
    bool calledFromStartRestore = false;
    bool allowOverlapSCContent = false;
    bool patternOptimization = false;
    std::string scName;
    std::string outputDelimiter;

    // FSPathFix.cpp: normalization.
    char delim = '/';
    char escapeChar = '\\';  // always the other slash
    std::string delimString = "/";
    bool useDelimiterInterchangeably = false;

    // FSContentInsert.cpp, FSReplay.cpp: insertion and its replay records.
    bool pathSet = false;
    FSSubclientNode* lastNode = nullptr;  // where the last insertion ended
    std::string dupPostfix;
    std::string postfixedPath;  // room for a path record with a duplicate postfix
    // A deque: growing it never moves the records nor asks for one large block.
    std::deque<FSPlayback> replayVec;
    FSProblemReport problems;  // refusals and conflicts as data, for the caller's sink

    // FSContentSearch.cpp: the search and its result.
    FSSearchIndex searchIndex;  // dropped on every change of the tree's shape
    FSSubclientNode* searchNode = nullptr;
    FSSubclientNode* searchWildcardNode = nullptr;

    // dirlist/FSTreeOutput.cpp: the scan-list run.
    FSScanEntries scanEntries;  // dropped on every change of the tree
    FSCallback* outputSink = nullptr;
    bool outputDirs = false;
    bool outputDescend = false;
    int dirlistSubclient = 0;  // the run's subclient, or the list's owner

    // dirlist/FSDirlistBuild.cpp: createDirlist.
    unsigned long dirlistToTime = 0;
    unsigned long dirlistAppId = 0;
    FSSubclientDir** nodirTail = nullptr;  // link field where the next nodir entry is hooked in
    // The path before and after normalizing: kept, so that a call allocates
    // for them only when a path is longer than every earlier one.
    std::string dirlistInput;
    std::string dirlistPath;

    // FSPathClassifier.cpp: pathTest's kept list.
    FSSubclientDirlist* pathTestDirlist = nullptr;
    char pathTestDelim = 0;
    FSPatternCache pathTestPatterns;                               // parsed forms of the kept list's texts
    FSKeptListIndex pathTestIndex;                                 // built on the first call that uses the kept list
    std::vector<const FSKeptListIndex::Item*> pathTestCandidates;  // per-call scratch
    std::string pathTestInput;                                     // a call's path before and after normalizing
    std::string pathTestPath;

    // FSHistoryLoad.cpp, FSPatternContainment.cpp: the history window.
    std::vector<FSHistory> historyList;
    std::vector<int> historyStart;
    FSHistoryIndex historyIndex;              // over historyList and replayVec
    std::vector<uint32_t> historyCandidates;  // per-call scratch
    unsigned long historyToTime = 0;
    unsigned long historyFromTime = 0;

    // FSSummaryLoad.cpp, FSLoadEntry.cpp, FSAppIds.cpp: what a load brings.
    unsigned long fleetId = 0;
    unsigned long appId = 0;
    std::vector<unsigned long> appIds;
    std::map<unsigned long, int> appIdMap;
    bool loadedDefaultOnly = false;
    std::list<char*> defaultContent;  // malloc'ed texts
};

#endif
