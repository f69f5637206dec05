#include "ScanLines.h"

#include "subclient/FSSubclientConf.h"

#include <cstring>

int FixedLines::putLine(const char* line)
{
    strncat(text_, line, sizeof text_ - strlen(text_) - 2);
    strcat(text_, "|");
    return 0;
}

std::string scanLists(FSSubclientConf& conf)
{
    std::string text = "scan lists";
    for (int n = 1; n <= conf.getNumSubclients(); ++n) {
        FixedLines dirnames, nodirs;
        int d = conf.dirnames(&dirnames, n), o = conf.nodirs(&nodirs, n);
        text += " [" + std::to_string(n) + " dirnames " + std::to_string(d) + " " + dirnames.text() + " nodirs " +
                std::to_string(o) + " " + nodirs.text() + "]";
    }
    return text;
}
