#!/usr/bin/env python3
"""Checks the libraries of src/ against the layer table.

1. Every quoted #include reaches only its own library or a library below it
   in the layer table.
2. Every library's CMake declaration (the LINKS of orrel_library in
   src/<folder>/CMakeLists.txt) names exactly the libraries its files include:
   a library whose headers are included is linked directly, not only through
   another library, and a library that is linked has some header included.
   Libraries outside the project (ext::..., Threads::...) are not checked.

Prints each offending line and exits 1 when there is one."""
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
FOLDER = {lib: folder for folder, (lib, _) in LAYERS.items()}
PREFIX = "orrel_"
SOURCE_ENDINGS = (".h", ".hpp", ".cc", ".cpp")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
LIBRARY_CALL = re.compile(r"\borrel_library\s*\(([^)]*)\)", re.S)
KEYWORDS = {"SOURCES", "LINKS"}


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


def strip_comments(text):
    return "\n".join(line.split("#", 1)[0] for line in text.splitlines())


def declared_links(cmake_file):
    """The project libraries named after LINKS in the folder's orrel_library
    call, as layer names; None when the file declares no library."""
    with open(cmake_file, encoding="utf-8", errors="replace") as f:
        call = LIBRARY_CALL.search(strip_comments(f.read()))
    if not call:
        return None
    links, section = set(), None
    for word in call.group(1).split()[1:]:
        if word in KEYWORDS:
            section = word
        elif section == "LINKS" and word.startswith(PREFIX):
            links.add(word[len(PREFIX):])
    return links


def scan_includes(src_root, bad):
    """library -> {included library: first file:line that includes it}."""
    used = {}
    for dirpath, _, files in os.walk(src_root):
        for name in sorted(files):
            if not name.endswith(SOURCE_ENDINGS):
                continue
            full = os.path.join(dirpath, name)
            rel = os.path.relpath(full, src_root)
            lib = library_of(os.path.dirname(rel))
            if lib is None:
                bad.append(f"{rel}: folder is not in the layer table")
                continue
            allowed = reachable(lib)
            uses = used.setdefault(lib, {})
            with open(full, encoding="utf-8", errors="replace") as f:
                for lineno, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m or "/" not in m.group(1):
                        continue  # not an include, or a header of the same folder
                    target = m.group(1)
                    target_lib = library_of(os.path.dirname(target))
                    if target_lib is None or target_lib == lib:
                        continue
                    uses.setdefault(target_lib, f"{rel}:{lineno}")
                    if target_lib not in allowed:
                        bad.append(f"{rel}:{lineno}: {lib} includes {target} of {target_lib}")
    return used


def check_links(src_root, used, bad):
    for lib, folder in FOLDER.items():
        cmake_file = os.path.join(src_root, folder, "CMakeLists.txt")
        if not os.path.isfile(cmake_file):
            continue
        declared = declared_links(cmake_file)
        if declared is None:
            continue
        rel = os.path.relpath(cmake_file, src_root)
        allowed = reachable(lib)
        needed = used.get(lib, {})
        for other in sorted(declared - allowed):
            bad.append(f"{rel}: {lib} links {PREFIX}{other}, which is not below it in the layer table")
        for other in sorted(set(needed) - declared):
            bad.append(f"{rel}: {lib} includes headers of {other} ({needed[other]}) "
                       f"but does not link {PREFIX}{other}")
        for other in sorted((declared & allowed) - set(needed) - {lib}):
            bad.append(f"{rel}: {lib} links {PREFIX}{other} but includes none of its headers")


def main(src_root):
    bad = []
    used = scan_includes(src_root, bad)
    check_links(src_root, used, bad)
    for line in bad:
        print(line)
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "src"))
