// The backup set that the configuration scenarios work on: a file server with
// six subclients, wildcard content, other subclients' content nested inside
// (nodirs), display names and a content history
// (tests/data/allocfail/office.backupset).
#ifndef SUBCLIENTCONF_TESTS_OFFICECONF_H
#define SUBCLIENTCONF_TESTS_OFFICECONF_H

#include "platform/SubclientConfSummary.h"
#include "subclient/FSSubclientConf.h"
#include "subclient/TextSummary.h"  // tests/subclient/

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// The point in time of the configuration, and the start of its history window.
constexpr unsigned long kOfficeNow = 1702000000;
constexpr unsigned long kOfficeFrom = 1690000000;
// Application ids of the backup set and of its subclient Database.
constexpr unsigned long kOfficeBackupSet = 40;
constexpr unsigned long kOfficeDatabase = 4002;

std::string officeStorePath();

// Makes the office store the current one for a scope.
class OfficeStore {
public:
    OfficeStore();
    ~OfficeStore();
    OfficeStore(const OfficeStore&) = delete;
    OfficeStore& operator=(const OfficeStore&) = delete;
};

// The office configuration text at kOfficeNow (header, content and display
// lines) and its application ids, read once from the store.
const std::string& officeText();
const std::vector<unsigned long>& officeAppIds();

// A configuration loaded from officeText(): case sensitive with the store's
// application type, case insensitive with the default one.
std::unique_ptr<FSSubclientConf> officeConf(bool caseSensitive);

// The subclient table with application ids, as one step.
std::string table(FSSubclientConf& conf);

// Names the two instances of a test run in both case modes (parameter: case sensitive).
std::string caseMode(const ::testing::TestParamInfo<bool>& info);

#endif
