// Browse children of hand-built lists: trimming, flags, repeats, both forms.
#include "DirlistKit.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

namespace {

struct NodirSpec {
    std::string name;
    int subclient;
    bool isWildcard = false;
    bool hasOwnNodir = false;
    bool noParent = false;
};

// A root entry with the given nodirs (each optionally with one nodir of its own).
FSSubclientDir* browseTree(const char* rootName, int rootSubclient, const std::vector<NodirSpec>& specs)
{
    FSSubclientDir* root = makeEntry({rootName, rootSubclient});
    std::vector<FSSubclientDir*> all = {root};
    FSSubclientDir** tail = &root->nodirs;
    for (const NodirSpec& spec : specs) {
        FSSubclientDir* nodir = makeEntry({spec.name.c_str(), spec.subclient});
        nodir->isWildcard = spec.isWildcard;
        nodir->displayName = "shown " + spec.name;
        nodir->parent = spec.noParent ? nullptr : root;
        *tail = nodir;
        tail = &nodir->nextNodir;
        all.push_back(nodir);
        if (spec.hasOwnNodir) {
            nodir->nodirs = makeEntry({(spec.name + "/deeper").c_str(), rootSubclient});
            nodir->nodirs->parent = nodir;
            all.push_back(nodir->nodirs);
        }
    }
    return linkLinear(all);
}

struct Child {
    std::string path;
    bool hasNodirsBelow;
    bool isWildcard;
    int subclient;
    bool operator==(const Child& o) const
    {
        return path == o.path && hasNodirsBelow == o.hasNodirsBelow && isWildcard == o.isWildcard &&
               subclient == o.subclient;
    }
};

std::ostream& operator<<(std::ostream& out, const Child& c)
{
    return out << c.path << " below=" << c.hasNodirsBelow << " wc=" << c.isWildcard << " sc=" << c.subclient;
}

std::vector<Child> textWalk(FSSubclientDirlist& list)
{
    std::vector<Child> children;
    Child c{};
    for (char* path = list.getFirstBrowseChild(&c.hasNodirsBelow, &c.isWildcard, &c.subclient, nullptr); path;
         path = list.getNextBrowseChild(&c.hasNodirsBelow, &c.isWildcard, &c.subclient, nullptr)) {
        c.path = path;
        children.push_back(c);
    }
    return children;
}

std::vector<Child> itemWalk(FSSubclientDirlist& list)
{
    std::vector<Child> children;
    TBrowseItem item;
    for (bool more = list.getFirstBrowseItem(item, nullptr); more; more = list.getNextBrowseItem(item, nullptr))
        children.push_back({item.path, item.hasNodirsBelow, item.isWildcard, item.subclient});
    return children;
}

}  // namespace

class BrowseTest : public ::testing::Test {
protected:
    void SetUp() override { addNames(conf, 3); }
    FSSubclientConf conf;
    CaptureLog log{255};
};

TEST_F(BrowseTest, ChildrenAreTrimmedToTheBrowsedLevelOnce)
{
    const struct {
        const char* title;
        const char* root;
        std::vector<NodirSpec> nodirs;
        std::vector<Child> expected;
    } cases[] = {
        {"two nodirs under one directory",
         "/home",
         {{"/home/a/b/c", 2}, {"/home/a/x", 3}},
         {{"/home/a", true, false, 1}}},
        {"the root alone", "/", {{"/x/y", 2}}, {{"/x", true, false, 1}}},
        {"direct children keep their own flags",
         "/home",
         {{"/home/w*", 2, true}, {"/home/b", 3, false, true}, {"/home/c", 4}},
         {{"/home/w*", false, true, 2}, {"/home/b", true, false, 3}, {"/home/c", false, false, 4}}},
        {"a direct child after a trimmed one",
         "/home",
         {{"/home/a/b", 2}, {"/home/a", 3}, {"/home/z/q*", 2, true}},
         {{"/home/a", true, false, 1}, {"/home/z", true, false, 1}}},
        {"no nodirs", "/home", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        FSSubclientDirlist list(&conf, browseTree(c.root, 1, c.nodirs), 1);
        EXPECT_EQ(textWalk(list), c.expected);
        EXPECT_EQ(itemWalk(list), c.expected);  // a first-call restarts the walk
    }
}

TEST_F(BrowseTest, ItemCarriesDisplayNameAndOutArgumentsMayBeNull)
{
    FSSubclientDirlist list(&conf, browseTree("/home", 1, {{"/home/b", 2}}), 1);
    TBrowseItem item;
    ASSERT_TRUE(list.getFirstBrowseItem(item, nullptr));
    EXPECT_EQ(item.displayName, "shown /home/b");
    EXPECT_STREQ(list.getFirstBrowseChild(nullptr, nullptr, nullptr, nullptr), "/home/b");
    EXPECT_EQ(list.getNextBrowseChild(nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(list.getNextBrowseChild(nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(BrowseTest, ListWithoutRootYieldsNothing)
{
    FSSubclientDirlist list(&conf, nullptr, 1);
    TBrowseItem item;
    EXPECT_EQ(list.getFirstBrowseChild(nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_FALSE(list.getFirstBrowseItem(item, nullptr));
    EXPECT_FALSE(list.getNextBrowseItem(item, nullptr));
}

TEST_F(BrowseTest, TrimmedChildWithoutParentBelongsToDefault)
{
    FSSubclientDirlist list(&conf, browseTree("/home", 2, {{"/home/a/b", 3, false, false, true}}), 1);
    int subclient = 0;
    ASSERT_STREQ(list.getFirstBrowseChild(nullptr, nullptr, &subclient, nullptr), "/home/a");
    EXPECT_EQ(subclient, 1);
    EXPECT_TRUE(log.has(1, "'/home/a/b' has NULL parent, assume default subclient"));
}

TEST_F(BrowseTest, LongChildNamesAreNeitherCutNorOverflowed)
{
    std::string longName = "/home/" + std::string(5000, 'n');
    std::string deepName = longName + "/" + std::string(3000, 'm');
    FSSubclientDirlist list(&conf, browseTree("/home", 1, {{deepName, 2}, {"/home/b", 2}}), 1);
    char* first = list.getFirstBrowseChild(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::string(first), longName);
    EXPECT_STREQ(list.getNextBrowseChild(nullptr, nullptr, nullptr, nullptr), "/home/b");

    FSSubclientDirlist whole(&conf, browseTree("/home", 1, {{longName, 2}}), 1);
    TBrowseItem item;
    ASSERT_TRUE(whole.getFirstBrowseItem(item, nullptr));
    EXPECT_EQ(item.path, longName);
}

TEST_F(BrowseTest, RepeatsFollowTheCaseModeOfTheConfiguration)
{
    for (bool sensitive : {false, true}) {
        if (sensitive)
            conf.caseSensitive();
        else
            conf.caseInsensitive();
        FSSubclientDirlist list(&conf, browseTree("/home", 1, {{"/home/a/x", 2}, {"/home/A/y", 3}}), 1);
        EXPECT_EQ(textWalk(list).size(), sensitive ? 2u : 1u);
    }
}
