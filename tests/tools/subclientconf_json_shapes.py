#!/usr/bin/env python3
"""The JSON shapes documented in docs/subclientconf-tool.md against the real
output of every subcommand that writes JSON: each documented object's keys,
in the documented order. Usage: subclientconf_json_shapes.py TOOL SOURCE_DIR"""
import json, re, subprocess, sys

TOOL, SOURCE = sys.argv[1], sys.argv[2]
DEFS, STORE = "examples/workstation.subclients", "examples/workstation.backupset"
# One row a document: the shape's name in the documentation and the arguments.
ROWS = [
    ("check", ["check", "examples/conflicts.subclients", "--json"]),
    ("list", ["list", STORE, "--at", "1701000001", "--json"]),
    ("which", ["which", STORE, "--at", "1701000001", "--json", "/var/log/syslog.log", "/etc"]),
    ("dirlist", ["dirlist", STORE, "--at", "1701000001", ":1701000001:/", "--json"]),
    ("browse", ["browse", "examples/conflicts.subclients", "--partial", "/var/log", "--json"]),
    ("estimate", ["estimate", DEFS, "--subclient", "default", "--root", "examples/tree", "--json"]),
    ("estimate", ["estimate", DEFS, "--subclient", "default", "--root", "examples/tree", "--json-lines"]),
    ("report", ["report", DEFS, "--root", "examples/tree", "--jobs", "1", "--json"]),
]
HEAD = {"schema", "file", "format", "at"}  # "Every document starts with ..."


def tokens(text):
    text = re.sub(r"\([^()]*\)", " ", text)  # remarks in parentheses
    return re.findall(r'"(?:[^"\\]|\\.)*"|[{}\[\]:|,]|[^\s{}\[\]:|,"]+', text)


def parse(toks, i):
    """The shape of the value at toks[i]: a list of (key, shape) for an object,
    ("array", shape) for an array, None for anything else; and the next index."""
    if toks[i] == "{":
        fields, i = [], i + 1
        while toks[i] != "}":
            if toks[i].startswith('"'):
                key, shape, i = toks[i][1:-1], None, i + 1
                if toks[i] == ":":
                    shape, i = parse(toks, i + 1)
                    while toks[i] == "|":
                        _, i = parse(toks, i + 1)
                fields.append((key, shape))
            else:
                i += 1  # "...", commas and prose
        return fields, i + 1
    if toks[i] == "[":
        shape, i = (parse(toks, i + 1) if toks[i + 1] == "{" else (None, i + 1))
        depth = 1
        while depth:
            depth += {"[": 1, "]": -1}.get(toks[i], 0)
            i += 1
        return ("array", shape), i
    return None, i + 1


def documented():
    doc = open(SOURCE + "/docs/subclientconf-tool.md").read()
    section = doc.split("## JSON shapes", 1)[1].split("\n## ", 1)[0]
    heads = re.finditer(r"^`(\w+)`[^\n{]*?:\s*(?:```json\s*)?`?(?=\{)", section, re.M)
    return {m.group(1): parse(tokens(section[m.end():]), 0)[0] for m in heads}


def check(shape, value, where, problems):
    if isinstance(shape, list) and shape:  # an object with its keys listed
        keys = [k for k, _ in shape if not (where == "" and k in HEAD)]
        real = [k for k in value if not (where == "" and k in HEAD)]
        if keys != real:
            problems.append("%s: documented %s, written %s" % (where or "document", keys, real))
        for key, sub in shape:
            if key in value:
                check(sub, value[key], where + "." + key, problems)
    elif isinstance(shape, tuple) and shape[1]:
        for n, item in enumerate(value):
            check(shape[1], item, "%s[%d]" % (where, n), problems)


def document(args):
    out = subprocess.run([TOOL] + args, cwd=SOURCE, capture_output=True, text=True).stdout
    if "--json-lines" not in args:
        return json.loads(out)
    lines = [json.loads(line) for line in out.splitlines()]
    return dict(lines[0], entries=lines[1:-1], **lines[-1])


shapes = documented()
problems = ["%s: no row writes it" % name for name in shapes if name not in dict(ROWS)]
for name, args in ROWS:
    found = [] if name in shapes else ["no documented shape"]
    written = document(args)
    if next(iter(written), None) != "schema":
        found.append("the document does not start with its schema version")
    check(shapes.get(name), written, "", found)
    problems += ["%s: %s" % (name, p) for p in found]
print("\n".join(problems) or "every documented shape is written")
sys.exit(1 if problems else 0)
