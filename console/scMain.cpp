#include "console/scMain.h"

#include "dirlist/FSCallback.h"
#include "dirlist/FSSubclientDirList.h"
#include "platform/KXLog.h"
#include "subclient/FSSubclientConf.h"
#include "wildcard/WCSubclients.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Every record of the console names scMain as its origin, whichever helper writes it.
const char* const kOrigin = "int scMain(const char*)";
#define SC_LOG(level, ...) (kxLogApplies(level) ? kxLog((level), kOrigin, __LINE__, __VA_ARGS__) : void())

const int kFileLineSize = 1024;       // a definition line with its terminating zero
const size_t kDirectoryLimit = 1024;  // characters of a directory answer
const size_t kPatternLimit = 2047;    // characters of a pattern or content answer

// Anything of this name in the current directory switches the directory lists to strict tree mode.
const char* const kStrictTreeMarker = "c:\\tree";

// One line of standard input without its line end (LF or CR LF): a path that
// kept its newline would never match anything. A line longer than limit is
// cut there and the rest of it dropped, so that it never becomes the next
// answer. False at the end of input.
bool readAnswer(size_t limit, std::string& answer)
{
    answer.clear();
    int c = EOF;
    bool readAny = false;
    bool crBeforeEnd = false;
    while ((c = getchar()) != EOF) {
        readAny = true;
        if (c == '\n')
            break;
        crBeforeEnd = c == '\r';
        if (answer.size() < limit)
            answer += static_cast<char>(c);
    }
    if (c == '\n' && crBeforeEnd && !answer.empty() && answer.back() == '\r')
        answer.pop_back();
    return readAny;
}

// Shows the prompt and reads the answer; false at the end of input, which
// ends a phase as its quit answer would, so the console always ends.
// A definition line of nothing but its line end. Content insertion would
// take it for a bare name and make it the content /**/ plus that line end.
bool isBlank(const char* line)
{
    return line[strspn(line, "\r\n")] == '\0';
}

bool ask(const char* prompt, size_t limit, std::string& answer)
{
    fputs(prompt, stdout);
    fflush(stdout);
    return readAnswer(limit, answer);
}

class Console {
public:
    int run(const char* path);

private:
    bool openFile(const char* path);
    bool readDefinitions();
    bool addDefinition(char* line);
    bool listSubclients();
    bool listSubclient(int number);
    void directoryPhase();
    void addDirectory(const std::string& directory);
    void containmentPhase();
    void compare(const std::string& first, const std::string& second);
    void contentPhase();
    void testContent(const std::string& answer, const std::string& expression);

    FSSubclientConf conf_;
    FSFileInput input_;
    FSFileOutput output_;
    std::unique_ptr<FSSubclientDirlist> dir1_;
    int numSubclients_ = 0;
    bool strictTree_ = false;
};

int Console::run(const char* path)
{
    std::string ignored;
    ask("Press CR to begin...", kDirectoryLimit, ignored);
    conf_.useStdout(1);
    if (!openFile(path))
        return 1;
    output_.useStdout();
    if (!readDefinitions() || !listSubclients())
        return 1;
    if (access(kStrictTreeMarker, F_OK) == 0) {
        puts("switching to strict tree mode - c:\\tree exists");
        strictTree_ = true;
    }
    directoryPhase();
    containmentPhase();
    contentPhase();
    if (dir1_) {
        puts("*** Deleting dir1");
        dir1_.reset();
    }
    return 0;
}

bool Console::openFile(const char* path)
{
    if (!path) {
        SC_LOG(-1, "Cannot open %s, errno %d", "(null)", EINVAL);
        return false;
    }
    std::vector<char> name(path, path + strlen(path) + 1);
    if (input_.open(name.data()) < 0) {
        SC_LOG(-1, "Cannot open %s, errno %d", path, errno);
        return false;
    }
    return true;
}

bool Console::readDefinitions()
{
    char line[kFileLineSize];
    int rc;
    while ((rc = input_.getLine(line, sizeof line)) > 0) {
        if (!addDefinition(line))
            return false;
    }
    if (rc < 0) {
        SC_LOG(-1, "Simulated Quorvel input failed");
        return false;
    }
    return true;
}

bool Console::addDefinition(char* line)
{
    if (line[0] == '\t') {
        const char* name = line + 1;
        if (conf_.setName(name) < 0) {
            SC_LOG(-1, "setName %s failed", name);
            return false;
        }
        printf("+++ %d: Name '%s'\n", conf_.getNumSubclients(), name);
        return true;
    }
    printf("+++ Path: '%s'\n", line);
    if (isBlank(line) || conf_.setPath(line) < 0) {
        SC_LOG(-1, "%s failed", line);
        return false;
    }
    SC_LOG(192, "%s success", line);
    return true;
}

bool Console::listSubclients()
{
    numSubclients_ = conf_.getNumSubclients();
    printf("\n\n*** There are %d subclients.\n", numSubclients_);
    for (int i = 1; i <= numSubclients_; ++i) {
        if (!listSubclient(i))
            return false;
    }
    return true;
}

bool Console::listSubclient(int number)
{
    const char* name = conf_.numberToName(number);
    if (!name) {
        SC_LOG(-1, "numberToName error for %d", number);
        return false;
    }
    int back = conf_.nameToNumber(name);
    if (back != number) {
        SC_LOG(-1, "name conversion error (%d != %d)", number, back);
        return false;
    }
    printf("*** %d: DIRNAMES for '%s'\n", number, name);
    if (conf_.dirnames(&output_, name) < 0) {
        SC_LOG(-1, "dirnames %d failed", number);
        return false;
    }
    printf("*** %d: NODIRS for '%s'\n", number, name);
    if (conf_.nodirs(&output_, name) < 0) {
        SC_LOG(-1, "nodirs %d failed", number);
        return false;
    }
    return true;
}

void Console::directoryPhase()
{
    std::string answer;
    while (ask("\n*** Enter a directory (q to quit): ", kDirectoryLimit, answer) && answer != "q" && answer != "Q")
        addDirectory(answer);
}

// The first directory becomes dir1; each later one is built as dir2 and merged into dir1.
void Console::addDirectory(const std::string& directory)
{
    const char* which = dir1_ ? "dir2" : "dir1";
    printf("\n*** Creating %s for '%s'\n", which, directory.c_str());
    FSSubclientDirlist* list = conf_.createDirlist(directory.c_str(), strictTree_);
    if (!list) {
        printf("*** Error creating %s\n", which);
        return;
    }
    list->useStdout(1);
    if (!dir1_) {
        dir1_.reset(list);
    } else {
        puts("\n*** Dir2 dump");
        list->dumpBySubclient();
        puts("\n*** Merging dir2 into dir1");
        if (dir1_->merge(list) < 0) {  // merge destroys list, whatever its result
            puts("*** Error merging");
            return;
        }
    }
    puts("\n*** Dir1 dump");
    dir1_->dumpBySubclient();
}

void Console::containmentPhase()
{
    std::string first;
    std::string second;
    while (ask("Enter first pattern, q to quit): ", kPatternLimit, first) && first != "q" &&
           ask("Enter second pattern: ", kPatternLimit, second))
        compare(first, second);
}

void Console::compare(const std::string& first, const std::string& second)
{
    const unsigned long backslash = 92;
    WCBasename a(backslash, true);
    WCBasename b(backslash, true);
    if (a.parse(first)) {
        printf("Cannot parse '%s'\n", first.c_str());
        return;
    }
    if (b.parse(second)) {
        printf("Cannot parse '%s'\n", second.c_str());
        return;
    }
    struct Side {
        WCBasename& outer;
        const std::string& outerText;
        WCBasename& inner;
        const std::string& innerText;
    };
    for (const Side& side : {Side{a, first, b, second}, Side{b, second, a, first}}) {
        for (bool caseSensitive : {true, false}) {
            bool contains = side.outer.contains(side.inner, caseSensitive, 0, 0);
            printf("'%s' %s '%s' (case %s)\n", side.outerText.c_str(), contains ? "contains" : "does not contain",
                   side.innerText.c_str(), caseSensitive ? "sensitive" : "insensitive");
        }
    }
}

void Console::contentPhase()
{
    std::string answer;
    std::string expression;
    while (ask("Enter content path (\\/\\/ suffix indicates wild card content, q to quit): ", kPatternLimit, answer) &&
           answer != "q" && ask("Enter wild card source path expression: ", kPatternLimit, expression))
        testContent(answer, expression);
}

void Console::testContent(const std::string& answer, const std::string& expression)
{
    std::string content;
    bool wildcard = isWildCardContent(answer, content);
    const char* path = content.c_str();
    const char* pattern = expression.c_str();
    int r = conf_.completelyContains(path, pattern, path[0], wildcard);
    if (r < 0)
        puts("ERROR OCCURRED");
    printf("'%s' %s '%s'\n", path, r > 0 ? "completely contains" : "does not completely contain", pattern);
    r = conf_.dirnameTest(path, pattern, path[0], wildcard);
    if (r < 0)
        puts("ERROR OCCURRED");
    printf("'%s' %s '%s'\n", path, r > 0 ? "could contain" : "could not contain", pattern);
    for (int s = 1; s <= numSubclients_; ++s)
        printf("pathTest '%s' in sc %d returns %d\n", pattern, s, conf_.pathTest(pattern, s));
}

}  // namespace

int scMain(const char* path)
{
    try {
        Console console;
        return console.run(path);
    } catch (const std::exception& e) {
        SC_LOG(-1, "Test console stopped: %s", e.what());
    } catch (...) {
        SC_LOG(-1, "Test console stopped by an unknown exception");
    }
    return 1;
}
