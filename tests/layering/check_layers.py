#!/usr/bin/env python3
"""Holds src/ against its layers, src/layers.txt: every include of a folder of
ours, and every library's link list as the build closed it (the file
vantrelle_write_links writes at configure time).

usage: check_layers.py SRC_DIR LINKS_FILE
"""
import re
import sys
from pathlib import Path

TABLE = "src/layers.txt"
SOURCE_SUFFIXES = {".h", ".hh", ".hpp", ".hxx", ".inl", ".ipp", ".tpp",
                   ".c", ".cc", ".cpp", ".cxx"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]*)[>"]')


class Layer:
    def __init__(self, line, uses, qt):
        self.line, self.uses, self.qt = line, uses, qt

    def may_use(self, folder):
        words = " ".join(self.uses) if self.uses else "no folder of ours"
        return f"{TABLE}:{self.line} lets {folder} use {words}"

    def may_link(self, folder):
        return f"{TABLE}:{self.line} lets {folder} link Qt {' '.join(sorted(self.qt)) or 'nothing'}"


def read_table(path, problems):
    layers = {}
    for number, text in enumerate(path.read_text().splitlines(), 1):
        fields = [field.split() for field in text.split("#", 1)[0].split("|")]
        if fields == [[]]:
            continue
        if len(fields) != 3 or len(fields[0]) != 1:
            problems.append(f"{TABLE}:{number}: not 'folder | may use | Qt modules'")
            continue
        (folder,), uses, qt = fields
        uses = list(layers) if uses == ["*"] else [u for u in uses if u != "-"]
        where = f"{TABLE}:{number}: {folder}"
        for used in uses:
            if used not in layers:
                problems.append(f"{where} may use only folders above it, not {used}")
                continue
            # What a used folder uses comes along through its library.
            for missing in [u for u in layers[used].uses if u not in uses]:
                problems.append(f"{where} uses {used}, so it must use {missing} too")
            for missing in sorted(layers[used].qt - set(qt)):
                problems.append(f"{where} uses {used}, so it must allow Qt {missing} too")
        layers[folder] = Layer(number, uses, set(qt) - {"-"})
    return layers


def read_links(path):
    """{library: (directory under src, [what it links])}"""
    libraries = {}
    for text in path.read_text().splitlines():
        if text.strip() and not text.startswith("#"):
            head, _, links = text.partition(":")
            directory, library = head.split()
            libraries[library] = (directory, links.split())
    return libraries


def check_links(libraries, layers, problems):
    for library, (directory, links) in libraries.items():
        folder = directory.split("/")[0]
        where = f"src/{directory}/CMakeLists.txt: {library}"
        if folder not in layers:
            problems.append(f"{where}: src/{folder} has no line in {TABLE}")
            continue
        layer = layers[folder]
        for link in links:
            if link.startswith("?"):
                problems.append(f"{where} links {link[1:]}, whose links cannot be read from src/: "
                                "make that imported target GLOBAL where it is found")
            elif link.startswith("Qt6::"):
                if link[len("Qt6::"):] not in layer.qt:
                    problems.append(f"{where} links {link}, itself or through its links; "
                                    + layer.may_link(folder))
            elif link not in libraries:
                problems.append(f"{where} links {link}, which is no library of src/")
            else:
                used = libraries[link][0].split("/")[0]
                if used != folder and used not in layer.uses:
                    problems.append(f"{where} links {link} (src/{used}), itself or through "
                                    "its links; " + layer.may_use(folder))


def linked_folders(directory, libraries):
    """The libraries' folder made in directory, or in the nearest folder above
    it that makes any, and the folders of ours they link."""
    made = {where for where, _ in libraries.values()}
    while directory not in made and "/" in directory:
        directory = directory.rsplit("/", 1)[0]
    return directory, {libraries[link][0].split("/")[0]
                       for where, links in libraries.values() if where == directory
                       for link in links if link in libraries}


def check_includes(src, layers, libraries, problems):
    folders = sorted(path.name for path in src.iterdir() if path.is_dir())
    ours = set(folders) | set(layers)
    for path in sorted(src.iterdir()):
        if path.is_file() and path.suffix in SOURCE_SUFFIXES:
            problems.append(f"src/{path.name}: a source outside every folder")
    for folder in folders:
        if folder not in layers:
            problems.append(f"src/{folder}: a folder without a line in {TABLE}")
            continue
        for path in sorted((src / folder).rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            name = path.relative_to(src).as_posix()
            made_in, linked = linked_folders(path.parent.relative_to(src).as_posix(), libraries)
            for number, text in enumerate(path.read_text(errors="replace").splitlines(), 1):
                match = INCLUDE.match(text)
                if not match:
                    continue
                quote, target = match.groups()
                shown = quote + target + ('"' if quote == '"' else ">")
                parts = target.split("/")
                if quote == "<" and (len(parts) < 2 or parts[0] not in ours):
                    continue  # the system's and other libraries' headers
                where = f"src/{name}:{number}: "
                if len(parts) < 2 or parts[0] not in ours or ".." in parts:
                    problems.append(where + f"includes {shown}: name the folder under src/, "
                                    "never a relative path")
                elif parts[0] == folder:
                    continue
                elif parts[0] not in layers[folder].uses:
                    problems.append(where + f"{folder} may not include {parts[0]} ({shown}); "
                                    + layers[folder].may_use(folder))
                elif parts[0] not in linked:
                    problems.append(where + f"{folder} includes {parts[0]} ({shown}) but does not "
                                    f"link it: no library made in src/{made_in} links one of "
                                    f"src/{parts[0]}")


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    src, links = Path(argv[1]), Path(argv[2])
    if not links.is_file():
        print(f"{links}: no link lists; configure the build first", file=sys.stderr)
        return 2
    problems = []
    layers = read_table(src / "layers.txt", problems)
    libraries = read_links(links)
    check_includes(src, layers, libraries, problems)
    check_links(libraries, layers, problems)
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} problem(s) against {TABLE}")
        return 1
    print(f"every include and link follows {TABLE}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
