// Directory lists: the scan entries built for one path, grouped per subclient,
// merged without duplicates, walked per subclient and trimmed for browsing.
#ifndef SUBCLIENTCONF_DIRLIST_FSSUBCLIENTDIRLIST_H
#define SUBCLIENTCONF_DIRLIST_FSSUBCLIENTDIRLIST_H

#include "platform/TDebuggable.h"

#include <cstddef>
#include <new>
#include <string>
#include <vector>

class FSSubclientConf;
class FSSubclientNode;
class CFSSubclientConfPrivate;
class TPathCache;

// One scan entry: where a subclient starts scanning, with the nodirs below it
// where other subclients take over. The owning list frees `name`.
class FSSubclientDir {
public:
    FSSubclientDir();
    ~FSSubclientDir();
    FSSubclientDir(const FSSubclientDir&) = delete;
    FSSubclientDir& operator=(const FSSubclientDir&) = delete;
    // Entries and lists reuse the blocks of freed ones (per thread, a few).
    static void* operator new(std::size_t size);
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* block, std::size_t size) noexcept;

    char* name;       // malloc'ed normalized path
    bool isWildcard;  // last component is a pattern
    char* suffix;     // into name: the part below the listed path, or null
    unsigned long toTime;
    unsigned long appId;         // overrides subclient when the list is sorted
    FSSubclientDir* nodirs;      // first entry of another subclient directly below
    FSSubclientDir* nextNodir;   // next entry in the parent's nodir list
    FSSubclientDir* parent;      // entry whose nodir list holds this one
    FSSubclientDir* nextLinear;  // next entry of the whole list, pre-order
    FSSubclientDir* nextInSubclient;
    FSSubclientNode* node;  // not owned
    int subclient;
    std::string displayName;
};

// Frees one entry with its name, and the entries along nextLinear from first on.
void releaseDirEntry(FSSubclientDir* entry);
void releaseLinearEntries(FSSubclientDir* first);

// One browse child, as the item form of the browse walk fills it.
struct TBrowseItem {
    std::string path;
    std::string displayName;
    bool hasNodirsBelow = false;
    bool isWildcard = false;
    int subclient = 0;
};

class FSSubclientDirlist : public TDebuggable {
public:
    // Takes ownership of the entries from root on (linked along nextLinear).
    FSSubclientDirlist(FSSubclientConf* conf, FSSubclientDir* root, int appType);
    virtual ~FSSubclientDirlist();
    static void* operator new(std::size_t size);
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* block, std::size_t size) noexcept;

    void caseSensitive();
    void caseInsensitive();

    // 0 on success, -1 on failure.
    int sort();
    // other is destroyed before merge returns, whatever the result.
    int merge(FSSubclientDirlist* other);
    // 0 with the entry (null past the subclient's last) stored through dir; -1 on failure.
    int getFirst(int scNum, FSSubclientDir** dir);
    int getFirst(const char* scName, FSSubclientDir** dir);
    int getNext(FSSubclientDir** dir);

    bool containsSystemState(int scNum);
    FSSubclientDir* getRoot();
    char getDelim();
    void dumpBySubclient();
    void dumpLists();

    // Browse: the children of the root entry that lead to other subclients'
    // content, each once. The text is valid until the next call.
    char* getFirstBrowseChild(bool* hasNodirsBelow, bool* isWildcard, int* subclient,
                              std::vector<std::string>* excluded);
    char* getNextBrowseChild(bool* hasNodirsBelow, bool* isWildcard, int* subclient,
                             std::vector<std::string>* excluded);
    bool getFirstBrowseItem(TBrowseItem& item, std::vector<std::string>* excluded);
    bool getNextBrowseItem(TBrowseItem& item, std::vector<std::string>* excluded);
    char* trimBrowseChild(bool* hasNodirsBelow, bool* isWildcard, int* subclient, std::vector<std::string>* excluded);
    bool trimBrowseChild_8_0(TBrowseItem& item, std::vector<std::string>* excluded);

protected:
    // Path classification reads the per-subclient chains directly.
    friend class CFSSubclientConfPrivate;

    void freeUnmerged();
    void freeMerged();
    void freeTrash();
    void trashDuplicates(FSSubclientDirlist* other, int index);

    FSSubclientConf* conf;
    FSSubclientDir* root;
    FSSubclientDir* sortedHead;
    FSSubclientDir** firstOf;  // index = subclient number - 1; set once sorted
    FSSubclientDir** lastOf;
    FSSubclientDir* trashHead;
    FSSubclientDir* trashTail;
    int ownsEntries;
    int merged;
    int numSubclients;
    int currentSubclient;
    FSSubclientDir* current;
    int compareCount;
    int appType;
    int rootDepth;
    FSSubclientDir* browseCursor;
    TPathCache* pathCache;
    int browseCount;
    std::string childBuffer;  // grows with the child's path
    char delim;
    int (*compareFn)(const char*, const char*);
    int (*prefixCompareFn)(const char*, const char*, size_t);

private:
    struct BrowseChild;

    // Helpers log on behalf of the public call the list serves (TCallOrigin).
    int mergeEntries(FSSubclientDirlist* other);
    void joinChains();
    void applyAppIds();
    bool subclientsInRange();
    void unlinkFromChain(int index, FSSubclientDir* entry, FSSubclientDir* prev);
    void addToTrash(FSSubclientDir* entry);
    FSSubclientDir* lastBelow(int index) const;
    bool covers(const FSSubclientDir* outer, const FSSubclientDir* inner) const;
    void dumpEntry(const char* kind, const FSSubclientDir* entry);
    bool trimCurrent(BrowseChild& child, std::vector<std::string>* excluded);
    template <class Step>
    bool firstChild(int cacheFailLevel, Step step);
    template <class Step>
    bool nextChild(Step step);
    void remember(const char* path);
};

#endif
