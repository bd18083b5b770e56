#!/usr/bin/env python3
"""Fails when an #include runs against the layers, or folders include each
other in a circle.

    check_layering.py [--self-test] [ROOT]

ROOT is the source tree (default: two folders above this script). Every
C, C++ and resource file under it is read (build output, .git and other
dot-folders left aside); each #include that names a file of the tree is an
edge from the including file's layer to the included file's layer.

Failures, one line each:
  - an edge the table below does not allow: a lower layer using a higher
    one, a program using another program's folder, production using tests/
    or bench/;
  - a source in a folder that no entry of the table covers;
  - folders (real ones, not layers) that include each other in a circle;
  - the README's layer picture saying something else than the table.

With --self-test the check first runs on throwaway copies of the tree, each
with one change: a forbidden include, an allowed one, two test folders
including each other, a source in an unknown folder, an arrow dropped from
the README's picture. It fails unless exactly the forbidden changes are
caught; then it checks the tree itself.
"""

import os
import re
import shutil
import sys
import tempfile

# The allowed edges, once: a layer may include what its arrows name and,
# through them, everything below. A key covers its folder and the folders
# inside it (the longest key wins), or a single header. "*" is every layer
# of the programs and their libraries (not tests/ or bench/). The README's
# picture must say the same (checked below).
USES = {
    "winlib/handles.h": [],
    "base": ["winlib/handles.h"],
    "protocol": ["base"],
    "winlib": ["protocol"],
    "toolkit": ["winlib"],
    "settings/forms": ["winlib"],
    # Corvalle.exe
    "companion/system": ["winlib"],
    "companion/kernel": ["companion/system"],
    "companion/actions": ["companion/kernel"],
    "companion/ui": ["companion/actions", "toolkit"],
    "companion/app": ["companion/ui"],
    # Mirelo.exe; files directly in settings/ count as its top.
    "settings/model": ["settings/forms"],
    "settings/display": ["settings/model"],
    "settings/controls": ["settings/display"],
    "settings/pages": ["settings/controls"],
    "settings/app": ["settings/pages"],
    "settings": ["settings/app"],
    # Piravel.exe
    "player": ["winlib"],
    # Tandrel.dll and Lumvex.dll
    "plugins/common": ["winlib"],
    "plugins/catalog": ["plugins/common"],
    "plugins/setup": ["plugins/common"],
    "tests": ["*"],
    "bench": ["*"],
}

# The first folder of each deliverable's own code: one program never
# includes another's.
PROGRAMS = {
    "companion": "Corvalle.exe",
    "settings": "Mirelo.exe",
    "player": "Piravel.exe",
    "plugins/catalog": "Tandrel.dll",
    "plugins/setup": "Lumvex.dll",
}

SOURCE_SUFFIXES = (".h", ".hpp", ".inl", ".inc", ".c", ".cc", ".cpp", ".cxx", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')
README_BLOCK = re.compile(r"<!-- layers -->\s*```[^\n]*\n(.*?)```", re.S)
ARROW = "→"


def layer_of(path):
    """The table key covering a tree path, or None."""
    best = None
    for key in USES:
        if path == key or path.startswith(key + "/"):
            if best is None or len(key) > len(best):
                best = key
    return best


def production_layers():
    return [k for k, v in USES.items() if v != ["*"]]


def reachable(key):
    """Every layer `key` may use, itself included."""
    seen = {key}
    todo = [key]
    while todo:
        for used in USES[todo.pop()]:
            targets = production_layers() if used == "*" else [used]
            for t in targets:
                if t not in seen:
                    seen.add(t)
                    todo.append(t)
    return seen


def program_of(key):
    for folder, name in PROGRAMS.items():
        if key == folder or key.startswith(folder + "/"):
            return name
    return None


def sources(root):
    for top, dirs, files in os.walk(root):
        rel_top = os.path.relpath(top, root)
        # Build trees (wherever they are) hold generated and outside code.
        dirs[:] = sorted(
            d for d in dirs
            if not d.startswith(".")
            and not (rel_top == "." and d.startswith("build"))
            and not os.path.isfile(os.path.join(top, d, "CMakeCache.txt"))
        )
        for f in sorted(files):
            if f.endswith(SOURCE_SUFFIXES):
                rel = os.path.normpath(os.path.join(rel_top, f))
                yield rel.replace(os.sep, "/")


def includes(root, rel):
    """(line number, tree path) of every include naming a file of the tree."""
    folder = os.path.dirname(rel)
    with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            bracket, name = m.groups()
            candidates = [name]
            if bracket == '"':
                # The compiler looks beside the including file first.
                candidates.insert(0, os.path.join(folder, name))
            for c in candidates:
                c = os.path.normpath(c).replace(os.sep, "/")
                if not c.startswith("../") and os.path.isfile(os.path.join(root, c)):
                    yield number, c
                    break


def table_problems():
    problems = []
    for key, used in USES.items():
        for u in used:
            if u != "*" and u not in USES:
                problems.append(f"table: {key} uses {u}, which has no entry")
    for key in production_layers():
        for u in USES[key]:
            if u != "*" and key in reachable(u):
                problems.append(f"table: {key} and {u} use each other")
    return problems


def readme_edges(root):
    """The arrows of the README's picture as (from, to) pairs, or None."""
    path = os.path.join(root, "README.md")
    if not os.path.isfile(path):
        return None
    with open(path, encoding="utf-8") as f:
        m = README_BLOCK.search(f.read())
    if not m:
        return None
    edges = set()
    for line in m.group(1).splitlines():
        line = line.split("#", 1)[0].strip()
        if ARROW not in line:
            continue
        steps = [[n.strip() for n in part.split(",") if n.strip()]
                 for part in line.split(ARROW)]
        for lower, upper in zip(steps[1:], steps):
            for a in upper:
                for b in lower:
                    edges.add((a, b))
    return edges


def readme_problems(root):
    edges = readme_edges(root)
    if edges is None:
        return ["README.md: no layer picture (a ``` block after <!-- layers -->)"]
    table = {(k, u) for k, used in USES.items() for u in used}
    problems = []
    for a, b in sorted(table - edges):
        problems.append(f"README.md: the picture lacks {a} {ARROW} {b}, which the table has")
    for a, b in sorted(edges - table):
        problems.append(f"README.md: the picture has {a} {ARROW} {b}, which the table lacks")
    return problems


def folder_cycles(edges):
    """Strongly connected groups of more than one folder (Tarjan)."""
    graph = {}
    for a, b in edges:
        graph.setdefault(a, set()).add(b)
        graph.setdefault(b, set())
    index, low, on_stack, stack, groups = {}, {}, set(), [], []

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on_stack.add(v)
        for w in sorted(graph[v]):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    for v in sorted(graph):
        if v not in index:
            visit(v)
    return groups


def check(root):
    """Every failure of the tree at `root`, one line each."""
    problems = table_problems() + readme_problems(root)
    allowed = {key: reachable(key) for key in USES}
    folder_edges = {}
    for rel in sources(root):
        here = layer_of(rel)
        if here is None:
            problems.append(f"{rel}: its folder has no layer in the table")
            continue
        for number, target in includes(root, rel):
            there = layer_of(target)
            # A layer of one header (the handle owners) is a node of its own.
            a = here if here.endswith(".h") else os.path.dirname(rel)
            b = there if there and there.endswith(".h") else os.path.dirname(target)
            if a != b:
                folder_edges.setdefault((a, b), f"{rel}:{number}")
            if there is None or there in allowed[here]:
                continue
            if there in ("tests", "bench") and here not in ("tests", "bench"):
                why = f"{here} may not use {there}: only tests/ and bench/ include their own"
            elif there in ("tests", "bench"):
                why = f"{here} may not use {there}"
            elif here in allowed[there]:
                why = f"{here} may not use {there}, a layer above it"
            elif program_of(here) and program_of(there) and program_of(here) != program_of(there):
                why = (f"{here} ({program_of(here)}) may not use {there}, "
                       f"another program's ({program_of(there)})")
            else:
                why = f"{here} may not use {there}: no arrow allows it"
            problems.append(f"{rel}:{number}: includes {target}: {why}")
    for group in folder_cycles(folder_edges):
        circle = shortest_circle(group, folder_edges)
        steps = [f"{a} {ARROW} {b} ({folder_edges[(a, b)]})" for a, b in zip(circle, circle[1:])]
        problems.append("folders include each other: " + ", ".join(steps))
    return problems


def shortest_circle(group, edges):
    """The shortest path from a folder of `group` back to itself, as the
    folders it passes (the first repeated at the end)."""
    members = set(group)
    following = {a: sorted(b for (x, b) in edges if x == a and b in members) for a in group}
    best = None
    for start in group:
        paths = {start: [start]}
        todo = [start]
        found = None
        while todo and found is None:
            here = todo.pop(0)
            for there in following[here]:
                if there == start:
                    found = paths[here] + [start]
                    break
                if there not in paths:
                    paths[there] = paths[here] + [there]
                    todo.append(there)
        if found and (best is None or len(found) < len(best)):
            best = found
    return best


def first_source(root, key, suffix=(".cpp", ".h")):
    for rel in sources(root):
        if layer_of(rel) == key and rel.endswith(suffix):
            return rel
    return None


def first_header(root, key, avoid=()):
    """A header of the layer, or any file of it where it has none (bench/)."""
    found = [rel for rel in sources(root) if layer_of(rel) == key and rel not in avoid]
    return next((rel for rel in found if rel.endswith(".h")), found[0] if found else None)


def add_include(root, rel, header):
    with open(os.path.join(root, rel), "a", encoding="utf-8") as f:
        f.write(f'\n#include "{header}"\n')


# (what is tried, including layer, included layer, expected to fail)
SELF_TEST_CASES = [
    ("base uses winlib beyond its owners", "base", "winlib", True),
    ("protocol uses winlib", "protocol", "winlib", True),
    ("winlib uses the toolkit", "winlib", "toolkit", True),
    ("the toolkit uses Corvalle", "toolkit", "companion/app", True),
    ("Corvalle's system uses its ui", "companion/system", "companion/ui", True),
    ("Corvalle's actions use its app", "companion/actions", "companion/app", True),
    ("Mirelo's forms use Mirelo", "settings/forms", ("settings/app", "settings"), True),
    ("Mirelo's controls use its pages", ("settings/controls", "settings/forms"), ("settings/pages", "settings"), True),
    ("Mirelo's model uses its display", ("settings/model", "settings/forms"), ("settings/display", "settings"), True),
    ("Piravel uses Mirelo", "player", ("settings/app", "settings"), True),
    ("Piravel uses Corvalle", "player", "companion/system", True),
    ("Tandrel uses Lumvex", "plugins/catalog", "plugins/setup", True),
    ("the plug-ins' common part uses Tandrel", "plugins/common", "plugins/catalog", True),
    ("Corvalle uses a test helper", "companion/system", "tests", True),
    ("the toolkit uses the bench", "toolkit", "bench", True),
    ("base uses its handle owners", "base", "winlib/handles.h", False),
    ("Corvalle's app uses base", "companion/app", "base", False),
    ("a test uses Corvalle's app", "tests", "companion/app", False),
]


def as_tuple(keys):
    """A case names a layer, or layers to try in turn (the first the tree has)."""
    return keys if isinstance(keys, tuple) else (keys,)


def copy_tree(root, into):
    for rel in sources(root):
        dest = os.path.join(into, rel)
        os.makedirs(os.path.dirname(dest), exist_ok=True)
        shutil.copyfile(os.path.join(root, rel), dest)


def pick(root, lower, upper):
    """(including file, included file) for a case, or None."""
    src = next(filter(None, (first_source(root, k) for k in as_tuple(lower))), None)
    if isinstance(upper, str) and upper.endswith(".h"):
        header = upper
    else:
        header = next(filter(None, (first_header(root, k, ("winlib/handles.h",))
                                    for k in as_tuple(upper))), None)
    return (src, header) if src and header else None


def circle_of_test_folders(root):
    """Two test folders that include each other are a circle even though both
    are the one layer "tests"."""
    headers = [r for r in sources(root) if layer_of(r) == "tests" and r.endswith(".h")]
    other = [r for r in headers if headers and os.path.dirname(r) != os.path.dirname(headers[0])]
    if not other:
        return False
    add_include(root, headers[0], other[0])
    add_include(root, other[0], headers[0])
    return True


def stray_folder(root):
    """A source in a folder that the table does not know."""
    os.makedirs(os.path.join(root, "companion", "stray"))
    with open(os.path.join(root, "companion", "stray", "stray.h"), "w") as f:
        f.write("#pragma once\n")
    return True


def picture_without_player(root):
    """The README's picture drops an arrow that the table has."""
    path = os.path.join(root, "README.md")
    with open(path, encoding="utf-8") as f:
        text = f.read()
    with open(path, "w", encoding="utf-8") as f:
        f.write(text.replace(f"player {ARROW} winlib", "player"))
    return True


# (what is tried, the change, a line that must be among the new failures)
SELF_TEST_CHANGES = [
    ("two test folders in a circle", circle_of_test_folders, "folders include each other"),
    ("a folder without a layer", stray_folder, "companion/stray/stray.h: its folder has no layer"),
    ("the picture lacks an arrow", picture_without_player,
     f"README.md: the picture lacks player {ARROW} winlib"),
]


def self_test(root):
    failures = []
    with tempfile.TemporaryDirectory(prefix="layering-") as scratch:
        tree = os.path.join(scratch, "tree")
        copy_tree(root, tree)
        shutil.copyfile(os.path.join(root, "README.md"), os.path.join(tree, "README.md"))
        before = set(check(tree))

        def new_problems(change):
            """What `change` (applied to a fresh copy) adds, or None when it
            found nothing to change."""
            work = os.path.join(scratch, "case")
            shutil.copytree(tree, work)
            try:
                if not change(work):
                    return None
                return [p for p in check(work) if p not in before]
            finally:
                shutil.rmtree(work)

        for what, lower, upper, should_fail in SELF_TEST_CASES:
            files = pick(tree, lower, upper)
            if files is None:
                failures.append(f"self-test '{what}': the tree has no file to try it with")
                continue
            src, header = files
            new = new_problems(lambda work: add_include(work, src, header) or True)
            caught = [p for p in new if p.startswith(src + ":") and header in p]
            # An upward include often closes a circle of folders as well.
            extra = [p for p in new if p not in caught
                     and not p.startswith("folders include each other")]
            if should_fail and not caught:
                failures.append(f"self-test '{what}': {src} including {header} passed")
            elif should_fail and extra:
                failures.append(f"self-test '{what}': more than the one include failed: {extra}")
            elif not should_fail and new:
                failures.append(f"self-test '{what}': the allowed include failed: {new}")

        for what, change, expected in SELF_TEST_CHANGES:
            new = new_problems(change)
            if new is None:
                failures.append(f"self-test '{what}': the tree has no file to try it with")
            elif not any(expected in p for p in new):
                failures.append(f"self-test '{what}': passed")
    return failures


def main(argv):
    args = [a for a in argv if not a.startswith("--")]
    root = os.path.abspath(args[0] if args else
                           os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    failed = False
    if "--self-test" in argv:
        failures = self_test(root)
        for f in failures:
            print(f)
        cases = len(SELF_TEST_CASES) + len(SELF_TEST_CHANGES)
        print(f"self-test: {cases - len(failures)} of {cases} cases as expected")
        failed = bool(failures)
    problems = check(root)
    for p in problems:
        print(p)
    files = sum(1 for _ in sources(root))
    print(f"layering: {files} files read, {len(problems)} problems")
    return 1 if failed or problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
