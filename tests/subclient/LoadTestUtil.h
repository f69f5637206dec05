// Readers of a loaded configuration for the loading tests.
#ifndef SUBCLIENTCONF_TESTS_SUBCLIENT_LOADTESTUTIL_H
#define SUBCLIENTCONF_TESTS_SUBCLIENT_LOADTESTUTIL_H

#include "subclient/FSSubclientConfPrivate.h"
#include "support/Capture.h"
#include "support/FSSubclientConfTestAccess.h"
#include "wildcard/WCSubclients.h"

#include <string>
#include <vector>

inline CFSSubclientConfPrivate& priv(FSSubclientConf& conf)
{
    return FSSubclientConfTestAccess::priv(conf);
}

inline std::string headerLine(const std::string& name)
{
    return "\t" + name + "\n";
}

inline std::string displayLine(const std::string& name)
{
    return "\x12" + name + "\n";
}

inline std::vector<std::string> subclientNames(FSSubclientConf& conf)
{
    std::vector<std::string> names;
    for (int n = 1; n <= conf.getNumSubclients(); ++n)
        names.push_back(conf.numberToName(n));
    return names;
}

inline std::vector<std::string> defaultContent(FSSubclientConf& conf)
{
    return std::vector<std::string>(priv(conf).defaultContent.begin(), priv(conf).defaultContent.end());
}

// Name records as "name", path records as "  path" (with "*" after a wildcard one).
inline std::vector<std::string> replayTexts(FSSubclientConf& conf)
{
    std::vector<std::string> texts;
    for (const FSPlayback& record : priv(conf).replayVec)
        texts.push_back(record.kind == FSPlayback::kindName ? record.text
                                                            : "  " + record.text + (record.isWildcard ? "*" : ""));
    return texts;
}

// The tree node of a normalized '/' path, or null.
inline FSSubclientNode* findNode(FSSubclientConf& conf, const std::string& path)
{
    FSSubclientNode* node = priv(conf).root;
    size_t start = 1;
    while (node && start <= path.size()) {
        const size_t end = path.find('/', start);
        const std::string component = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        FSSubclientNode* child = node->firstChild;
        while (child && child->pattern->getBasename() != component)
            child = child->nextSibling;
        node = child;
        start = end == std::string::npos ? path.size() + 1 : end + 1;
    }
    return node;
}

inline std::string displayNameOf(FSSubclientConf& conf, const std::string& path)
{
    FSSubclientNode* node = findNode(conf, path);
    return node && node->displayName ? *node->displayName : std::string("(none)");
}

#endif
