#include "platform/BackupsetStore.h"

#include "platform/KXLog.h"
#include "platform/KXTextFile.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <unordered_map>
#include <unordered_set>

namespace {

const char kSignature[] = "#subclientconf-backupset 1";
const char kSignaturePrefix[] = "#subclientconf-backupset ";
// Editors on some systems start a UTF-8 text with this mark; it is not part of the signature.
const char kByteOrderMark[] = "\xEF\xBB\xBF";

// A problem found in the line being read.
struct StoreProblem {
    std::string text;
};

[[noreturn]] void fail(const std::string& problem)
{
    throw StoreProblem{problem};
}

// The fields of one line: key=value tokens separated by blanks, then at most
// one text field (textKey=...) that runs to the end of the line.
class LineFields {
public:
    LineFields(const std::string& rest, const char* textKey)
    {
        std::string textPrefix = std::string(textKey ? textKey : "") + "=";
        size_t pos = 0;
        while (pos < rest.size()) {
            if (rest[pos] == ' ') {
                ++pos;
                continue;
            }
            if (textKey && rest.compare(pos, textPrefix.size(), textPrefix) == 0) {
                add(textKey, rest.substr(pos + textPrefix.size()));
                return;
            }
            size_t end = std::min(rest.find(' ', pos), rest.size());
            std::string token = rest.substr(pos, end - pos);
            pos = end;
            size_t eq = token.find('=');
            if (eq == std::string::npos || eq == 0)
                fail("field '" + token + "' is not key=value");
            add(token.substr(0, eq), token.substr(eq + 1));
        }
    }

    // Takes a field out; false when absent.
    bool take(const char* key, std::string& value)
    {
        auto found = values_.find(key);
        if (found == values_.end())
            return false;
        value = found->second;
        values_.erase(found);
        return true;
    }

    std::string required(const char* key)
    {
        std::string value;
        if (!take(key, value))
            fail(std::string("missing field '") + key + "'");
        return value;
    }

    uint32_t number(const char* key) { return toNumber(key, required(key)); }

    uint32_t optionalNumber(const char* key)
    {
        std::string value;
        return take(key, value) ? toNumber(key, value) : 0;
    }

    bool flag(const char* key, bool isRequired)
    {
        std::string value;
        if (isRequired)
            value = required(key);
        else if (!take(key, value))
            return false;
        if (value != "0" && value != "1")
            fail("bad flag '" + value + "' for '" + key + "' (expected 0 or 1)");
        return value == "1";
    }

    std::string text(const char* key)
    {
        std::string value = required(key);
        if (value.empty())
            fail(std::string("empty '") + key + "'");
        return value;
    }

    // Every field must have been taken.
    void done() const
    {
        if (!values_.empty())
            fail("unknown field '" + values_.begin()->first + "'");
    }

private:
    void add(const std::string& key, const std::string& value)
    {
        if (!values_.emplace(key, value).second)
            fail("field '" + key + "' given twice");
    }

    static uint32_t toNumber(const char* key, const std::string& text)
    {
        uint32_t value;
        if (!kxParseUnsigned32(text, value))
            fail("bad number '" + text + "' for '" + key + "'");
        return value;
    }

    std::map<std::string, std::string> values_;
};

// Reads the lines after the signature into the store, checking each against the lines before.
class StoreParser {
public:
    explicit StoreParser(BackupsetStore& store) : store_(store) {}

    void line(size_t number, const std::string& text)
    {
        lineNumber_ = number;
        std::string trimmed = kxTrimBlanks(text);
        if (trimmed.empty() || trimmed[0] == '#')
            return;
        // The texts travel on as C strings.
        if (text.find('\0') != std::string::npos)
            fail("NUL byte in line");
        // The reader took one carriage return as part of the line end; a second
        // would be lost when the store is written out and read again.
        if (text.back() == '\r')
            fail("line ends in a carriage return");
        size_t space = std::min(text.find(' '), text.size());
        std::string kind = text.substr(0, space);
        std::string rest = text.substr(std::min(space + 1, text.size()));
        if (kind == "display")
            return display(rest);
        afterContent_ = false;
        if (kind == "backupset")
            return backupset(rest);
        if (!haveBackupset_)
            fail("'" + kind + "' before the backupset line");
        if (kind == "subclient")
            return subclient(rest);
        if (kind == "content")
            return content(rest);
        fail("unknown line kind '" + kind + "'");
    }

    void finish() const
    {
        if (!haveBackupset_)
            fail("no backupset line");
        if (!haveDefault_)
            fail("no default subclient");
    }

private:
    void backupset(const std::string& rest)
    {
        if (haveBackupset_)
            fail("second backupset line");
        LineFields fields(rest, nullptr);
        store_.id = fields.number("id");
        std::string type = fields.required("appType");
        if (!kxParseInt(type, store_.appType))
            fail("bad number '" + type + "' for 'appType'");
        store_.fleetId = fields.number("fleet");
        store_.onDemand = fields.flag("onDemand", true);
        fields.done();
        haveBackupset_ = true;
    }

    void subclient(const std::string& rest)
    {
        LineFields fields(rest, "name");
        BackupsetStoreSubclient sc;
        sc.id = fields.number("id");
        sc.appId = fields.number("appId");
        sc.isDefault = fields.flag("default", false);
        sc.name = fields.text("name");
        fields.done();
        // Subclient ids travel as positive signed 32-bit numbers.
        if (sc.id == 0 || sc.id > static_cast<uint32_t>(INT32_MAX))
            fail("subclient id " + std::to_string(sc.id) + " out of range (1 to 2147483647)");
        if (sc.appId == 0 || sc.appId == store_.id)
            fail("application id " + std::to_string(sc.appId) + " designates the backup set");
        if (sc.isDefault && haveDefault_)
            fail("second default subclient");
        if (!ids_.insert(sc.id).second)
            fail("subclient id " + std::to_string(sc.id) + " given twice");
        if (!appIds_.insert(sc.appId).second)
            fail("application id " + std::to_string(sc.appId) + " given twice");
        checkName(sc.name);
        haveDefault_ = haveDefault_ || sc.isDefault;
        store_.subclients.push_back(sc);
    }

    // Configurations compare subclient names ignoring case, so two names that
    // differ only in case would stop a load midway.
    void checkName(const std::string& name)
    {
        std::string folded = name;
        for (char& c : folded)
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        auto taken = names_.emplace(folded, NameLine{name, lineNumber_});
        if (taken.second)
            return;
        const NameLine& first = taken.first->second;
        if (first.name == name)
            fail("subclient name '" + name + "' given twice");
        fail("subclient name '" + name + "' differs only in case from '" + first.name + "' on line " +
             std::to_string(first.line));
    }

    void content(const std::string& rest)
    {
        LineFields fields(rest, "path");
        BackupsetStoreContent entry;
        entry.subclientId = fields.number("subclient");
        entry.created = fields.number("created");
        entry.modified = fields.optionalNumber("modified");
        entry.path = fields.text("path");
        fields.done();
        if (!ids_.count(entry.subclientId))
            fail("unknown subclient " + std::to_string(entry.subclientId));
        // The configuration text tells its line kinds by the first byte.
        if (entry.path[0] == '\t' || entry.path[0] == '\x12')
            fail("path begins with a tab or 0x12");
        if (entry.modified != 0 && entry.modified < entry.created)
            fail("modified before created");
        store_.content.push_back(entry);
        afterContent_ = true;
    }

    void display(const std::string& rest)
    {
        if (!afterContent_)
            fail("display line not right after a content line");
        if (rest.empty())
            fail("empty display name");
        store_.content.back().displayName = rest;
        afterContent_ = false;
    }

    BackupsetStore& store_;
    bool haveBackupset_ = false;
    bool haveDefault_ = false;
    // What the subclient lines so far have taken.
    std::unordered_set<uint32_t> ids_;
    std::unordered_set<uint32_t> appIds_;
    struct NameLine {
        std::string name;
        size_t line;
    };
    std::unordered_map<std::string, NameLine> names_;  // by the name in lower case
    size_t lineNumber_ = 0;
    bool afterContent_ = false;  // the last line that counts was a content line
};

std::string located(const std::string& name, size_t line, const std::string& problem)
{
    std::string where = "Backup set store '" + name + "'";
    if (line)
        where += ", line " + std::to_string(line);
    return where + ": " + problem;
}

}  // namespace

int BackupsetStore::parse(const std::string& name, const std::vector<std::string>& lines, std::string& error)
{
    try {
        std::string first = lines.empty() ? std::string() : lines[0];
        if (first.compare(0, strlen(kByteOrderMark), kByteOrderMark) == 0)
            first.erase(0, strlen(kByteOrderMark));
        if (first != kSignature) {
            bool otherVersion = first.compare(0, strlen(kSignaturePrefix), kSignaturePrefix) == 0;
            error = located(name, 1,
                            otherVersion ? "unsupported format version '" + first.substr(strlen(kSignaturePrefix)) + "'"
                                         : std::string("not a backup set store (no '") + kSignature + "' line)");
            return -1;
        }
        BackupsetStore read;
        read.fileName = name;
        StoreParser parser(read);
        size_t i = 1;
        try {
            for (; i < lines.size(); ++i)
                parser.line(i + 1, lines[i]);
            i = 0;
            parser.finish();
        } catch (const StoreProblem& problem) {
            error = located(name, i ? i + 1 : 0, problem.text);
            return -1;
        }
        *this = std::move(read);
        return 0;
    } catch (const std::bad_alloc&) {
        error = located(name, 0, "no memory");
        return -1;
    }
}

std::string BackupsetStore::toText() const
{
    std::string out = std::string(kSignature) + "\n";
    out += "backupset id=" + std::to_string(id) + " appType=" + std::to_string(appType) +
           " fleet=" + std::to_string(fleetId) + " onDemand=" + (onDemand ? "1" : "0") + "\n";
    for (const BackupsetStoreSubclient& sc : subclients)
        out += "subclient id=" + std::to_string(sc.id) + " appId=" + std::to_string(sc.appId) +
               " default=" + (sc.isDefault ? "1" : "0") + " name=" + sc.name + "\n";
    for (const BackupsetStoreContent& entry : content) {
        out += "content subclient=" + std::to_string(entry.subclientId) + " created=" + std::to_string(entry.created) +
               " modified=" + std::to_string(entry.modified) + " path=" + entry.path + "\n";
        if (!entry.displayName.empty())
            out += "display " + entry.displayName + "\n";
    }
    return out;
}

void BackupsetStore::configText(uint32_t time, std::string& text, std::vector<unsigned long>& appIds) const
{
    text.clear();
    appIds.clear();
    std::unordered_map<uint32_t, std::vector<const BackupsetStoreContent*>> present;
    for (const BackupsetStoreContent& entry : content)
        if (isPresent(entry, time))
            present[entry.subclientId].push_back(&entry);
    for (const BackupsetStoreSubclient& sc : subclients) {
        text += "\t" + sc.name + "\n";
        appIds.push_back(sc.appId);
        for (const BackupsetStoreContent* entry : present[sc.id]) {
            text += entry->path + "\n";
            if (!entry->displayName.empty())
                text += "\x12" + entry->displayName + "\n";
        }
    }
}

const BackupsetStoreSubclient* BackupsetStore::findSubclient(uint32_t subclientId) const
{
    for (const BackupsetStoreSubclient& sc : subclients)
        if (sc.id == subclientId)
            return &sc;
    return nullptr;
}

const BackupsetStoreSubclient* BackupsetStore::findSubclientByAppId(uint32_t appId) const
{
    for (const BackupsetStoreSubclient& sc : subclients)
        if (sc.appId == appId)
            return &sc;
    return nullptr;
}

const BackupsetStoreSubclient* BackupsetStore::findSubclientByName(const std::string& name) const
{
    for (const BackupsetStoreSubclient& sc : subclients)
        if (sc.name == name)
            return &sc;
    return nullptr;
}

const BackupsetStoreSubclient* BackupsetStore::defaultSubclient() const
{
    for (const BackupsetStoreSubclient& sc : subclients)
        if (sc.isDefault)
            return &sc;
    return nullptr;
}

bool BackupsetStore::isPresent(const BackupsetStoreContent& entry, uint32_t time)
{
    return entry.created <= time && (entry.modified == 0 || entry.modified >= time);
}

namespace {

const char kStoreVariable[] = "SUBCLIENTCONF_BACKUPSET";

std::mutex& storeMutex()
{
    static std::mutex m;
    return m;
}

std::shared_ptr<const BackupsetStore>& currentStore()
{
    static std::shared_ptr<const BackupsetStore> store;
    return store;
}

// Reads and parses a store file; null with the error logged on failure.
std::shared_ptr<const BackupsetStore> readStore(const char* path, std::string& error)
{
    try {
        std::vector<std::string> lines;
        if (!path) {
            error = "No backup set store file given";
        } else if (int code = kxReadTextLines(path, lines)) {
            error = std::string("Cannot read backup set store '") + path + "': " + strerror(code);
        } else {
            auto store = std::make_shared<BackupsetStore>();
            if (store->parse(path, lines, error) == 0)
                return store;
        }
    } catch (const std::bad_alloc&) {
        error = "No memory to read a backup set store";
    }
    KXLOG(-1, "%s", error.c_str());
    return nullptr;
}

}  // namespace

int kxOpenBackupsetStore(const char* path, std::string* error)
{
    std::string problem;
    std::shared_ptr<const BackupsetStore> store = readStore(path, problem);
    if (!store) {
        if (error)
            *error = problem;
        return -1;
    }
    std::lock_guard<std::mutex> hold(storeMutex());
    currentStore() = std::move(store);
    return 0;
}

void kxCloseBackupsetStore()
{
    std::lock_guard<std::mutex> hold(storeMutex());
    currentStore().reset();
}

std::shared_ptr<const BackupsetStore> kxCurrentBackupsetStore()
{
    std::lock_guard<std::mutex> hold(storeMutex());
    if (!currentStore()) {
        const char* path = getenv(kStoreVariable);
        if (path && *path) {
            std::string error;
            currentStore() = readStore(path, error);
        }
    }
    return currentStore();
}
