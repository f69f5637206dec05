// Grows a configuration by random steps, for tests that compare two ways of
// answering over many shapes of content tree.
#ifndef SUBCLIENTCONF_TESTS_SUPPORT_RANDOMSTEPS_H
#define SUBCLIENTCONF_TESTS_SUPPORT_RANDOMSTEPS_H

#include "subclient/FSSubclientConf.h"

#include <random>
#include <string>
#include <vector>

// One step: switch the case mode or the overlap switch, name one more
// subclient, or give the last one named a line drawn from content (the
// configuration gets a second subclient before its first line).
inline void randomStep(FSSubclientConf& conf, std::mt19937& random, const std::vector<std::string>& content)
{
    const unsigned choice = random() % 10;
    if (choice == 0)
        random() % 2 ? conf.caseSensitive() : conf.caseInsensitive();
    else if (choice == 1)
        conf.setAllowOverlapSCContent(random() % 2);
    else if (choice < 4 || conf.getNumSubclients() == 1)
        conf.setName(("sc" + std::to_string(conf.getNumSubclients() + 1)).c_str());
    else
        conf.setPath(content[random() % content.size()].c_str());
}

#endif
