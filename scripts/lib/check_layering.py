#!/usr/bin/env python3
"""Fails when an #include or a link runs against the layers, or folders use
each other in a circle.

    check_layering.py [--self-test] [--build BUILD] [ROOT]

ROOT is the source tree (default: two folders above this script). Every
C, C++ and resource file under it is read (build output, .git and other
dot-folders left aside); each #include that names a file of the tree is an
edge from the including file's layer to the included file's layer. BUILD is
a configured build folder of that tree: its layering/link_graph.txt (written
by every configure, cmake/LinkGraph.cmake) gives what each target links
directly; a target stands for the folder of its sources, so each link is an
edge as well, and so is a source a target borrows from another folder.

Failures, one line each:
  - an edge the table below does not allow: a lower layer using a higher
    one, a program using another program's folder, production using tests/
    or bench/, a test folder using another one's helpers;
  - a source in a folder that has no line of its own in the table (a new
    folder does not take its parent's layer);
  - an #include of a macro, which this check cannot follow;
  - folders (real ones, not layers) that use each other in a circle;
  - the README's layer picture saying something else than the table;
  - a read of an object's table of slots by hand (a first word read as a
    table, a table indexed by hand, the compilers' names for it) anywhere
    but in the contract's one call site (protocol/slot_call.h, SlotFunction)
    and in the stand-ins (tests/doubles): every other caller goes through a
    slot's description.

With --self-test the check first runs on throwaway copies of the tree, each
with one change (check_layering_selftest.py, beside this file); it fails
unless exactly the forbidden changes are caught; then it checks the tree.
"""

import os
import re
import sys

# What every program of tests/ may use: any layer of the programs, the shared
# test helpers and the stand-ins.
TEST_PROGRAM = ["*", "tests/support", "tests/doubles", "tests/doubles/kernel"]

# The allowed edges, once: a layer may use what its arrows name and, through
# them, everything below. Each key is one folder (its sub-folders are not
# covered: each needs a line of its own). "*" is every
# layer of the programs and their libraries (not tests/ or bench/). The
# README's picture must say the same (checked below).
USES = {
    # Shared by the programs and the plug-ins.
    "protocol": ["base"],
    "base": [],
    "winlib": ["base"],
    "toolkit": ["winlib"],
    "settings/forms": ["winlib"],
    # Corvalle.exe
    "companion/system": ["protocol", "base"],
    "companion/kernel": ["companion/system"],
    "companion/actions": ["companion/kernel"],
    "companion/ui": ["companion/actions", "toolkit"],
    "companion/app": ["companion/ui"],
    # Mirelo.exe
    "settings/model": ["protocol", "base"],
    "settings/display": ["settings/model"],
    "settings/controls": ["settings/forms"],
    "settings/pages": ["settings/controls", "settings/display"],
    "settings/app": ["settings/pages"],
    # Piravel.exe
    "player": ["base"],
    # Tandrel.dll and Lumvex.dll
    "plugins/common": ["protocol", "base"],
    "plugins/catalog": ["plugins/common"],
    "plugins/setup": ["plugins/common"],
    # Under every test: the shared helpers and the stand-ins.
    "tests/support": ["base"],
    "tests/doubles": ["protocol"],
    "tests/doubles/kernel": ["tests/doubles", "tests/support"],
    # The test programs and tools, each folder on its own line: one test
    # folder per library, beside the shared helpers of a program's tests.
    "tests/base": TEST_PROGRAM,
    "tests/winlib": TEST_PROGRAM,
    "tests/protocol": TEST_PROGRAM,
    "tests/protocol/contract": TEST_PROGRAM,
    "tests/toolkit": TEST_PROGRAM,
    "tests/companion": TEST_PROGRAM,
    "tests/companion/system": TEST_PROGRAM + ["tests/companion"],
    "tests/companion/kernel": TEST_PROGRAM + ["tests/companion"],
    "tests/companion/actions": TEST_PROGRAM + ["tests/companion"],
    "tests/companion/ui": TEST_PROGRAM + ["tests/companion"],
    "tests/companion/app": TEST_PROGRAM + ["tests/companion", "tests/tools"],
    "tests/settings": TEST_PROGRAM + ["tests/settings/tools"],
    "tests/settings/tools": TEST_PROGRAM + ["tests/tools"],
    "tests/settings/forms": TEST_PROGRAM + ["tests/settings"],
    "tests/settings/model": TEST_PROGRAM + ["tests/settings"],
    "tests/settings/display": TEST_PROGRAM + ["tests/settings"],
    "tests/settings/controls": TEST_PROGRAM + ["tests/settings"],
    "tests/settings/pages": TEST_PROGRAM + ["tests/settings"],
    "tests/settings/app": TEST_PROGRAM + ["tests/settings"],
    "tests/player": TEST_PROGRAM,
    "tests/plugins": TEST_PROGRAM,
    "tests/plugins/common": TEST_PROGRAM + ["tests/plugins"],
    "tests/plugins/catalog": TEST_PROGRAM + ["tests/plugins"],
    "tests/plugins/setup": TEST_PROGRAM + ["tests/plugins"],
    "tests/tools": TEST_PROGRAM + ["tests/plugins"],
    "tests/harness": TEST_PROGRAM,
    # Benchmarks, run by hand.
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
CODE_SUFFIXES = tuple(s for s in SOURCE_SUFFIXES if s != ".rc")

# Where an object's table of slots may be read: the contract's one call
# site, and the stand-ins, which make the tables they serve.
TABLE_READERS = ("protocol/slot_call.h", "tests/doubles/")
# The ways to read an object's first word as its table, or to index a
# table by hand, in code with its comments and literals blanked: a
# dereferenced cast to a pointer to a void pointer ("*(void***)object",
# "*reinterpret_cast<void* const*>(object)", "*(PVOID*)object"), a cast to
# a pointer to pointers indexed at once ("reinterpret_cast<void***>(o)[0]",
# "((void**)table)[4]"), and the compilers' own names for the table.
_CAST_TYPE = r"(?:const\s+)?(?:void\s*(?:const\s*)?\*|P?VOID\b|LPVOID\b)(?:\s*const)?(?:\s*\*(?:\s*const)?)+\s*"
_CAST = (r"(?:\(\s*" + _CAST_TYPE + r"\)|\b(?:reinterpret_cast|static_cast|const_cast)\s*<\s*"
         + _CAST_TYPE + r">)")
TABLE_READS = [
    re.compile(r"\*\s*" + _CAST),
    re.compile(_CAST + r"\s*(?:\([^()]*\)|\w+)\s*\["),
    re.compile(r"\(\s*" + _CAST + r"\s*(?:\([^()]*\)|\w+)\s*\)\s*\["),
    re.compile(r"\b(?:lpVtbl|__vfptr|_vptr\w*|vtbl|vtable)\b"),
]
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')
INCLUDE_MACRO = re.compile(r"^\s*#\s*include\s+([A-Za-z_]\w*)")
README_BLOCK = re.compile(r"<!-- layers -->\s*```[^\n]*\n(.*?)```", re.S)
ARROW = "→"
LINK_GRAPH = os.path.join("layering", "link_graph.txt")


def is_production(key):
    return not (key == "bench" or key.startswith("tests/"))


def layer_of(path):
    """The table key of a tree file (or of a folder), or None."""
    if path in USES:
        return path
    folder = os.path.dirname(path)
    return folder if folder in USES else None


def reachable(key):
    """Every layer `key` may use, itself included."""
    seen = {key}
    todo = [key]
    while todo:
        for used in USES[todo.pop()]:
            targets = [k for k in USES if is_production(k)] if used == "*" else [used]
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


def why_not(here, there):
    """Why layer `here` may not use layer `there` (which it may not)."""
    if not is_production(there) and is_production(here):
        return f"{here} may not use {there}: only tests/ and bench/ use their own"
    if not is_production(there):
        return f"{here} may not use {there}: no arrow allows it"
    if here in reachable(there):
        return f"{here} may not use {there}, a layer above it"
    if program_of(here) and program_of(there) and program_of(here) != program_of(there):
        return (f"{here} ({program_of(here)}) may not use {there}, "
                f"another program's ({program_of(there)})")
    return f"{here} may not use {there}: no arrow allows it"


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
    """(line number, tree path, macro) of every include naming a file of the
    tree (macro None) or a macro (tree path None)."""
    folder = os.path.dirname(rel)
    with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE_MACRO.match(line)
            if m:
                yield number, None, m.group(1)
                continue
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
                    yield number, c, None
                    break


def code_only(text):
    """`text` with its comments, strings and character literals blanked,
    lines kept where they were."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
        elif c in "\"'":
            m = re.match(r'R"([^(\s]*)\(', text[i:]) if c == '"' and text[i - 1:i] == "R" else None
            if m:
                end = text.find(")" + m.group(1) + '"', i)
                end = n if end < 0 else end + len(m.group(1)) + 2
            else:
                end = i + 1
                while end < n and text[end] != c and text[end] != "\n":
                    end += 2 if text[end] == "\\" else 1
                end = min(end + 1, n)
        else:
            out.append(c)
            i += 1
            continue
        out.append("".join(ch if ch == "\n" else " " for ch in text[i:end]))
        i = end
    return "".join(out)


def table_reads(root, rel):
    """(line number, what) of each read of an object's table in a file that
    may not hold one."""
    if not rel.endswith(CODE_SUFFIXES) or any(
            rel == r or (r.endswith("/") and rel.startswith(r)) for r in TABLE_READERS):
        return
    with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
        code = code_only(f.read())
    seen = set()
    for pattern in TABLE_READS:
        for m in pattern.finditer(code):
            number = code.count("\n", 0, m.start()) + 1
            if number not in seen:
                seen.add(number)
                yield number, " ".join(m.group(0).split())


def read_link_graph(build):
    """{target: {"dir", "sources", "includes", "links"}} from a build folder's
    link graph, with paths relative to the tree it was configured from."""
    path = os.path.join(build, LINK_GRAPH)
    graph, root = {}, None
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if fields[0] == "root":
                root = fields[1]
                continue
            if len(fields) != 3:
                continue
            name, kind, value = fields
            t = graph.setdefault(name, {"dir": "", "sources": [], "includes": [], "links": []})
            if kind == "dir":
                t["dir"] = value
            elif kind == "source":
                t["sources"].append(value)
            elif kind == "include":
                t["includes"].append(value)
            elif kind == "link":
                t["links"].append(value)
    build = os.path.realpath(build)

    def in_tree(p):
        p = os.path.realpath(p)
        if p == build or p.startswith(build + os.sep):
            return None
        rel = os.path.relpath(p, os.path.realpath(root))
        return None if rel.startswith("..") else rel.replace(os.sep, "/")

    for t in graph.values():
        t["dir"] = in_tree(t["dir"]) or ""
        t["sources"] = [s for s in map(in_tree, t["sources"]) if s]
    return graph


def link_graph_root(build):
    with open(os.path.join(build, LINK_GRAPH), encoding="utf-8") as f:
        first = f.readline().rstrip("\n").split("\t")
    return first[1] if first[0] == "root" and len(first) == 2 else None


def target_folders(t):
    """The folders a target stands for: those of its sources in its own
    CMakeLists' folder (others are borrowed), else those of any source of
    the tree, else what project_include_root gave it; none for a library
    that only passes links on."""
    def own(s):
        return t["dir"] in ("", ".") or s.startswith(t["dir"] + "/")
    folders = {os.path.dirname(s) for s in t["sources"] if own(s)}
    if not folders:
        folders = {os.path.dirname(s) for s in t["sources"]}
    return sorted(folders or set(t["includes"]))


def link_edges(graph):
    """(folder, used folder, what) for every direct link and borrowed source."""
    def resolve(name, seen):
        if name not in graph or name in seen:
            return []
        seen.add(name)
        folders = target_folders(graph[name])
        if folders:
            return folders
        return [f for link in graph[name]["links"] for f in resolve(link, seen)]

    edges = []
    for name in sorted(graph):
        t = graph[name]
        here = target_folders(t)
        for f in here:
            for s in t["sources"]:
                if os.path.dirname(s) not in here:
                    edges.append((f, os.path.dirname(s), f"{name} compiles {s}"))
            for link in t["links"]:
                for g in resolve(link, set()):
                    edges.append((f, g, f"{name} links {link}"))
    return edges


def table_problems():
    problems = []
    for key, used in USES.items():
        for u in used:
            if u != "*" and u not in USES:
                problems.append(f"table: {key} uses {u}, which has no entry")
    for key in USES:
        for u in USES[key]:
            if u != "*" and u in USES and key in reachable(u):
                problems.append(f"table: {key} and {u} use each other")
    return problems


def readme_picture(root):
    """(arrows as (from, to) pairs, every name drawn) of the README's
    picture, or None. A line ending in a comma, or one starting with an
    arrow, continues the line before."""
    path = os.path.join(root, "README.md")
    if not os.path.isfile(path):
        return None
    with open(path, encoding="utf-8") as f:
        m = README_BLOCK.search(f.read())
    if not m:
        return None
    lines = []
    for line in m.group(1).splitlines():
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        if lines and (lines[-1].endswith(",") or line.startswith(ARROW)):
            lines[-1] += " " + line
        else:
            lines.append(line)
    edges, names = set(), set()
    for line in lines:
        steps = [[n.strip() for n in part.split(",") if n.strip()]
                 for part in line.split(ARROW)]
        names.update(n for step in steps for n in step)
        for lower, upper in zip(steps[1:], steps):
            for a in upper:
                for b in lower:
                    edges.add((a, b))
    return edges, names


def readme_problems(root):
    picture = readme_picture(root)
    if picture is None:
        return ["README.md: no layer picture (a ``` block after <!-- layers -->)"]
    edges, names = picture
    table = {(k, u) for k, used in USES.items() for u in used}
    problems = []
    for a, b in sorted(table - edges):
        problems.append(f"README.md: the picture lacks {a} {ARROW} {b}, which the table has")
    for a, b in sorted(edges - table):
        problems.append(f"README.md: the picture has {a} {ARROW} {b}, which the table lacks")
    for n in sorted(set(USES) - names):
        problems.append(f"README.md: the picture lacks {n}, which the table has")
    for n in sorted(names - set(USES) - {"*"}):
        problems.append(f"README.md: the picture has {n}, which the table lacks")
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


def check(root, graph=None):
    """Every failure of the tree at `root` (and of its link graph, when
    given), one line each."""
    problems = table_problems() + readme_problems(root)
    allowed = {key: reachable(key) for key in USES}
    folder_edges = {}
    for rel in sources(root):
        here = layer_of(rel)
        if here is None:
            problems.append(f"{rel}: its folder has no line of its own in the table")
            continue
        for number, what in table_reads(root, rel):
            problems.append(f"{rel}:{number}: reads an object's table by hand ({what}): "
                            f"call the slot through its description (protocol/slot_call.h)")
        for number, target, macro in includes(root, rel):
            if macro:
                problems.append(f"{rel}:{number}: includes the macro {macro}: "
                                f"name the file, the layers cannot be checked through a macro")
                continue
            there = layer_of(target)
            a, b = os.path.dirname(rel), os.path.dirname(target)
            if a != b:
                folder_edges.setdefault((a, b), f"{rel}:{number}")
            if there is None or there in allowed[here]:
                continue
            problems.append(f"{rel}:{number}: includes {target}: {why_not(here, there)}")
    for here, there, what in link_edges(graph or {}):
        if here == there:
            continue
        folder_edges.setdefault((here, there), what)
        # A folder without a line is reported for each of its sources above.
        if here not in USES or there not in USES or there in allowed[here]:
            continue
        problems.append(f"{what}: {why_not(here, there)}")
    for group in folder_cycles(folder_edges):
        circle = shortest_circle(group, folder_edges)
        steps = [f"{a} {ARROW} {b} ({folder_edges[(a, b)]})" for a, b in zip(circle, circle[1:])]
        problems.append("folders use each other: " + ", ".join(steps))
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


def main(argv):
    args, build = [], None
    it = iter(argv)
    for a in it:
        if a == "--build":
            build = os.path.abspath(next(it, ""))
        elif not a.startswith("--"):
            args.append(a)
    root = os.path.abspath(args[0] if args else
                           os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    if build and not os.path.isfile(os.path.join(build, LINK_GRAPH)):
        print(f"{os.path.join(build, LINK_GRAPH)}: missing; configure the build folder first")
        return 1
    failed = False
    if "--self-test" in argv:
        # The self-test reads this module's table and check under its own name.
        sys.modules.setdefault("check_layering", sys.modules[__name__])
        import check_layering_selftest
        failures = check_layering_selftest.self_test(root, build)
        for f in failures:
            print(f)
        cases = check_layering_selftest.case_count()
        print(f"self-test: {cases - len(failures)} of {cases} cases as expected")
        failed = bool(failures)
    graph = read_link_graph(build) if build else None
    problems = check(root, graph)
    configured = build and link_graph_root(build)
    if configured and os.path.realpath(configured) != os.path.realpath(root):
        problems.append(f"{os.path.join(build, LINK_GRAPH)}: written for {configured}, not for {root}")
    for p in problems:
        print(p)
    files = sum(1 for _ in sources(root))
    links = f", {sum(len(t['links']) for t in graph.values())} links" if graph else ", links not read (no --build)"
    print(f"layering: {files} files read{links}, {len(problems)} problems")
    return 1 if failed or problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
