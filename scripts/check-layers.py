#!/usr/bin/env python3
"""Checks that every quoted #include in src/ reaches only its own library or a
library below it in the layer table. Prints each offending include and exits 1
when there is one."""
import os
import re
import sys

# folder -> (library, direct links); the longest folder prefix decides.
LAYERS = {
    "platform": ("platform", []),
    "numeric": ("numeric", ["platform"]),
    "graph/dependency": ("dependency", ["platform"]),
    "datafiles": ("datafiles", ["numeric"]),
    "expression": ("expression", ["numeric"]),
    "drawing": ("drawing", ["numeric"]),
    "mathtext": ("mathtext", ["drawing"]),
    "document/parameters": ("parameters", ["expression", "dependency"]),
    "table": ("table", ["datafiles", "expression", "parameters"]),
    "axes/ticks": ("ticks", ["mathtext", "table"]),
    "graph/commandbase": ("commandbase", ["parameters", "table", "drawing", "ticks"]),
    "axes": ("axes", ["commandbase", "ticks"]),
    "graph": ("graph", ["axes"]),
    "commands": ("commands", ["graph"]),
    "drawing/writers": ("writers", ["graph"]),
    "document": ("document", ["commands", "writers"]),
    "cli": ("cli", ["document"]),
    "app": ("app", ["document", "cli"]),
}

LINKS = {lib: links for lib, links in LAYERS.values()}


def library_of(path):
    best = None
    for folder, (lib, _) in LAYERS.items():
        if path == folder or path.startswith(folder + "/"):
            if best is None or len(folder) > len(best[0]):
                best = (folder, lib)
    return best[1] if best else None


def reachable(lib):
    seen, todo = set(), [lib]
    while todo:
        cur = todo.pop()
        if cur in seen:
            continue
        seen.add(cur)
        todo.extend(LINKS.get(cur, []))
    return seen


def main(src_root):
    include = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
    bad = []
    for dirpath, _, files in os.walk(src_root):
        for name in files:
            if not name.endswith((".h", ".hpp", ".cc", ".cpp")):
                continue
            full = os.path.join(dirpath, name)
            rel = os.path.relpath(full, src_root)
            lib = library_of(os.path.dirname(rel))
            if lib is None:
                bad.append(f"{rel}: folder is not in the layer table")
                continue
            allowed = reachable(lib)
            with open(full, encoding="utf-8", errors="replace") as f:
                for lineno, line in enumerate(f, 1):
                    m = include.match(line)
                    if not m:
                        continue
                    target = m.group(1)
                    if "/" not in target:
                        continue  # a header of the same folder
                    target_lib = library_of(os.path.dirname(target))
                    if target_lib is not None and target_lib not in allowed:
                        bad.append(f"{rel}:{lineno}: {lib} includes {target} of {target_lib}")
    for line in bad:
        print(line)
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "src"))
