#!/usr/bin/env python3
"""Fails when a file under src/ includes a header from a higher layer.

Usage: check-layers.py [--rules FILE] [--matrix] [SRC_DIR]

The layer order and the allowed back edges are read from scripts/layers.txt
(or --rules). Every offending include is printed as
"file:line: <folder> may not include <header>"; the exit status is 1 when
there is one. --matrix also prints how many includes go from each folder to
each other folder.
"""
import argparse
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".inl")


class Rules:
    def __init__(self, path):
        self.rank = {}
        self.allowed = []  # (set of folders or None for all, header)
        with open(path, encoding="utf-8") as rules:
            for number, line in enumerate(rules, 1):
                fields = line.split()
                if not fields or fields[0].startswith("#"):
                    continue
                where = f"{path}:{number}"
                if fields[0] == "layer" and len(fields) > 1:
                    level = len(set(self.rank.values()))
                    for folder in fields[1:]:
                        self.rank[folder] = level
                elif fields[0] == "allow" and len(fields) >= 4:
                    folders = None if fields[1] == "*" else set(fields[1].split(","))
                    self.allowed.append((folders, fields[2]))
                else:
                    # An allow entry without its reason is refused too.
                    raise SystemExit(f"{where}: expected 'layer FOLDER...' or 'allow FOLDERS HEADER REASON'")

    def permits(self, folder, target_folder, header):
        if folder == target_folder:
            return True
        if folder in self.rank and target_folder in self.rank and self.rank[target_folder] < self.rank[folder]:
            return True
        return any((folders is None or folder in folders) and header == allowed
                   for folders, allowed in self.allowed)


def resolve(src_dir, including_dir, name):
    """The included header as a path relative to src_dir, or None when it is not under it."""
    for base in (including_dir, src_dir):
        candidate = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(candidate):
            relative = os.path.relpath(candidate, src_dir)
            return None if relative.startswith("..") else relative.replace(os.sep, "/")
    return None


def folder_of(relative_path):
    parts = relative_path.split("/")
    return parts[0] if len(parts) > 1 else "."


def scan(src_dir, rules):
    """Yields (file, line, folder, header, target folder, permitted) for every include of a src/ header."""
    for root, dirs, files in os.walk(src_dir):
        dirs.sort()
        for name in sorted(files):
            if not name.endswith(SOURCE_SUFFIXES):
                continue
            path = os.path.join(root, name)
            folder = folder_of(os.path.relpath(path, src_dir).replace(os.sep, "/"))
            with open(path, encoding="utf-8", errors="replace") as source:
                for number, text in enumerate(source, 1):
                    match = INCLUDE.match(text)
                    if not match:
                        continue
                    header = resolve(src_dir, root, match.group(1))
                    if header is None:
                        continue
                    target = folder_of(header)
                    yield path, number, folder, header, target, rules.permits(folder, target, header)


def print_matrix(counts, folders):
    width = max(len(f) for f in folders) + 2
    print("includes from (row) to (column):")
    print(" " * width + "".join(f.rjust(width) for f in folders))
    for source in folders:
        cells = "".join(str(counts.get((source, target), "")).rjust(width) for target in folders)
        print(source.ljust(width) + cells)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("src_dir", nargs="?", default=os.path.join(here, "..", "src"))
    parser.add_argument("--rules", default=os.path.join(here, "layers.txt"))
    parser.add_argument("--matrix", action="store_true")
    options = parser.parse_args()
    if not os.path.isdir(options.src_dir):
        raise SystemExit(f"{options.src_dir}: no such directory")

    rules = Rules(options.rules)
    src_dir = os.path.abspath(options.src_dir)
    # Files are named from the folder above src/, as they are in the repository.
    shown_from = os.path.dirname(src_dir)
    offences = 0
    counts = {}
    folders = set()
    for path, number, folder, header, target, permitted in scan(src_dir, rules):
        folders.update((folder, target))
        if folder != target:
            counts[(folder, target)] = counts.get((folder, target), 0) + 1
        # A folder on no layer is reported once, below, rather than per include.
        if not permitted and folder in rules.rank and target in rules.rank:
            offences += 1
            print(f"{os.path.relpath(path, shown_from)}:{number}: {folder} may not include {header}")
    unknown = sorted(f for f in folders if f not in rules.rank)
    for folder in unknown:
        offences += 1
        print(f"{os.path.relpath(os.path.join(src_dir, folder), shown_from)}: {folder} is on no layer of {options.rules}")
    if options.matrix:
        ordered = sorted(folders, key=lambda f: (rules.rank.get(f, len(rules.rank)), f))
        print_matrix(counts, ordered)
    if offences:
        print(f"{offences} include(s) against the layer order", file=sys.stderr)
    return 1 if offences else 0


if __name__ == "__main__":
    sys.exit(main())
