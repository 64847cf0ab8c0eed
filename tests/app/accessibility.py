#!/usr/bin/python3
# Reads Zandrel's windows through AT-SPI, as Orca reads them, and fails when a
# screen reader could not tell its controls apart or reach them:
# - a control that takes the focus has no name, or two shown controls share one;
# - a label is not tied to the control beside it (that control's name is then
#   not the label's text), or a link is not a link that takes the focus;
# - Tab does not visit every shown control once, in the window's order, or
#   Space and Enter on the privacy link do not open the privacy window alone;
# - the help window's contents, index and page have no names, or it does not
#   open and close by keys alone.
#
#   accessibility.py TAB-ORDER-NAME...   (the names Tab must visit, in order)
#
# Keys go in through xdotool; the program runs already, on the X server and
# accessibility bus this process is given (see accessibility.sh). With
# ZANDREL_PRINT_TREE set it prints the focusable controls' roles and names.
import os
import subprocess
import sys
import time

import pyatspi

failures = []


def fail(text):
    failures.append(text)
    print("FAIL:", text)


def wait_for(find, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.1)
    return None


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "80", *names], check=True)
    time.sleep(0.4)


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Zandrel":
            return app
    return None


def window(title):
    app = application()
    if app is None:
        return None
    for child in app:
        if child is not None and child.name == title and child.getState().contains(pyatspi.STATE_SHOWING):
            return child
    return None


def shown(accessible):
    states = accessible.getState()
    return states.contains(pyatspi.STATE_SHOWING) and states.contains(pyatspi.STATE_VISIBLE)


def controls(root):
    """The shown objects under root, but the entries of lists and menus."""
    found = []

    def walk(accessible):
        for child in accessible:
            if child is None or not shown(child):
                continue
            found.append(child)
            if child.getRole() not in (pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_MENU_BAR, pyatspi.ROLE_LIST,
                                       pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TABLE):
                walk(child)

    walk(root)
    return found


def focusable(accessible):
    return accessible.getState().contains(pyatspi.STATE_FOCUSABLE)


def focused(root):
    for accessible in controls(root):
        if accessible.getState().contains(pyatspi.STATE_FOCUSED):
            return accessible
    return None


def targets(accessible, relation_type):
    for relation in accessible.getRelationSet():
        if relation.getRelationType() == relation_type:
            return [relation.getTarget(i) for i in range(relation.getNTargets())]
    return []


def spoken_name(accessible):
    """What a screen reader calls a control. On Linux a list's own name is the
    entry it shows (GTK's lists do the same), so a list goes by the label
    tied to it; anything else by its own name, or its label when it has none."""
    labels = [label.name.rstrip(":") for label in targets(accessible, pyatspi.RELATION_LABELLED_BY)
              if label.name.strip()]
    if accessible.getRole() == pyatspi.ROLE_COMBO_BOX or not accessible.name.strip():
        return labels[0] if labels else accessible.name
    return accessible.name


def describe(accessible):
    return f"{accessible.getRoleName()} '{spoken_name(accessible)}'"


def check_names(root, where):
    """Checks the names under root; returns the roles of the named controls
    that take the focus."""
    named = {}
    for accessible in controls(root):
        name = spoken_name(accessible).strip()
        if focusable(accessible):
            if not name:
                fail(f"{where}: a {accessible.getRoleName()} that takes the focus has no name")
            if os.environ.get("ZANDREL_PRINT_TREE"):
                print(f"  {where}: {describe(accessible)}")
        # A tab list is named after its current tab, whose name it repeats.
        if name and accessible.getRole() not in (pyatspi.ROLE_LABEL, pyatspi.ROLE_PAGE_TAB_LIST):
            named.setdefault(name, []).append(accessible)
    for name, sharing in named.items():
        if len([a for a in sharing if focusable(a)]) > 1:
            fail(f"{where}: {len(sharing)} controls are all called '{name}'")
    return {a.getRole() for sharing in named.values() for a in sharing if focusable(a)}


def check_labels_and_links(root):
    for accessible in controls(root):
        text = accessible.name
        if text in ("Privacy Policy", "About"):
            if accessible.getRole() != pyatspi.ROLE_LINK or not focusable(accessible):
                fail(f"'{text}' is a {accessible.getRoleName()}"
                     f"{'' if focusable(accessible) else ' that Tab cannot reach'}, not a link")
        elif accessible.getRole() == pyatspi.ROLE_LABEL and text.endswith(":"):
            tied = targets(accessible, pyatspi.RELATION_LABEL_FOR)
            if not tied:
                fail(f"the label '{text}' is tied to no control")
            elif spoken_name(tied[0]) != text.rstrip(":"):
                fail(f"the control of the label '{text}' is called '{spoken_name(tied[0])}'")


def check_tab_order(root, expected):
    visited = []
    first = focused(root)
    for _ in range(len(expected) + 1):
        now = focused(root)
        name = spoken_name(now) if now else "(nothing)"
        visited.append(name)
        keys("Tab")
        # A busy machine may tell of the move late.
        wait_for(lambda: (moved := focused(root)) is not None and spoken_name(moved) != name, 5)
    # Tab runs round the window: from wherever it started, the names come in
    # the window's order, each once, and the round closes where it began.
    if first is None or spoken_name(first) not in expected:
        fail(f"the focus starts on {describe(first) if first else 'nothing'}")
        return
    start = expected.index(spoken_name(first))
    wanted = expected[start:] + expected[:start] + [spoken_name(first)]
    if visited != wanted:
        fail("Tab visits " + " > ".join(visited) + "\n      instead of " + " > ".join(wanted))


def refocus():
    # Xvfb has no window manager to give the focus back when a window closes.
    subprocess.run(["xdotool", "windowfocus", "--sync", os.environ["ZANDREL_WINDOW"]], check=True)
    time.sleep(0.3)


def check_link_keys(main_window):
    for key in ("space", "Return"):
        for _ in range(40):
            now = focused(main_window)
            if now is not None and spoken_name(now) == "Privacy Policy":
                break
            keys("Tab")
        else:
            fail("Tab never reaches the privacy link")
            return
        keys(key)
        privacy = wait_for(lambda: window("Privacy Policy"), 5)
        if privacy is None:
            fail(f"{key} on the privacy link opens no privacy window")
            continue
        if key == "space":
            check_names(privacy, "privacy window")
        keys("Escape")
        if not wait_for(lambda: window("Privacy Policy") is None, 5):
            fail("Escape does not close the privacy window")
        refocus()
        if window("Bracket Created") is not None:
            fail(f"{key} on the privacy link made a bracket too")
            keys("Return")


def check_help():
    keys("alt+h")
    keys("Return")
    viewer = wait_for(lambda: window("Zandrel Help"))
    if viewer is None:
        fail("Help Topics, chosen by keys, shows no window 'Zandrel Help'")
        return
    time.sleep(1)
    roles = check_names(viewer, "help")
    keys("ctrl+Tab")
    roles |= check_names(viewer, "help, Index tab")
    for role, what in ((pyatspi.ROLE_TREE, "contents"), (pyatspi.ROLE_LIST, "index")):
        if role not in roles:
            fail(f"the help window's {what} has no name")
    keys("Escape")
    if not wait_for(lambda: window("Zandrel Help") is None, 5):
        fail("Escape does not close the help window")


def main():
    expected = sys.argv[1:]
    main_window = wait_for(lambda: window("Zandrel"), 60)
    if main_window is None:
        fail("no window 'Zandrel' on the accessibility bus")
        return
    time.sleep(1)
    check_names(main_window, "main window")
    check_labels_and_links(main_window)
    check_tab_order(main_window, expected)
    check_link_keys(main_window)
    check_help()


main()
sys.exit(1 if failures else 0)
