#!/usr/bin/env python3
"""Reads valgrind memcheck's XML output and reports what it found.

Usage: memcheck_report.py <valgrind.xml> <source root>

Definite leaks and memory errors are listed with their stacks. A finding counts against the
program when a frame of its stack lies in one of the program's own source folders (tests and
third-party code do not count). Exit status: 0 none, 1 some, 2 the XML is missing or unreadable
(valgrind did not finish).
"""
import os
import sys
import xml.etree.ElementTree as ET

# The program's own code: the folders of the source tree that hold it (not tests/).
OWN_FOLDERS = ("app", "barriers", "dialogs", "displays", "live", "platform", "protocol",
               "results", "settings", "widgets")


def source_path(frame, root):
    """The frame's source file as a path below root (program or tests), or None.

    Objects may come from a compiler cache filled in another checkout of the same tree, so the
    recorded folder can name that checkout: the path is matched by its tail within root.
    """
    directory = frame.findtext("dir") or ""
    name = frame.findtext("file") or ""
    if not name:
        return None
    parts = os.path.normpath(os.path.join(directory, name)).split(os.sep)
    for i in range(len(parts)):
        rel = os.path.join(*parts[i:])
        if parts[i] and os.path.isfile(os.path.join(root, rel)):
            return rel
    return None


def own_frame(frame, root):
    rel = source_path(frame, root)
    return rel is not None and rel.split(os.sep)[0] in OWN_FOLDERS


def frame_text(frame, root):
    fn = frame.findtext("fn") or frame.findtext("ip") or "?"
    name = frame.findtext("file")
    line = frame.findtext("line")
    if name:
        where = "%s:%s" % (source_path(frame, root) or name, line or "?")
    else:
        where = frame.findtext("obj") or "?"
    return "%s (%s)" % (fn, where)


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip())
        return 2
    xml_path, root = sys.argv[1], os.path.realpath(sys.argv[2])
    try:
        tree = ET.parse(xml_path)
    except (OSError, ET.ParseError) as e:
        print("memcheck: keine lesbare Ausgabe von valgrind (%s)" % e)
        return 2

    leaks, errors = [], []
    for error in tree.getroot().iter("error"):
        kind = error.findtext("kind") or "?"
        frames = error.find("stack")
        frames = list(frames.iter("frame")) if frames is not None else []
        own = any(own_frame(f, root) for f in frames)
        if kind == "Leak_DefinitelyLost":
            xw = error.find("xwhat")
            leaked = int(xw.findtext("leakedbytes") or 0) if xw is not None else 0
            blocks = int(xw.findtext("leakedblocks") or 0) if xw is not None else 0
            leaks.append((own, leaked, blocks, frames))
        elif not kind.startswith("Leak_"):
            what = error.findtext("what") or (error.find("xwhat").findtext("text")
                                              if error.find("xwhat") is not None else kind)
            errors.append((own, kind, what, frames))

    suppressed = 0
    for pair in tree.getroot().iter("pair"):
        suppressed += int(pair.findtext("count") or 0)

    own_leaks = [l for l in leaks if l[0]]
    own_errors = [e for e in errors if e[0]]
    print("memcheck: definitely lost: %d records, %d bytes in %d blocks; from the program's code: %d"
          % (len(leaks), sum(l[1] for l in leaks), sum(l[2] for l in leaks), len(own_leaks)))
    print("memcheck: memory errors: %d; in the program's code: %d; suppressed (known one-time "
          "allocations of Qt and the system): %d" % (len(errors), len(own_errors), suppressed))

    def show(title, frames):
        print("  " + title)
        for f in frames[:24]:
            mark = "*" if own_frame(f, root) else " "
            print("   %s %s" % (mark, frame_text(f, root)))

    for own, leaked, blocks, frames in leaks:
        show("%s: %d bytes in %d blocks definitely lost" % ("PROGRAM" if own else "other", leaked, blocks),
             frames)
    for own, kind, what, frames in errors:
        show("%s: %s: %s" % ("PROGRAM" if own else "other", kind, what), frames)
    return 1 if own_leaks or own_errors else 0


if __name__ == "__main__":
    sys.exit(main())
