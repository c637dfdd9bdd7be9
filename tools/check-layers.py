#!/usr/bin/env python3
"""Fails when an include reaches up a layer, or when files include each other in a loop.

The folders of src/ are layers, bottom first; a file includes only its own folder
and the folders below it. Folders on one line are siblings and do not include
each other. Benchmarks and the support library never include the test tree.
"""
import re
import sys
from pathlib import Path

LAYERS = [
    ["platform"],
    ["base"],
    ["settings"],
    ["heightmap"],
    ["normalmap"],
    ["geometry"],
    ["engine"],
    ["scene"],
    ["waterscene"],
    ["gui"],
    ["editor"],
    ["app", "batch"],
]
RANK = {folder: rank for rank, row in enumerate(LAYERS) for folder in row}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SOURCES = ("*.cpp", "*.h")


def sources(root, folder):
    base = root / folder
    return sorted(p for pattern in SOURCES for p in base.rglob(pattern)) if base.is_dir() else []


def includes(path):
    return INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace"))


def resolve(root, path, name):
    """The file an include names: beside the includer, else from src/."""
    for candidate in (path.parent / name, root / "src" / name):
        if candidate.is_file():
            return candidate.resolve()
    return None


def layer_errors(root):
    errors = []
    for path in sources(root, "src"):
        folder = path.relative_to(root / "src").parts[0]
        if folder not in RANK:
            errors.append(f"{path.relative_to(root)}: folder '{folder}' is in no layer")
            continue
        for name in includes(path):
            target = name.split("/")[0] if "/" in name else folder
            if target not in RANK or target == folder:
                continue
            if RANK[target] >= RANK[folder]:
                errors.append(f"{path.relative_to(root)}: includes {name}, which is not below '{folder}'")
    for top in ("bench", "support"):
        for path in sources(root, top):
            for name in includes(path):
                if re.match(r"(\.\./)*tests/", name):
                    errors.append(f"{path.relative_to(root)}: includes {name} from the test tree")
    return errors


def loop_errors(root):
    graph = {}
    for path in sources(root, "src"):
        graph[path.resolve()] = [t for t in (resolve(root, path, n) for n in includes(path)) if t]
    state, errors = {}, []

    def visit(node, trail):
        state[node] = "open"
        for target in graph.get(node, []):
            if state.get(target) == "open":
                loop = trail[trail.index(target):] + [target]
                errors.append("include loop: " + " -> ".join(str(p.relative_to(root)) for p in loop))
            elif target not in state:
                visit(target, trail + [target])
        state[node] = "done"

    for node in graph:
        if node not in state:
            visit(node, [node])
    return errors


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent).resolve()
    errors = layer_errors(root) + loop_errors(root)
    for error in errors:
        print(error)
    files = len(sources(root, "src"))
    print(f"{files} files in {len(RANK)} folders: " + ("every include points down" if not errors else
                                                        f"{len(errors)} problem(s)"))
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
