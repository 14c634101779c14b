#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Mutation check of the test suite.

Each mutant below is one small, realistic fault: a literal find/replace on one file under
src/. The find text must occur exactly once, or the script stops: the list has to move
with the code. The source tree is copied into a folder of the script's own
(build-mutate/tree, built in build-mutate/tree/build), so mutating never touches the
working tree and the developer may go on editing meanwhile. For every mutant the copy is
changed, built incrementally, the suite run, and the file put back (always, also when the
script is interrupted). A mutant is killed when a test that passes on the unchanged code
fails on it.

    scripts/mutate.py                 # every mutant
    scripts/mutate.py save-crlf drop-move   # only these
    scripts/mutate.py --list          # the mutants, nothing run
    scripts/mutate.py --out scripts/mutants-after.txt
    scripts/mutate.py --rev main      # the code and tests of a commit
"""

import argparse
import filecmp
import os
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
QSCI_PREFIX = os.environ.get("QUINDO_QSCINTILLA_PREFIX", os.path.join(ROOT, "build", "qscintilla"))
# The packaging rows take minutes and test no behaviour a mutant changes.
EXCLUDE = "deb_package|install_layout"

# (id, file under src/, find, replace, what the fault is)
MUTANTS = [
    # ---- saving
    ("save-crlf", "document/DocumentFile.cpp",
     'constexpr char kLineEnd[] = "\\r\\n";', 'constexpr char kLineEnd[] = "\\n\\n";',
     "a save ends the text with LF LF instead of CR LF"),
    ("save-mode", "document/DocumentFile.cpp",
     "::fchmod(file.handle(), old.st_mode & 07777)", "::fchmod(file.handle(), old.st_mode & 0777)",
     "a save drops the set-ID and sticky bits"),
    ("save-link-truncate", "document/DocumentFile.cpp",
     "        ::ftruncate(target.fd, newSize) != 0 || ::fsync(target.fd) != 0) {",
     "        ::fsync(target.fd) != 0) {",
     "a linked file written in place keeps the old text's tail"),
    ("save-failed-unchanged", "document/Document.cpp",
     "Dialogs::Icon::Exclamation);\n        return false;",
     "Dialogs::Icon::Exclamation);\n        state_.DocChanged = 0;\n        return false;",
     "a failed save marks the document as saved"),
    ("save-cancel-keeps-name", "document/Document.cpp",
     "        // A cancelled dialog leaves no name behind.\n        state_.CurrentFileName.clear();\n",
     "",
     "a cancelled Save As keeps the old name"),
    # ---- loading
    ("load-unchanged", "document/Document.cpp",
     "host_.setCaption(Caption::forPath(path));\n    state_.DocChanged = 0;\n    if (read)",
     "host_.setCaption(Caption::forPath(path));\n    if (read)",
     "a loaded document counts as changed"),
    ("load-link-loop", "document/Document.cpp",
     "if (!read && nameExists(path)) {", "if (!read && QFileInfo(path).exists()) {",
     "a link that cannot be followed is taken as a new name"),
    # ---- prompts
    ("prompt-always", "document/Document.cpp",
     "    if (state_.DocChanged != 1) {\n        return true;",
     "    if (state_.DocChanged != 1 && false) {\n        return true;",
     "an unchanged document is asked about"),
    ("prompt-close-escape", "document/Document.cpp",
     "        if (state_.SaveAnswer != Dialogs::Yes && state_.SaveAnswer != Dialogs::No) {\n"
     "            return false;\n        }\n        if (state_.SaveAnswer == Dialogs::Yes",
     "        if (state_.SaveAnswer == Dialogs::Yes",
     "Escape on the close request's box closes the window"),
    ("prompt-cancel-keeps-changed", "document/Document.cpp",
     "        if (state_.SaveAnswer != Dialogs::Yes && state_.SaveAnswer != Dialogs::No) {\n"
     "            state_.DocChanged = 1;\n        }\n        return false;",
     "        return false;",
     "Cancel on a failed save prompt leaves the document marked unchanged"),
    # ---- the caret rule
    ("caret-bytes", "platform/EditingArea.cpp",
     "target = SendScintilla(SCI_POSITIONRELATIVE, static_cast<unsigned long>(caret),\n"
     "                               -static_cast<long>(characters));",
     "target = caret - static_cast<long>(characters);",
     "the caret steps back in bytes, not characters"),
    ("caret-one-undo", "snippets/TagInsertion.cpp",
     "    area.beginUndoAction();\n    area.setSelText(text);\n    area.endUndoAction();",
     "    area.setSelText({});\n    area.setSelText(text);",
     "an insertion over a selection takes two undo steps"),
    # ---- snippets
    ("snippet-text", "snippets/SnippetCatalogue.cpp",
     '{"mnuitalics", "<I></I>", 4, nullptr},', '{"mnuitalics", "<I></1>", 4, nullptr},',
     "a typo in one snippet's text"),
    ("snippet-stepback", "snippets/SnippetCatalogue.cpp",
     '{"Command15", "<CENTER></CENTER>", 9, nullptr},',
     '{"Command15", "<CENTER></CENTER>", 8, nullptr},',
     "one snippet's caret lands one character off"),
    ("snippet-guide-no", "snippets/TagInsertion.cpp",
     "if (guide->insertOnlyOnYes && answer != Dialogs::Yes) {",
     "if (guide->insertOnlyOnYes && answer == Dialogs::Cancel) {",
     "No to the hover-button question still inserts"),
    ("snippet-color", "snippets/TagInsertion.cpp",
     "rightJustified(2, '0').toUpper()", "rightJustified(2, '0')",
     "the colour string comes in lower-case hexadecimal"),
    # ---- clipboard
    ("clip-cut-8bit", "document/DocumentEdit.cpp",
     "return area.isUtf8() ? QString::fromUtf8(bytes) : Cp1252::toText(bytes);",
     "return area.isUtf8() ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);",
     "8-bit text goes to the clipboard as Latin-1"),
    ("clip-not-cleared", "document/DocumentEdit.cpp",
     "    clipboard->clear();\n", "",
     "a put leaves the clipboard's other formats"),
    ("clip-cutall-undo", "document/DocumentEdit.cpp",
     "    text.selectAll();\n    text.setSelText({});",
     "    text.setBytes({});",
     "Cut All cannot be undone"),
    # ---- drops
    ("drop-move", "document/DropLoader.cpp",
     "    if (!(event->possibleActions() & Qt::CopyAction)) {\n        event->ignore();\n"
     "        return false;\n    }\n    event->setDropAction(Qt::CopyAction);",
     "    event->setDropAction(event->possibleActions() & Qt::CopyAction ? Qt::CopyAction\n"
     "                                                                  : Qt::MoveAction);",
     "a move-only drag is accepted as a move"),
    ("drop-ask-empty", "document/Document.cpp",
     "    if (!host_.editingArea().isEmpty()) {\n        switch",
     "    if (true) {\n        switch",
     "a drop on an empty document asks to save"),
    # ---- settings
    ("settings-size", "app/SettingsStore.cpp",
     "constexpr qint64 kLargestStore = 1 << 20;", "constexpr qint64 kLargestStore = 1 << 30;",
     "a huge file is taken as the settings store"),
    ("settings-link", "app/SettingsStore.cpp",
     "return QFileInfo(path).canonicalFilePath();", "return path;",
     "a settings store that is a link is replaced by a file"),
    ("settings-counter", "app/SettingsStore.cpp",
     "    if (count == std::numeric_limits<qint16>::max()) {",
     "    if (count == std::numeric_limits<qint16>::max() && false) {",
     "the start-up count wraps round past its largest value"),
    # ---- preferences
    ("pref-default-size", "app/DisplayPreferences.cpp",
     'QStringLiteral("10"));', 'QStringLiteral("12"));',
     "the default font size is 12"),
    ("pref-browser-folder", "browser/BrowserPreference.cpp",
     'earlier.isEmpty() ? QStringLiteral("/usr/bin")',
     'earlier.isEmpty() ? QStringLiteral("/usr/local/bin")',
     "the browser chooser starts in the wrong folder"),
    # ---- recovery
    ("recovery-kept-on-exit", "document/Document.cpp",
     "    state_.SaveAnswer = DocumentState::kExitConfirmed;\n    recovery_->discard();\n",
     "    state_.SaveAnswer = DocumentState::kExitConfirmed;\n",
     "Exit leaves the recovery copy behind"),
    # ---- the desktop entry
    ("entry-dollar", "browser/EditEntry.cpp",
     "            case '$':\n", "",
     "a '$' in the program's path is not escaped"),
    ("entry-keep-default", "browser/EditEntry.cpp",
     "if (!kept.isEmpty() && kept != desktopId) {", "if (false) {",
     "installing the entry takes over the default application"),
    # ---- the code page
    ("cp-table", "platform/Cp1252.cpp",
     "0x2039, 0x0152,", "0x2039, 0x0153,",
     "one wrong character in the 0x80-0x9F table"),
]


# The test programs most likely to catch a fault in each file, tried first and one at a
# time: a mutant one of them kills needs no other build or run. One they all miss gets the
# whole suite.
HINTS = {
    "document/DocumentFile.cpp": ["test_filesafety", "test_document"],
    "document/Document.cpp": ["test_document", "test_recovery"],
    "document/DocumentEdit.cpp": ["test_platform", "test_document"],
    "document/DropLoader.cpp": ["test_document"],
    "document/Recovery.cpp": ["test_recovery"],
    "snippets/TagInsertion.cpp": ["test_snippets"],
    "snippets/SnippetCatalogue.cpp": ["test_snippets"],
    "platform/EditingArea.cpp": ["test_snippets", "test_platform", "test_app"],
    "platform/Cp1252.cpp": ["test_platform"],
    "app/SettingsStore.cpp": ["test_filesafety", "test_app"],
    "app/DisplayPreferences.cpp": ["test_app"],
    "browser/BrowserPreference.cpp": ["test_browser", "test_document"],
    "browser/EditEntry.cpp": ["test_filesafety", "test_browser"],
}


def run(cmd, cwd, log, timeout=None, env=None):
    with open(log, "a") as out:
        out.write("$ " + " ".join(cmd) + "\n")
        out.flush()
        return subprocess.run(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                              timeout=timeout, env=env).returncode


def sync_tree(src, dst):
    """Copies the working tree into dst, touching only files whose bytes differ, so the
    build stays incremental."""
    skip = {".git", ".cache"}
    seen = set()
    for folder, dirs, files in os.walk(src):
        rel = os.path.relpath(folder, src)
        dirs[:] = [d for d in dirs if d not in skip and not (rel == "." and d.startswith("build"))]
        for name in files:
            s = os.path.join(folder, name)
            d = os.path.join(dst, rel, name)
            seen.add(os.path.normpath(d))
            if os.path.islink(s):
                continue
            if not os.path.exists(d) or not filecmp.cmp(s, d, shallow=False):
                os.makedirs(os.path.dirname(d), exist_ok=True)
                shutil.copy2(s, d)
    for folder, dirs, files in os.walk(dst):
        rel = os.path.relpath(folder, dst)
        dirs[:] = [x for x in dirs if not (rel == "." and x.startswith("build"))]
        for name in files:
            d = os.path.normpath(os.path.join(folder, name))
            if d not in seen:
                os.remove(d)


def targets(tree):
    text = open(os.path.join(tree, "tests", "CMakeLists.txt")).read()
    names = set(re.findall(r"(?:quindo_add_test|add_executable)\((\w+)", text)) - {"name"}
    return ["quindo"] + sorted(set(names))


def ctest(build, log, timeout, only=None):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    temp = os.path.join(build, "Testing", "Temporary")
    for f in ("LastTestsFailed.log", "LastTest.log"):
        p = os.path.join(temp, f)
        if os.path.exists(p):
            os.remove(p)
    select = ["-R", "^(" + "|".join(only) + ")$"] if only else []
    run(["ctest", "-j2", "--timeout", str(timeout), "-E", EXCLUDE] + select, build, log, env=env)
    failed = {}
    p = os.path.join(temp, "LastTestsFailed.log")
    if os.path.exists(p):
        for line in open(p):
            if ":" in line:
                failed[line.strip().split(":", 1)[1]] = set()
    p = os.path.join(temp, "LastTest.log")
    if os.path.exists(p):
        current = None
        for line in open(p, errors="replace"):
            m = re.match(r'\d+/\d+ Test: (\S+)', line)
            if m:
                current = m.group(1)
            m = re.match(r"FAIL!  : \w+::(\w+)", line)
            if m and current in failed:
                failed[current].add(m.group(1))
    return failed


def first_kill(build, log, timeout, programs, baseline):
    """Runs the programs one at a time until one fails that passes on the unchanged code."""
    for program in programs:
        killers = {t: fs for t, fs in ctest(build, log, timeout, [program]).items()
                   if t not in baseline}
        if killers:
            return killers
    return {}


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("ids", nargs="*", help="mutant ids to run (default: all)")
    ap.add_argument("--out", help="also write the table to this file")
    ap.add_argument("--list", action="store_true", help="list the mutants and stop")
    ap.add_argument("--timeout", type=int, default=120, help="per-test timeout, seconds")
    ap.add_argument("--fast", action="store_true",
                    help="try each file's likely test programs first; the whole suite only "
                         "when they all pass (the table then names the first killers found)")
    ap.add_argument("--rev", help="test this commit's tree instead of the working tree")
    ap.add_argument("--work", default=os.path.join(ROOT, "build-mutate"),
                    help="the script's own folder (copy of the tree and its build)")
    args = ap.parse_args()

    ids = [m[0] for m in MUTANTS]
    dup = {i for i in ids if ids.count(i) > 1}
    if dup:
        sys.exit("duplicate mutant ids: %s" % ", ".join(sorted(dup)))
    chosen = [m for m in MUTANTS if not args.ids or m[0] in args.ids]
    unknown = set(args.ids) - set(ids)
    if unknown:
        sys.exit("unknown mutant ids: %s" % ", ".join(sorted(unknown)))
    if args.list:
        for m in chosen:
            print("%-28s %-32s %s" % (m[0], m[1], m[4]))
        return

    source = ROOT
    if args.rev:
        source = os.path.join(args.work, "export")
        shutil.rmtree(source, ignore_errors=True)
        os.makedirs(source)
        archive = subprocess.run(["git", "-C", ROOT, "archive", args.rev], check=True,
                                 stdout=subprocess.PIPE).stdout
        subprocess.run(["tar", "-x", "-C", source], input=archive, check=True)

    # Every find text must be there exactly once before anything is built.
    bad = []
    for mid, rel, find, _, _ in chosen:
        count = open(os.path.join(source, "src", rel)).read().count(find)
        if count != 1:
            bad.append("%s: find text occurs %d times in src/%s" % (mid, count, rel))
    if bad:
        sys.exit("mutant list out of date:\n  " + "\n  ".join(bad))

    tree = os.path.join(args.work, "tree")
    build = os.path.join(tree, "build")
    log = os.path.join(args.work, "mutate.log")
    os.makedirs(tree, exist_ok=True)
    open(log, "w").close()
    sync_tree(source, tree)
    os.environ.setdefault("CCACHE_BASEDIR", "/work")
    os.environ.setdefault("CCACHE_NOHASHDIR", "1")
    if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
        if run(["cmake", "-S", tree, "-B", build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                "-DQUINDO_WERROR=ON", "-DQUINDO_QSCINTILLA_PREFIX=" + QSCI_PREFIX], tree, log):
            sys.exit("configure failed, see " + log)
    build_cmd = ["cmake", "--build", build, "-j2", "--target"] + targets(tree)

    pending = {}  # path -> original text, put back however the script ends

    def restore(*_):
        for path, text in list(pending.items()):
            with open(path, "w") as f:
                f.write(text)
            pending.pop(path)

    def on_signal(sig, _frame):
        restore()
        sys.exit(128 + sig)

    signal.signal(signal.SIGINT, on_signal)
    signal.signal(signal.SIGTERM, on_signal)

    rows = []
    try:
        t0 = time.time()
        if run(build_cmd, tree, log):
            sys.exit("the unchanged code does not build, see " + log)
        baseline = ctest(build, log, args.timeout)
        if baseline:
            print("failing on the unchanged code (not counted as kills): "
                  + ", ".join(sorted(baseline)), file=sys.stderr)
        print("baseline: %.0f s" % (time.time() - t0), file=sys.stderr)
        for mid, rel, find, replace, what in chosen:
            t0 = time.time()
            path = os.path.join(tree, "src", rel)
            text = open(path).read()
            pending[path] = text
            with open(path, "w") as f:
                f.write(text.replace(find, replace, 1))
            hinted = [t for t in HINTS.get(rel, []) if t in targets(tree)] if args.fast else []
            killers = {}
            if hinted and run(["cmake", "--build", build, "-j2", "--target"] + hinted, tree, log):
                result, by = "BUILD FAILED", ""
            elif hinted and (killers := first_kill(build, log, args.timeout, hinted, baseline)):
                result = "killed"
            elif run(build_cmd, tree, log):
                result, by = "BUILD FAILED", ""
            else:
                failed = ctest(build, log, args.timeout)
                # A failure counts once it comes again alone: a test that fails only while
                # the machine is busy (memory or timing) kills nothing.
                killers = {t: fs for t, fs in failed.items() if t not in baseline and
                           t in ctest(build, log, args.timeout, [t])}
                result = "killed" if killers else "SURVIVED"
            if result != "BUILD FAILED":
                by = "; ".join(t + ("(" + ",".join(sorted(fs)) + ")" if fs else "")
                               for t, fs in sorted(killers.items()))
            else:
                by = ""
            restore()
            rows.append((mid, "src/" + rel, what, result, by))
            print("%-28s %-9s %s  [%.0f s]" % (mid, result, by, time.time() - t0),
                  file=sys.stderr)
    finally:
        restore()

    if args.out and args.ids and os.path.exists(args.out):
        # Only some mutants were run: the others keep their rows from the earlier table.
        old_rows = {}
        lines = open(args.out).read().split("\n")
        for first, second in zip(lines[::2], lines[1::2]):
            m = re.match(r"(\S+)\s+(\S+)\s+(killed|SURVIVED|BUILD FAILED)\s*(.*)", first)
            if m:
                old_rows[m.group(1)] = (m.group(1), m.group(2), second.strip(), m.group(3),
                                        m.group(4))
        new_rows = {r[0]: r for r in rows}
        rows = [new_rows.get(m[0], old_rows.get(m[0])) for m in MUTANTS
                if m[0] in new_rows or m[0] in old_rows]
    width = max(len(r[0]) for r in rows) if rows else 10
    lines = ["%-*s  %-30s  %-9s  %s\n%*s  %s" % (width, r[0], r[1], r[3], r[4], width, "", r[2])
             for r in rows]
    killed = sum(1 for r in rows if r[3] == "killed")
    table = "\n".join(lines) + "\n\n%d of %d mutants killed\n" % (killed, len(rows))
    print(table)
    if args.out:
        with open(args.out, "w") as f:
            f.write(table)
    if any(r[3] == "BUILD FAILED" for r in rows):
        sys.exit(2)


if __name__ == "__main__":
    main()
