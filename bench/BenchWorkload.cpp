#include "BenchWorkload.h"

#include "subclient/FSSubclientConf.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string_view>
#include <unordered_set>

namespace benchwork {
namespace {

std::uint64_t mix(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// Our own generator and reductions, so that a seed gives the same workload
// with every standard library.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state(seed) {}
    std::uint64_t next() { return mix(state += 0x9e3779b97f4a7c15ULL); }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
    int between(int lo, int hi) { return lo + static_cast<int>(below(static_cast<std::size_t>(hi - lo + 1))); }

private:
    std::uint64_t state;
};

const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
// No generated name contains '.', '-' or '~', so no literal name matches one of these.
const char* const kPatterns[] = {"*.log", "*.tmp", "*.bak", "cache-*", "~*"};

std::string randomName(Rng& r, int minLength, int maxLength)
{
    std::string name(static_cast<std::size_t>(r.between(minLength, maxLength)), 'a');
    for (char& c : name)
        c = kAlphabet[r.below(sizeof kAlphabet - 1)];
    return name;
}

int depth(const std::string& path)
{
    return static_cast<int>(std::count(path.begin(), path.end(), '/'));
}

bool isBelow(const std::string& path, const std::string& dir)
{
    return path.size() > dir.size() && path[dir.size()] == '/' && path.compare(0, dir.size(), dir) == 0;
}

// A directory tree that is never stored: a directory's children follow from
// its path and the seed. The root is the empty path.
class Tree {
public:
    explicit Tree(std::uint64_t seed) : seed(seed) {}

    std::string randomChild(const std::string& dir, Rng& r) const
    {
        const std::uint64_t h = hash(dir);
        Rng names(h ^ mix(r.below(10 + h % 41) + 1));  // 10 to 50 children
        return dir + "/" + randomName(names, 4, 16);
    }

    std::string walk(std::string dir, int levels, Rng& r) const
    {
        while (levels-- > 0)
            dir = randomChild(dir, r);
        return dir;
    }

    // One directory in ten may have a wildcard child, always the same one.
    const char* pattern(const std::string& dir) const
    {
        const std::uint64_t h = mix(hash(dir));
        return h % 10 == 0 ? kPatterns[(h / 10) % (sizeof kPatterns / sizeof *kPatterns)] : nullptr;
    }

private:
    std::uint64_t hash(const std::string& text) const
    {
        std::uint64_t h = 0xcbf29ce484222325ULL ^ seed;
        for (unsigned char c : text)
            h = (h ^ c) * 0x100000001b3ULL;
        return mix(h);
    }

    std::uint64_t seed;
};

class Generator {
public:
    Generator(std::uint64_t seed) : tree(seed), rng(mix(seed)) {}

    void content(int count, Workload& w)
    {
        while (static_cast<int>(w.lines.size()) < count) {
            const std::size_t draw = rng.below(100);
            if (draw < 5)
                addWildcardLine(w);
            else if (draw < 10 && !literal.empty())
                addNestedLine(w);
            else
                add(w, {otherSubclient(0), walk("", rng.between(3, 10)), false, false});
        }
    }

    void queries(int count, Workload& w)
    {
        w.queries.reserve(static_cast<std::size_t>(count));
        w.kinds.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            QueryKind kind = static_cast<QueryKind>(rng.below(QueryKinds));
            if ((kind == UnderNodir && nested.empty()) || (kind == InsideWildcard && wildcard.empty()))
                kind = InsideContent;
            w.queries.push_back(query(kind, w));
            w.kinds.push_back(kind);
        }
    }

private:
    std::string walk(std::string dir, int levels) { return tree.walk(std::move(dir), levels, rng); }

    int otherSubclient(int than)
    {
        int s;
        do
            s = 2 + static_cast<int>(rng.below(kSubclients));
        while (s == than);
        return s;
    }

    // Lines are valid content: no path twice, no line above or below another
    // line of its own subclient. Lines above or below another subclient's
    // line are drawn on purpose only, by addNestedLine.
    void add(Workload& w, ContentLine line)
    {
        bool related = false;
        auto found = owner.find(line.path);
        if (found != owner.end())
            return;
        for (std::size_t at = line.path.find('/', 1); at != std::string::npos; at = line.path.find('/', at + 1)) {
            found = owner.find(line.path.substr(0, at));
            if (found != owner.end()) {
                if (found->second == line.subclient)
                    return;
                related = true;
            }
        }
        for (found = owner.lower_bound(line.path + "/"); found != owner.end() && isBelow(found->first, line.path);
             ++found) {
            if (found->second == line.subclient)
                return;
            related = true;
        }
        if (related != line.nested)
            return;
        owner.emplace(line.path, line.subclient);
        (line.wildcard ? wildcard : literal).push_back(w.lines.size());
        if (line.nested)
            nested.push_back(w.lines.size());
        w.lines.push_back(std::move(line));
    }

    // The pattern goes to a directory that may have one: a child, among a
    // few drawn, of a random directory.
    void addWildcardLine(Workload& w)
    {
        const std::string grandparent = walk("", rng.between(1, 8));
        for (int tries = 0; tries < 50; ++tries) {
            const std::string parent = walk(grandparent, 1);
            if (const char* pattern = tree.pattern(parent)) {
                add(w, {otherSubclient(0), parent + "/" + pattern, true, false});
                return;
            }
        }
    }

    void addNestedLine(Workload& w)
    {
        const ContentLine& above = w.lines[literal[rng.below(literal.size())]];
        if (depth(above.path) <= 8)
            add(w, {otherSubclient(above.subclient), walk(above.path, rng.between(1, 2)), false, true});
    }

    std::string pick(const Workload& w, const std::vector<std::size_t>& from)
    {
        return w.lines[from[rng.below(from.size())]].path;
    }

    std::string query(QueryKind kind, const Workload& w)
    {
        switch (kind) {
        case InsideContent:
            return walk(pick(w, literal), rng.between(0, 3));
        case UnderNodir:
            return walk(pick(w, nested), rng.between(0, 2));
        case InsideWildcard: {
            std::string path = pick(w, wildcard);
            const std::size_t star = path.rfind('*');
            path.replace(star, 1, randomName(rng, 4, 10));
            return walk(path, rng.between(0, 2));
        }
        default:
            return outside();
        }
    }

    // Beside all content: neither at, below nor above a content line.
    std::string outside()
    {
        for (;;) {
            std::string path = walk("", rng.between(3, 10));
            auto below = owner.lower_bound(path);
            if (below != owner.end() && (below->first == path || isBelow(below->first, path)))
                continue;
            bool inside = false;
            for (std::size_t at = path.find('/', 1); at != std::string::npos && !inside; at = path.find('/', at + 1))
                inside = owner.count(path.substr(0, at)) != 0;
            if (!inside)
                return path;
        }
    }

    Tree tree;
    Rng rng;
    std::map<std::string, int> owner;                    // content path -> subclient
    std::vector<std::size_t> literal, nested, wildcard;  // indexes into the lines as drawn
};

}  // namespace

Workload generate(int lines, int queries, std::uint64_t seed)
{
    Workload w;
    Generator g(seed);
    g.content(lines, w);
    g.queries(queries, w);
    std::unordered_set<std::string_view> components;
    for (const ContentLine& line : w.lines) {
        const std::string_view path(line.path);
        for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
            components.insert(path.substr(0, end));
            if (end == std::string_view::npos)
                break;
        }
    }
    w.nodes = components.size() + 1;
    std::stable_sort(w.lines.begin(), w.lines.end(),
                     [](const ContentLine& a, const ContentLine& b) { return a.subclient < b.subclient; });
    return w;
}

const Workload& workload(int lines)
{
    static std::map<int, std::unique_ptr<Workload>> cache;
    std::unique_ptr<Workload>& w = cache[lines];
    if (!w)
        w = std::make_unique<Workload>(generate(lines, kQueries, kSeed));
    return *w;
}

std::string subclientName(int number)
{
    return "sc" + std::to_string(number);
}

std::string contentText(const ContentLine& line)
{
    return line.wildcard ? line.path + "\\/\\/" : line.path;
}

LoadTexts loadTexts(const Workload& w)
{
    LoadTexts texts;
    for (const ContentLine& line : w.lines) {
        texts.starts.push_back(texts.buffer.size());
        texts.subclients.push_back(line.subclient);
        texts.buffer += contentText(line);
        texts.buffer += '\0';
    }
    return texts;
}

int load(FSSubclientConf& conf, const LoadTexts& texts)
{
    // Subclients are numbered in naming order, so every one is named even
    // when it drew no line.
    int rejected = 0;
    std::size_t next = 0;
    for (int s = 2; s < 2 + kSubclients; ++s) {
        conf.setName(subclientName(s).c_str());
        for (; next < texts.starts.size() && texts.subclients[next] == s; ++next)
            rejected += conf.setPath(texts.buffer.c_str() + texts.starts[next]) != 0;
    }
    return rejected;
}

int load(FSSubclientConf& conf, const Workload& w)
{
    return load(conf, loadTexts(w));
}

FSSubclientConf* loaded(int lines)
{
    static std::map<int, std::unique_ptr<FSSubclientConf>> cache;
    std::unique_ptr<FSSubclientConf>& conf = cache[lines];
    if (!conf) {
        conf = std::make_unique<FSSubclientConf>();
        if (load(*conf, workload(lines)) != 0)
            conf.reset();
    }
    return conf.get();
}

}  // namespace benchwork
