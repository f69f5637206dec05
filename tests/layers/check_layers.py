#!/usr/bin/env python3
"""Fails when a source includes a header of a layer above its own.

Order: platform <- wildcard <- subclient <-> dirlist <- console <- tools.
The one known exception is subclient <-> dirlist: the configuration builds
directory lists and a list asks the configuration for application ids, so
their sources include each other; their headers must not (they break the
loop with forward declarations)."""
import os, re, sys

RANK = {"platform": 0, "wildcard": 1, "subclient": 2, "dirlist": 2, "console": 3, "tools": 4}
PAIR = {"subclient", "dirlist"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/')


def violations(root):
    for layer in RANK:
        for folder, _, files in os.walk(os.path.join(root, layer)):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(folder, name)
                for number, line in enumerate(open(path, encoding="utf-8"), 1):
                    match = INCLUDE.match(line)
                    target = match and match.group(1)
                    if target not in RANK or target == layer:
                        continue
                    crossing = {layer, target} == PAIR
                    if RANK[target] > RANK[layer] or (RANK[target] == RANK[layer] and
                                                      (not crossing or name.endswith(".h"))):
                        yield f"{os.path.relpath(path, root)}:{number}: {layer} includes {target}"


if __name__ == "__main__":
    found = list(violations(sys.argv[1] if len(sys.argv) > 1 else "."))
    print("\n".join(found) or "layers: every include follows the order")
    sys.exit(1 if found else 0)
