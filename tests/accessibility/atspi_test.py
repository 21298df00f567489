#!/usr/bin/python3
"""Each window of the program as assistive technology meets it, through the
real AT-SPI stack: started under Xvfb on this session bus (run under
dbus-run-session), it fails on an interactive control without a name, on a
Tab or Shift+Tab cycle that does not come back to its start within the
window's controls plus a few, on a painted widget without a name, a
description or children, and on a window read as a filler.

Usage: atspi_test.py PROGRAM STANDIN DEMO_ARCHIVE_TOOL
Exit 77 (skipped) when Xvfb, xdotool or pyatspi is missing."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

try:
    import pyatspi
except ImportError:
    print("pyatspi is missing (scripts/install-deps.sh installs python3-pyatspi)")
    sys.exit(77)

# name, switches that open it (None: no way without a mouse), its title, checked.
WINDOWS = [
    ("Main", [], r"^TavikRepView", True),
    ("Reach", ["/REACH"], r"^Reach", True),
    ("Compare", ["/COMPARE"], r"^Compare", True),
    # The Alerts window and the alert settings open from the report list's
    # menu, whose last entries are "Alerts...", "Settings..." and "Quit".
    ("Alerts", ["menu", 3], r"^Alerts", True),
    ("Alert settings", ["menu", 2], r"^Settings", True),
]

CALLSIGN, LOCATOR, REFERENCE = "N0CALL", "IO91wm", "N0CALL/P"
INTERACTIVE = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON,
    pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_LIST,
    pyatspi.ROLE_SLIDER, pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_CHART,
}
# Their items are read, not walked: a map has thousands.
LEAVES = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_LIST, pyatspi.ROLE_CHART,
          pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_SCROLL_BAR}


def wait_for(what, seconds=30):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            found = what()
        except Exception:  # the tree changes under us while the program starts
            found = None
        if found:
            return found
        time.sleep(0.2)
    return None


def walk(node, path=()):
    """(path, accessible) of every showing accessible below node."""
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None or not child.getState().contains(pyatspi.STATE_SHOWING):
            continue
        yield path + (i,), child
        if child.getRole() not in LEAVES:
            yield from walk(child, path + (i,))


def describe(node):
    return f"{node.getRoleName()} '{node.name}'"


def find_window(title):
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.name != "TavikRepView":
            continue
        for window in app:
            if window is not None and re.search(title, window.name or ""):
                return window
    return None


def focused_path(window):
    for path, node in walk(window):
        if node.getState().contains(pyatspi.STATE_FOCUSED):
            return path
    return None


def tab_cycle(window, key, limit, display):
    """The number of presses of key until the focus is back where it started; None: never."""
    start = wait_for(lambda: focused_path(window), 5)
    if start is None:
        return None, "nothing has the focus"
    seen = []
    for presses in range(1, limit + 1):
        subprocess.run(["xdotool", "key", "--clearmodifiers", key], env=display, check=True)
        time.sleep(0.15)
        now = wait_for(lambda: focused_path(window), 3)
        seen.append(now)
        if now == start:
            return presses, ""
    return None, f"focus went {seen}"


def open_from_menu(display, ups, title):
    """Opens a window from the report list's menu: a right click on the list,
    then up from the bottom of the menu, and Return."""
    def xdotool(*args):
        return subprocess.run(["xdotool", *args], env=display, capture_output=True, text=True).stdout.split()
    main = wait_for(lambda: xdotool("search", "--onlyvisible", "--name", r"^TavikRepView .*Version"))
    for _ in range(3):  # the list may not take the click while the window still comes up
        if not main or xdotool("search", "--onlyvisible", "--name", title):
            return
        xdotool("mousemove", "--window", main[0], "150", "150", "click", "3")
        if wait_for(lambda: len(xdotool("search", "--onlyvisible", "--name", ".*")) > 1, 5):
            xdotool("key", *(["Up"] * ups), "Return")
        wait_for(lambda: xdotool("search", "--onlyvisible", "--name", title), 5)


def check_window(window, display):
    problems = []
    if window.getRole() == pyatspi.ROLE_FILLER:
        problems.append(f"the window '{window.name}' is read as a filler")
    controls = 0
    charts = 0
    for _, node in walk(window):
        role, state = node.getRole(), node.getState()
        if role in INTERACTIVE and state.contains(pyatspi.STATE_FOCUSABLE):
            controls += 1
            if not (node.name or "").strip():
                problems.append(f"unnamed {node.getRoleName()}")
        if role == pyatspi.ROLE_CHART:
            charts += 1
            if not node.name or not node.description or node.childCount == 0:
                problems.append(f"{describe(node)}: name, description '{node.description}', "
                                f"{node.childCount} children")
            elif not node.getChildAtIndex(0).name:
                problems.append(f"{describe(node)}: an unnamed item")
        # A text edit's own viewport is a bare filler in Qt: its text is read
        # through the edit.
        elif (role == pyatspi.ROLE_FILLER and node.childCount == 0 and not node.name
              and node.parent.getRole() != pyatspi.ROLE_TEXT):
            box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            if box.width > 100 and box.height > 100:
                problems.append(f"a bare filler of {box.width}x{box.height} in {describe(node.parent)}: a painted widget that says nothing?")
    limit = controls + 3
    for key in ("Tab", "shift+Tab"):
        presses, why = tab_cycle(window, key, limit, display)
        if presses is None:
            problems.append(f"{key} does not come back to its start within {limit} presses: {why}")
    return controls, charts, problems


def main():
    program, standin, demo_archive = sys.argv[1:4]
    for tool in ("Xvfb", "xdotool"):
        if not shutil.which(tool):
            print(f"{tool} is missing (scripts/install-deps.sh installs it)")
            return 77
    scratch = tempfile.mkdtemp(prefix="tavik-atspi.")
    started = []
    try:
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0", "1280x1000x24"],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        started.append(xvfb)
        display = dict(os.environ, DISPLAY=":" + xvfb.stdout.readline().decode().strip())
        standin_log = open(os.path.join(scratch, "standin.log"), "w+")
        started.append(subprocess.Popen([standin, "--callsign", CALLSIGN, "--demo-locator", LOCATOR,
                                         "--reference", REFERENCE, "--echo", "203.0.113.7"],
                                        stdout=standin_log, stderr=subprocess.STDOUT))
        service = wait_for(lambda: "TAVIK_CA_FILE=" in open(standin_log.name).read() and open(standin_log.name).read(), 10)
        if not service:
            print("the stand-in service did not start")
            return 1
        env = dict(display, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                   TAVIK_LOCAL_ADDRESS="192.0.2.1", XDG_CONFIG_HOME=os.path.join(scratch, "config"),
                   # The single-instance lock lives here: another copy elsewhere
                   # (a test beside this one) must not make this one a second copy.
                   XDG_RUNTIME_DIR=os.path.join(scratch, "runtime"))
        env.update(line.split("=", 1) for line in service.splitlines() if line.startswith("TAVIK_"))
        os.makedirs(os.path.join(scratch, "config"))
        os.makedirs(os.path.join(scratch, "runtime"), mode=0o700)
        files = os.path.join(scratch, "files")
        os.makedirs(files)
        with open(os.path.join(scratch, "config", "WSJT-X.ini"), "w") as f:
            f.write(f"[Configuration]\nMyCall={CALLSIGN}\nMyGrid={LOCATOR}\n")
        with open(os.path.join(scratch, "config", "Orlix.ini"), "w") as f:
            f.write(f"[Orlix]\nTavikCompareCalls={REFERENCE}\n")
        subprocess.run([demo_archive, os.path.join(files, "TavikArchive.sqlite"), CALLSIGN, LOCATOR, "24", REFERENCE],
                       check=True, stdout=subprocess.DEVNULL)

        failed = False
        for name, switches, title, checked in WINDOWS:
            if not checked or switches is None:
                print(f"{name}: not checked")
                continue
            from_menu = switches[:1] == ["menu"]
            run = subprocess.Popen([program, "/NOTIFYOFF", *([] if from_menu else switches)], cwd=files, env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                if from_menu:
                    open_from_menu(display, switches[1], title)
                window = wait_for(lambda: find_window(title))
                if window is None:
                    print(f"{name}: FAIL, no window titled {title} on the accessibility bus")
                    failed = True
                    continue
                # Its figures are in once its painted widgets have items, if it has any.
                wait_for(lambda: all(n.childCount > 0 for _, n in walk(window) if n.getRole() == pyatspi.ROLE_CHART),
                         20)
                # No window manager: the X focus is given straight to the window.
                ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title], env=display,
                                     capture_output=True, text=True).stdout.split()
                for xid in ids[:1]:
                    subprocess.run(["xdotool", "windowfocus", xid], env=display, stderr=subprocess.DEVNULL)
                controls, charts, problems = check_window(window, display)
                verdict = "FAIL" if problems else "ok"
                print(f"{name}: {verdict}, {controls} controls, {charts} maps and charts")
                for p in problems:
                    print(f"  {p}")
                failed = failed or bool(problems)
            finally:
                run.terminate()
                try:
                    run.wait(10)
                except subprocess.TimeoutExpired:
                    run.kill()
                    run.wait()
        return 1 if failed else 0
    finally:
        for process in reversed(started):
            process.terminate()
            process.wait()
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
