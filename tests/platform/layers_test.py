#!/usr/bin/env python3
"""The platform layer's structure, checked on its sources and its objects.

The emulation's libraries come in an order (the common part, KERNEL32, USER32,
DirectDraw, then the test control above them all): each file includes and calls
only its own library and those before it, and no files include or call each
other in a loop. DirectDraw reaches the screen through one file. The screens
see only the screen interface, the plain-type headers and their own folder. Nothing shipped
includes the test control or carries a function of it.

Usage: layers_test.py SOURCE_DIR BUILD_DIR
"""
import pathlib
import re
import subprocess
import sys

SOURCE = pathlib.Path(sys.argv[1])
BUILD = pathlib.Path(sys.argv[2])
EMU = "src/platform/emu/"
ORDER = ["common", "kernel32", "user32", "ddraw", "test_control"]
# What a screen may include of the platform: its interface and plain types, and
# its own folder's headers.
SCREEN_MAY_INCLUDE = {
    "platform/screen/screen.h",
    "platform/screen/headless/screen_headless.h",
    "convert/pixel_formats.h",
    "platform/emu/common/pixel_format.h",
    "platform/emu/common/keys.h",
    "platform/emu/common/ddraw_types.h",
    "platform/emu/common/windows_types.h",
}
failures = []


def fail(message):
    failures.append(message)


def rank(path):
    """A file's place in the order: its library's index; the screen interface sits with the common part."""
    path = str(path)
    if path.startswith("platform/screen/") or path.startswith("src/platform/screen/"):
        return 0
    for i, library in enumerate(ORDER):
        if f"platform/emu/{library}/" in path:
            return i
    return None


def includes(path):
    return re.findall(r'^#include "([^"]+)"', path.read_text(), re.M)


def find_cycle(graph):
    """A loop in a graph of names, as a list, or None."""
    state = {}

    def visit(node, stack):
        state[node] = 1
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == 1:
                return stack[stack.index(nxt):] + [nxt]
            if nxt not in state:
                found = visit(nxt, stack + [nxt])
                if found:
                    return found
        state[node] = 2
        return None

    for node in sorted(graph):
        if node not in state:
            found = visit(node, [node])
            if found:
                return found
    return None


# --- sources ---
platform_files = sorted(p for p in (SOURCE / "src/platform").rglob("*") if p.suffix in (".h", ".cpp"))
include_graph = {}
for path in platform_files:
    rel = str(path.relative_to(SOURCE / "src"))
    own = rank(rel)
    include_graph[rel] = set()
    for inc in includes(path):
        include_graph[rel].add(inc)
        if "test_control/" in inc and "test_control/" not in rel:
            fail(f"{rel} includes the test control's {inc}")
        own_folder = rel.rsplit("/", 1)[0] + "/"
        if (rel.startswith("platform/screen/") and path.suffix == ".cpp" and inc not in SCREEN_MAY_INCLUDE
                and not (own_folder != "platform/screen/" and inc.startswith(own_folder))):
            fail(f"{rel}, a screen, includes {inc}")
        target = rank(inc)
        if own is not None and target is not None and target > own:
            fail(f"{rel} includes {inc}, of a library after its own")
        if (rel.startswith("platform/emu/common/") and not inc.startswith("platform/emu/common/")
                and inc != "convert/pixel_formats.h"):
            fail(f"{rel}, of the common part, includes {inc}")
ddraw_screen = sorted(f for f, incs in include_graph.items()
                      if f.startswith("platform/emu/ddraw/") and "platform/screen/screen.h" in incs)
if len(ddraw_screen) != 1:
    fail(f"DirectDraw reaches the screen from {len(ddraw_screen)} files, not one: {ddraw_screen}")
# No loop of includes anywhere in the sources, the platform's or the others'.
all_includes = {str(p.relative_to(SOURCE / "src")): set(includes(p))
                for p in (SOURCE / "src").rglob("*") if p.suffix in (".h", ".cpp")}
cycle = find_cycle({f: {i for i in incs if i in all_includes} for f, incs in all_includes.items()})
if cycle:
    fail("headers include each other in a loop: " + " -> ".join(cycle))
for path in sorted((SOURCE / "src/display").glob("*")):
    for inc in includes(path):
        if inc.startswith("platform/") and inc != "platform/platform.h":
            fail(f"src/display/{path.name} includes {inc}, not the one platform header")
    # C++ linkage for C callers is the one condition; none is per platform.
    for cond in re.findall(r"^\s*#\s*(?:if|ifdef|ifndef|elif)\b(.*)$", path.read_text(), re.M):
        if cond.strip() != "__cplusplus":
            fail(f"src/display/{path.name} has a conditional: {cond.strip()}")


# --- objects: who calls whom ---
def symbols(obj):
    out = subprocess.run(["nm", str(obj)], capture_output=True, text=True, check=True).stdout
    defined, undefined = set(), set()
    for line in out.splitlines():
        parts = line.split()
        if len(parts) == 2 and parts[0] == "U":
            undefined.add(parts[1])
        elif len(parts) == 3 and parts[1] in "TDBR":
            defined.add(parts[2])
    return defined, undefined


objects, object_paths = {}, {}
for directory in ("platform_emu.dir", "platform_test_control.dir"):
    for obj in (BUILD / "src/CMakeFiles" / directory).rglob("*.o"):
        rel = str(obj.relative_to(BUILD / "src/CMakeFiles" / directory)).removesuffix(".o")
        objects[rel] = symbols(obj)
        object_paths[rel] = obj
if len(objects) < 20:
    fail(f"found only {len(objects)} objects of the emulation under {BUILD}")
owner = {symbol: rel for rel, (defined, _) in objects.items() for symbol in defined}
call_graph = {}
for rel, (_, undefined) in objects.items():
    call_graph[rel] = {owner[s] for s in undefined if s in owner and owner[s] != rel}
    for target in call_graph[rel]:
        if rank(target) > rank(rel):
            names = sorted(s for s in undefined if owner.get(s) == target)
            fail(f"{rel} calls {target}, of a library after its own: {names[:3]}")

# Code defined in a header (inline members) belongs to no object, and the
# compiler may leave no symbol of it: the header is a node of its own, calling
# the objects that define what its inline bodies call, and called by each
# source that includes it and calls one of those bodies.
def inline_bodies(text):
    """The names a header defines with a body, and the names called in those bodies."""
    defined, called = set(), set()
    for m in re.finditer(r"(~?\w+)\s*\([^;{}]*\)\s*(?:const\s*)?(?:noexcept\s*)?(?:override\s*)?(?::[^;{}]*)?\{", text):
        depth, end = 1, m.end()
        while depth and end < len(text):
            depth += {"{": 1, "}": -1}.get(text[end], 0)
            end += 1
        defined.add(m.group(1))
        called |= set(re.findall(r"\b(\w+)\s*\(", text[m.end():end]))
    return defined, called


by_base = {}
for rel, path in object_paths.items():
    out = subprocess.run(["nm", "-C", "--defined-only", str(path)], capture_output=True, text=True, check=True).stdout
    for line in out.splitlines():
        parts = line.split(maxsplit=2)
        if len(parts) == 3 and parts[1] in "TDBR":
            by_base.setdefault(parts[2].split("(")[0].split("::")[-1], set()).add(rel)
for path in platform_files:
    if path.suffix != ".h":
        continue
    header = str(path.relative_to(SOURCE / "src"))
    defined, called = inline_bodies(path.read_text())
    call_graph[header] = {o for name in called - defined for o in by_base.get(name, ())}
    for rel in object_paths:
        source = SOURCE / "src" / rel
        if source.exists() and header in include_graph.get(rel, ()):
            if defined & set(re.findall(r"\b(\w+)\s*\(", source.read_text())):
                call_graph[rel].add(header)
cycle = find_cycle(call_graph)
if cycle:
    fail("files call each other in a loop: " + " -> ".join(cycle))

# --- what is shipped carries no test control ---
shipped = [BUILD / "src/picture", BUILD / "examples/sketch/sketch", BUILD / "src/libpicture-display-static.a",
           BUILD / "src/libpicture-display-convert.a", BUILD / "src/libpicture-display-platform.a",
           BUILD / "src/libpicture-display.so"]
for path in shipped:
    if not path.exists():
        fail(f"{path} was not built")
        continue
    out = subprocess.run(["nm", "-C", str(path)], capture_output=True, text=True, check=True).stdout
    carried = sorted({line.split()[-1] for line in out.splitlines()
                      if re.search(r" [TtDdBbRrWw] .*emu_test_", line)})
    if carried:
        fail(f"{path.name} carries the test control: {carried[:3]}")

for message in failures:
    print("FAIL", message)
print(f"{len(include_graph)} files, {len(objects)} objects, {len(shipped)} shipped binaries checked: "
      f"{len(failures)} problems")
sys.exit(1 if failures else 0)
