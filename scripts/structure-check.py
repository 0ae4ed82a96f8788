#!/usr/bin/env python3
"""Checks the shape of the tree that no compiler checks.

1. Nested event loops: product code may not gain a processEvents or a
   local QEventLoop. The uses still there are listed, per file, in
   scripts/nested-loops.allowed; a file above its count (or a new file)
   fails. Lower a count whenever a use goes.
2. No include cycle among the modules (a .h/.cpp pair) of app/.
"""
import collections
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PRODUCT = ("app", "platform", "engine", "navkit", "linkimport")
LOOP = re.compile(r"processEvents|QEventLoop")


def sources(folder):
    for d, _, files in os.walk(os.path.join(ROOT, folder)):
        for f in sorted(files):
            if f.endswith((".h", ".cpp")):
                yield os.path.join(d, f)


def nested_loops():
    allowed = {}
    with open(os.path.join(ROOT, "scripts", "nested-loops.allowed")) as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                path, count = line.rsplit(None, 1)
                allowed[path] = int(count)
    faults, total = [], 0
    for folder in PRODUCT:
        for path in sources(folder):
            rel = os.path.relpath(path, ROOT)
            with open(path, encoding="utf-8", errors="replace") as f:
                count = sum(len(LOOP.findall(line)) for line in f)
            total += count
            if count > allowed.get(rel, 0):
                faults.append(f"{rel}: {count} nested event loop uses, {allowed.get(rel, 0)} allowed")
    return faults, total


def include_cycles(folder):
    modules = collections.defaultdict(list)
    for path in sources(folder):
        modules[os.path.splitext(os.path.basename(path))[0]].append(path)
    edges = collections.defaultdict(set)
    include = re.compile(r'#include "(?:.*/)?([^/"]+)\.h"')
    for name, paths in modules.items():
        for path in paths:
            with open(path, encoding="utf-8", errors="replace") as f:
                for line in f:
                    m = include.match(line)
                    if m and m.group(1) in modules and m.group(1) != name:
                        edges[name].add(m.group(1))
    # Tarjan's strongly connected components.
    index, low, stack, on, cycles, counter = {}, {}, [], set(), [], [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on.add(v)
        for w in sorted(edges[v]):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            component = []
            while True:
                w = stack.pop()
                on.discard(w)
                component.append(w)
                if w == v:
                    break
            if len(component) > 1:
                cycles.append(sorted(component))

    sys.setrecursionlimit(10000)
    for v in sorted(modules):
        if v not in index:
            visit(v)
    return [f"{folder}/: include cycle among " + ", ".join(c) for c in cycles]


def main():
    faults, total = nested_loops()
    faults += include_cycles("app")
    for fault in faults:
        print(fault)
    print(f"structure: {total} nested event loop uses left in product code; "
          + ("FAILED" if faults else "no new ones, no include cycle in app/"))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
