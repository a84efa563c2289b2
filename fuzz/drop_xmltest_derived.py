#!/usr/bin/env python3
"""Takes out of a fuzz corpus every input that may derive from James Clark's XMLTEST collection.

XMLTEST's notice lets it be passed on only as its own unchanged archive, so no input made from
its documents may be committed. An input is taken out when it shares ten bytes with one of
XMLTEST's documents (as they stand and with any document type declaration cut off) that appear
in no document of the suite's other collections and of this project.

usage: fuzz/drop_xmltest_derived.py SUITE_DIR CORPUS_DIR [--dry-run]
  SUITE_DIR is a copy of the W3C XML Conformance Test Suite (the folder holding xmltest/).
"""
import pathlib
import sys

SPAN = 10
PROJECT = pathlib.Path(__file__).resolve().parent.parent


def without_doctype(text: bytes) -> bytes:
    start = text.find(b"<!DOCTYPE")
    if start < 0:
        return text
    depth = 0
    for at in range(start, len(text)):
        c = text[at:at + 1]
        if c == b"[":
            depth += 1
        elif c == b"]":
            depth -= 1
        elif c == b">" and depth <= 0:
            return text[:start] + text[at + 1:]
    return text[:start]


def spans(text: bytes) -> set:
    return {text[i:i + SPAN] for i in range(len(text) - SPAN + 1)}


def files(root: pathlib.Path):
    return (p for p in root.rglob("*") if p.is_file() and p.stat().st_size < 2_000_000)


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    suite, corpus = pathlib.Path(argv[1]), pathlib.Path(argv[2])
    dry_run = "--dry-run" in argv[3:]
    if not (suite / "xmltest").is_dir():
        sys.exit(f"{suite}/xmltest is not there")
    theirs = set()
    for path in files(suite / "xmltest"):
        text = path.read_bytes()
        theirs |= spans(text) | spans(without_doctype(text))
    others = [suite / d for d in sorted(p.name for p in suite.iterdir() if p.is_dir())
              if d != "xmltest"]
    for root in others + [PROJECT / "tests", PROJECT / "examples", PROJECT / "docs"]:
        for path in files(root):
            theirs -= spans(path.read_bytes())
    dropped = 0
    for path in sorted(corpus.iterdir()):
        if path.is_file() and spans(path.read_bytes()) & theirs:
            print(path.name)
            dropped += 1
            if not dry_run:
                path.unlink()
    print(f"{dropped} of {sum(1 for _ in corpus.iterdir()) + (0 if dry_run else dropped)} "
          f"inputs {'would be ' if dry_run else ''}taken out", file=sys.stderr)


if __name__ == "__main__":
    main(sys.argv)
