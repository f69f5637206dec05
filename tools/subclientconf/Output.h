// Printing helpers shared by the subcommands: JSON documents and the lines
// that the library's scan-list runs hand to a callback.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_OUTPUT_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_OUTPUT_H

#include "Loader.h"
#include "dirlist/FSCallback.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// Keys keep the order in which they are set, so the documented shape is what is printed.
using Json = nlohmann::ordered_json;

// A write error on standard output so far ends the run with status 2 and
// "write error: CAUSE"; finishOutput flushes it first.
void checkOutput();
void finishOutput();

// The value as JSON text, indented by two from depth on (depth -1: one line).
// Strings are written by jsonString, so names that are not UTF-8 stay distinct.
std::string jsonText(const Json& value, int depth);

// The document, indented by two, and a line end.
void printJson(const Json& document);

// A document printed as it goes, so that memory does not grow with a long
// array: members, then one array whose elements stream, then more members.
// As JSON Lines, the members before the array make the first line, each
// element a line, and the members after it the last line.
class JsonStream {
public:
    explicit JsonStream(bool lines) : lines_(lines) {}
    void member(const std::string& key, const Json& value);
    void beginArray(const std::string& key);
    void element(const Json& value);
    void endArray();
    void end();

private:
    bool lines_;
    Json pending_ = Json::object();  // JSON Lines: the members of the line to come
    const char* separator_ = "{";    // before the next member or element
    bool hasElements_ = false;       // the streaming array has had an element
};

// The fields every document starts with: file, format and (store files) at.
Json documentHead(const LoadedConfiguration& loaded);

// After a content path, marks wildcard content.
extern const char* const kWildcardMarker;

// Collects the lines of a scan-list run.
class LineCollector : public FSCallback {
public:
    int putLine(const char* line) override;
    std::vector<std::string> lines;
};

// "Name (n)", as subclients are named in the tool's text output.
std::string subclientLabel(const LoadedConfiguration& loaded, int number);

// Loads the configuration for the subcommands other than check. A load that
// stopped early or rejected content ends the run with status 4 unless the
// options ask for the partial configuration; other content problems are
// warned about on standard error.
LoadedConfiguration loadAndWarn(const LoadOptions& options, LibraryLog& log);

// "FILE:LINE: " (or "FILE: " without a line), the start of a message about the file.
std::string filePlace(const LoadedConfiguration& loaded, int line);

// An ISO-8601 UTC text of the time.
std::string isoTime(uint32_t seconds);

#endif
