"""Turns the JSON output of bench/run into the table of measures and goals."""
import json
import math
import sys

UNIT = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def load(path):
    """The fastest repetition of each benchmark: on a shared machine other
    work only ever adds time, so the best of a few is the steadiest figure."""
    runs = {}
    for b in json.load(open(path))["benchmarks"]:
        if b.get("run_type") == "aggregate":
            continue
        name = b["run_name"]
        if b.get("error_occurred") or (name in runs and runs[name] is None):
            runs[name] = None
            continue
        b["seconds"] = b["cpu_time"] * UNIT[b["time_unit"]]
        if name not in runs or b["seconds"] < runs[name]["seconds"]:
            runs[name] = b
    return runs


def fmt_time(s):
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("us", 1e-6)):
        if s >= scale:
            return "%.3g %s" % (s / scale, unit)
    return "%.3g ns" % (s / 1e-9)


def main():
    runs = load(sys.argv[1])
    rows = []

    def get(name, field="seconds"):
        b = runs.get(name)
        return None if b is None or field not in b else b[field]

    def row(measure, size, ours, base, ratio, goal, met):
        rows.append((measure, size, ours, base, ratio, goal,
                     "n/a" if met is None else ("met" if met else "NOT MET")))

    t1, t100 = get("BM_Load/1000"), get("BM_Load/100000")
    if t100 is not None:
        row("load (setPath)", "100,000", fmt_time(t100), "-", "-", "<= 150 ms", t100 <= 0.150)
    mem = get("BM_LoadPeakRss/100000/iterations:1", "bytes_per_line")
    if mem is not None:
        row("load memory (tree+indexes after a search)", "100,000", "%.0f B/line" % mem, "empty process", "-",
            "<= 600 B/line", mem <= 600)
    if t1 and t100:
        nlogn = 100 * math.log(100000) / math.log(1000)
        row("load growth", "1,000 -> 100,000", "x%.0f" % (t100 / t1), "n log n: x%.0f" % nlogn,
            "%.2f" % (t100 / t1 / nlogn), "<= 1", t100 / t1 <= nlogn)
    ours, naive = get("BM_Owner/10000"), get("BM_OwnerNaive/10000")
    if ours and naive:
        row("owner (createDirlist)", "10,000", fmt_time(ours), fmt_time(naive) + " (fnmatch loop)",
            "x%.1f" % (naive / ours), ">= x100", naive / ours >= 100)
    o1, o100 = get("BM_Owner/1000"), get("BM_Owner/100000")
    if o1 and o100:
        row("owner growth", "1,000 -> 100,000", "x%.2f" % (o100 / o1), "-", "-", "<= x1.5", o100 / o1 <= 1.5)
    ours, rebuild = get("BM_PathTest/10000"), get("BM_PathTestRebuild/10000")
    if ours and rebuild:
        row("pathTest (indexed)", "10,000", fmt_time(ours), fmt_time(rebuild) + " (rebuild each call)",
            "x%.0f" % (rebuild / ours), ">= x1000", rebuild / ours >= 1000)
    for name, what in (("BM_PathTest", "pathTest growth"), ("BM_PathTestHistory", "pathTest growth, history")):
        p1, p100 = get(name + "/1000"), get(name + "/100000")
        if p1 and p100:
            row(what, "1,000 -> 100,000", fmt_time(p100), "1,000: " + fmt_time(p1), "x%.2f" % (p100 / p1),
                "<= x1.5", p100 / p1 <= 1.5)
    w100, w10k = runs.get("BM_PathTestEverySubclient/100"), runs.get("BM_PathTestEverySubclient/10000")
    if w100 and w10k:
        per100, per10k = 1 / w100["items_per_second"], 1 / w10k["items_per_second"]
        row("one path, every subclient", "10,000 subclients", fmt_time(per10k) + " each",
            "100: " + fmt_time(per100) + " each", "x%.2f" % (per10k / per100), "<= x2", per10k / per100 <= 2)
    quiet = get("BM_SuppressedLog")
    if quiet is not None:
        row("suppressed log record", "-", fmt_time(quiet), "-", "-", "<= 5 ns", quiet <= 5e-9)
    s1, s100 = runs.get("BM_ScanLists/1000"), runs.get("BM_ScanLists/100000")
    if s1 and s100:
        per1, per100 = s1["seconds"] / s1["lines_out"], s100["seconds"] / s100["lines_out"]
        row("scan lists per line, all subclients", "1,000 -> 100,000", fmt_time(per100) + "/line",
            "1,000: " + fmt_time(per1) + "/line", "x%.2f" % (per100 / per1), "<= x1.5", per100 / per1 <= 1.5)
    m = get("BM_MergeWholeTree/100000")
    if m is not None:
        entries = get("BM_MergeWholeTree/100000", "entries")
        row("merge two whole-tree lists", "%d entries" % entries, fmt_time(m), "-", "-",
            "bounded by budget (report)", None)
    for name, small, large in (("BM_BasenameContainsManyStars", 200, 400),
                               ("BM_BasenameOverlapsManyStars", 200, 400),
                               ("BM_MatchNameManyStars", 2048, 4096)):
        a, b = get("%s/%d" % (name, small)), get("%s/%d" % (name, large))
        if a and b:
            exponent = math.log(b / a, 2)
            row(name[3:], str(large), fmt_time(b), "%d: %s" % (small, fmt_time(a)),
                "n^%.1f" % exponent, "polynomial: <= n^3", exponent <= 3)

    header = ("measure", "size", "our time", "baseline", "ratio", "goal", "met")
    widths = [max(len(str(r[i])) for r in rows + [header]) for i in range(len(header))]
    for r in [header, tuple("-" * w for w in widths)] + rows:
        print("| " + " | ".join(str(c).ljust(w) for c, w in zip(r, widths)) + " |")


if __name__ == "__main__":
    main()
