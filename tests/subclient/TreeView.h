// Renders a configuration's content tree for assertions.
#ifndef SUBCLIENTCONF_TESTS_SUBCLIENT_TREEVIEW_H
#define SUBCLIENTCONF_TESTS_SUBCLIENT_TREEVIEW_H

#include "subclient/FSSubclientConfPrivate.h"
#include "support/FSSubclientConfTestAccess.h"

#include <string>
#include <vector>

// One line per node below the root, in pre-order: "path subclient", then
// " ~coveringPath" for a literal that a wildcard sibling covers.
inline std::vector<std::string> treeView(FSSubclientConf& conf)
{
    CFSSubclientConfPrivate& p = FSSubclientConfTestAccess::priv(conf);
    std::vector<std::string> lines;
    for (FSSubclientNode* n = nextPreorder(p.root, p.root); n; n = nextPreorder(n, p.root)) {
        std::string line = conf.nodeToPath(n) + " " + std::to_string(n->subclient);
        if (n->coveringNode != &p.sentinel)
            line += " ~" + conf.nodeToPath(n->coveringNode);
        lines.push_back(line);
    }
    return lines;
}

inline FSSubclientNode* findNode(FSSubclientConf& conf, const std::string& path)
{
    CFSSubclientConfPrivate& p = FSSubclientConfTestAccess::priv(conf);
    for (FSSubclientNode* n = nextPreorder(p.root, p.root); n; n = nextPreorder(n, p.root)) {
        if (conf.nodeToPath(n) == path)
            return n;
    }
    return nullptr;
}

#endif
