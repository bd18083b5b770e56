"""The self-test of check_layering.py: the check runs on throwaway copies of
the tree, each with one change (SELF_TEST_CASES, SELF_TEST_CHANGES):
forbidden and allowed includes, a forbidden link (that copy is configured
with the build's cmake), sources in folders the table does not know, an
include of a macro, test folders in a circle, an arrow dropped from the
README's picture, tables read by hand in a plug-in and in a stand-in. It
fails unless exactly the forbidden changes are caught.

Run by check_layering.py --self-test.
"""

import os
import re
import shutil
import subprocess
import tempfile

from check_layering import ARROW, check, layer_of, read_link_graph, sources


def first_source(root, key, suffix=(".cpp", ".h")):
    for rel in sources(root):
        if layer_of(rel) == key and rel.endswith(suffix):
            return rel
    return None


def first_header(root, key):
    """A header of the layer, or any file of it where it has none (bench/)."""
    found = [rel for rel in sources(root) if layer_of(rel) == key]
    return next((rel for rel in found if rel.endswith(".h")), found[0] if found else None)


def append(path, text):
    """Adds to a file of a copy whose files may be hard links to one another
    copy's: the file is replaced, never written in place."""
    with open(path, encoding="utf-8") as f:
        old = f.read()
    os.remove(path)
    with open(path, "w", encoding="utf-8") as f:
        f.write(old + text)


def add_include(root, rel, header):
    append(os.path.join(root, rel), f'\n#include "{header}"\n')


# (what is tried, including layer, included layer, expected to fail)
SELF_TEST_CASES = [
    ("base uses winlib beyond its owners", "base", "winlib", True),
    ("protocol uses winlib beyond its owners", "protocol", "winlib", True),
    ("winlib uses protocol", "winlib", "protocol", True),
    ("winlib uses the toolkit", "winlib", "toolkit", True),
    ("the toolkit uses Corvalle", "toolkit", "companion/app", True),
    ("Corvalle's system uses winlib beyond its owners", "companion/system", "winlib", True),
    ("Corvalle's system uses its ui", "companion/system", "companion/ui", True),
    ("Corvalle's actions use its app", "companion/actions", "companion/app", True),
    ("Mirelo's forms use Mirelo", "settings/forms", "settings/app", True),
    ("Mirelo's controls use its pages", "settings/controls", "settings/pages", True),
    ("Mirelo's controls use its display", "settings/controls", "settings/display", True),
    ("Mirelo's model uses its forms", "settings/model", "settings/forms", True),
    ("Mirelo's model uses its display", "settings/model", "settings/display", True),
    ("Piravel uses winlib", "player", "winlib", True),
    ("Piravel uses Mirelo", "player", "settings/app", True),
    ("Piravel uses Corvalle", "player", "companion/system", True),
    ("Tandrel uses Lumvex", "plugins/catalog", "plugins/setup", True),
    ("Tandrel uses winlib beyond its owners", "plugins/catalog", "winlib", True),
    ("the plug-ins' common part uses Tandrel", "plugins/common", "plugins/catalog", True),
    ("Corvalle uses a test helper", "companion/system", "tests/support", True),
    ("the toolkit uses the bench", "toolkit", "bench", True),
    ("the test helpers use Corvalle", "tests/support", "companion/system", True),
    ("a stand-in uses Corvalle", "tests/doubles", "companion/system", True),
    ("the kernel stand-in uses a test's helpers", "tests/doubles/kernel", "tests/plugins", True),
    ("one test uses another's helpers", "tests/winlib", "tests/companion", True),
    ("one library's tests use another's", "tests/companion/system", "tests/companion/ui", True),
    ("Corvalle's app uses base", "companion/app", "base", False),
    ("the plug-ins use base's handle owners", "plugins/setup", "base", False),
    ("a test uses Corvalle's app", "tests/companion/app", "companion/app", False),
    ("a test uses the kernel stand-in", "tests/plugins/setup", "tests/doubles/kernel", False),
    ("the kernel stand-in uses the test helpers", "tests/doubles/kernel", "tests/support", False),
]


def copy_tree(root, into, everything=False):
    """The sources and the README, or (everything) every file a configure
    reads; build trees and dot-folders stay behind."""
    if everything:
        def ignore(folder, names):
            return [n for n in names if n.startswith(".")
                    or (os.path.samefile(folder, root) and n.startswith("build"))
                    or os.path.isfile(os.path.join(folder, n, "CMakeCache.txt"))]
        shutil.copytree(root, into, symlinks=True, ignore=ignore)
        return
    for rel in list(sources(root)) + ["README.md"]:
        dest = os.path.join(into, rel)
        os.makedirs(os.path.dirname(dest), exist_ok=True)
        shutil.copyfile(os.path.join(root, rel), dest)


def pick(root, lower, upper):
    """(including file, included file) for a case, or None."""
    src = first_source(root, lower)
    header = first_header(root, upper)
    return (src, header) if src and header else None


def circle_of_test_folders(root):
    """A test folder that may use another one's helpers, used by it in turn."""
    a = first_header(root, "tests/plugins/setup")
    b = first_header(root, "tests/plugins")
    if not a or not b:
        return False
    add_include(root, a, b)
    add_include(root, b, a)
    return True


def stray_folder(folder):
    """A source in a folder that the table does not know."""
    def change(root):
        os.makedirs(os.path.join(root, folder))
        with open(os.path.join(root, folder, "stray.h"), "w") as f:
            f.write("#pragma once\n")
        return True
    return change


def include_of_macro(root):
    """An include whose file only the preprocessor knows."""
    src = first_source(root, "companion/app", ".cpp")
    if not src:
        return False
    append(os.path.join(root, src),
           '\n#define LAYERING_SELF_TEST_HEADER "base/text.h"\n#include LAYERING_SELF_TEST_HEADER\n')
    return True


def picture_without_player(root):
    """The README's picture drops an arrow that the table has."""
    path = os.path.join(root, "README.md")
    with open(path, encoding="utf-8") as f:
        text = f.read()
    os.remove(path)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text.replace(f"player {ARROW} base", "player"))
    return True


def table_read(folder, spelling):
    """A read of an object's table added to a file of `folder`."""
    def change(root):
        src = first_source(root, folder, ".cpp")
        if not src:
            return False
        append(os.path.join(root, src),
               f"\nvoid* LayeringSelfTestTable(void* object) {{ return {spelling}; }}\n")
        return True
    return change


def player_links_winlib(root):
    """Piravel's library links the window layer it has no arrow to."""
    path = os.path.join(root, "player", "CMakeLists.txt")
    if not os.path.isfile(path):
        return False
    append(path, "\ntarget_link_libraries(player_core PUBLIC winlib)\n")
    return True


# (what is tried, the change, a line that must be among the new failures or
#  None for a change that must add none, whether the copy is configured for
#  its link graph)
SELF_TEST_CHANGES = [
    ("two test folders in a circle", circle_of_test_folders, "folders use each other", False),
    ("a folder without a line", stray_folder("companion/stray"),
     "companion/stray/stray.h: its folder has no line", False),
    ("a test folder without a line", stray_folder("tests/companion/stray"),
     "tests/companion/stray/stray.h: its folder has no line", False),
    ("an include of a macro", include_of_macro, "includes the macro LAYERING_SELF_TEST_HEADER", False),
    ("the picture lacks an arrow", picture_without_player,
     f"README.md: the picture lacks player {ARROW} base", False),
    ("a link without an arrow", player_links_winlib,
     "player_core links winlib: player may not use winlib", True),
    ("a plug-in reads an object's table", table_read("plugins/setup", "(*(void***)object)[4]"),
     "reads an object's table by hand", False),
    ("Corvalle reads a first word as a table",
     table_read("companion/kernel", "*reinterpret_cast<void* const*>(object)"),
     "reads an object's table by hand", False),
    ("a stand-in reads an object's table", table_read("tests/doubles/kernel", "(*(void***)object)[4]"), None, False),
]


def read_cache(build):
    values = {}
    with open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8", errors="replace") as f:
        for line in f:
            m = re.match(r"^([A-Za-z_][\w-]*):\w+=(.*)$", line.rstrip("\n"))
            if m:
                values[m.group(1)] = m.group(2)
    return values


def configure(tree, build, like):
    """Configures `tree` into `build` as the build folder `like` was; the
    configure's output when it failed, else None."""
    cache = read_cache(like)
    command = [cache.get("CMAKE_COMMAND", "cmake"), "-S", tree, "-B", build]
    if cache.get("CMAKE_GENERATOR"):
        command += ["-G", cache["CMAKE_GENERATOR"]]
    for name in ("CMAKE_TOOLCHAIN_FILE", "DEPS_ROOT"):
        if cache.get(name):
            command.append(f"-D{name}=" + cache[name])
    run = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                         universal_newlines=True)
    return None if run.returncode == 0 else run.stdout[-2000:]


def self_test(root, build):
    failures = []
    graph = read_link_graph(build) if build else None
    with tempfile.TemporaryDirectory(prefix="layering-") as scratch:
        tree = os.path.join(scratch, "tree")
        copy_tree(root, tree)
        before = set(check(tree, graph))

        def new_problems(change, configured=False):
            """What `change` (applied to a fresh copy) adds, or None when it
            found nothing to change; a string when the copy did not
            configure."""
            work = os.path.join(scratch, "case")
            if configured:
                copy_tree(root, work, everything=True)
            else:
                # Links, not copies: every change replaces the files it changes.
                shutil.copytree(tree, work, copy_function=os.link)
            try:
                if not change(work):
                    return None
                work_graph = graph
                if configured:
                    work_build = os.path.join(scratch, "case-build")
                    failed = configure(work, work_build, build)
                    if failed:
                        return "the copy did not configure:\n" + failed
                    work_graph = read_link_graph(work_build)
                return [p for p in check(work, work_graph) if p not in before]
            finally:
                shutil.rmtree(work)
                shutil.rmtree(os.path.join(scratch, "case-build"), ignore_errors=True)

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
                     and not p.startswith("folders use each other")]
            if should_fail and not caught:
                failures.append(f"self-test '{what}': {src} including {header} passed")
            elif should_fail and extra:
                failures.append(f"self-test '{what}': more than the one include failed: {extra}")
            elif not should_fail and new:
                failures.append(f"self-test '{what}': the allowed include failed: {new}")

        for what, change, expected, configured in SELF_TEST_CHANGES:
            if configured and not build:
                failures.append(f"self-test '{what}': needs --build")
                continue
            new = new_problems(change, configured)
            if new is None:
                failures.append(f"self-test '{what}': the tree has no file to try it with")
            elif isinstance(new, str):
                failures.append(f"self-test '{what}': {new}")
            elif expected is None and new:
                failures.append(f"self-test '{what}': the allowed change failed: {new}")
            elif expected is not None and not any(expected in p for p in new):
                failures.append(f"self-test '{what}': passed" + (f" ({new})" if new else ""))
    return failures


def case_count():
    return len(SELF_TEST_CASES) + len(SELF_TEST_CHANGES)
