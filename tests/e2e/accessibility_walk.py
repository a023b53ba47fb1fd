"""Walks the tray window and its dialogs in Pellora's accessible tree over AT-SPI, as a screen reader meets
them; prints one FAIL line and exits non-zero at the first thing wrong."""
import sys
import time

import pyatspi as R
from gi.repository import GLib

BUTTON, CHECK, LABEL, TEXT = R.ROLE_PUSH_BUTTON, R.ROLE_CHECK_BOX, R.ROLE_LABEL, R.ROLE_TEXT
FOCUSABLE, CHECKED, SHOWING = R.STATE_FOCUSABLE, R.STATE_CHECKED, R.STATE_SHOWING
# Each window's controls as (role, name, {state: whether it holds}), each showing exactly once; the window is
# found by its first.
TRAY = [(BUTTON, name, {FOCUSABLE: True}) for name in ("上传", "角色库", "关闭")]
WELCOME = [(CHECK, "开启时自动启动", {CHECKED: False}), (BUTTON, "确认", {}), (BUTTON, "稍后", {})]
PICKER = [(BUTTON, "Random luck", {})]
FORM = [(BUTTON, "上传到 GitHub", {}), (LABEL, "填完再上传就好", {})] + [
    (TEXT, name, {}) for name in ("Nickname", "Email", "职业名", "日程 (遵循 Excel 规格)")]


def fail(message):
    sys.exit("FAIL: " + message)


def until(what, probe, timeout=5):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        try:
            if found := probe():
                return found
        except Exception:  # objects come and go while they are walked
            pass
        time.sleep(0.2)
    fail(what)


def has(node, state):
    return node.getState().contains(state)


def showing(node, role, name=None):
    return R.findAllDescendants(
        node, lambda n: n.getRole() == role and has(n, SHOWING) and (name is None or n.name == name))


def opened(root, table, what):
    """The showing top-level window holding the table's first control, and its controls by name."""
    win = until(what, lambda: next(w for w in root if w and has(w, SHOWING) and showing(w, *table[0][:2])), 20)
    controls = {}
    for role, name, states in table:
        found = showing(win, role, name)
        if len(found) != 1 or any(has(found[0], s) != holds for s, holds in states.items()):
            fail(f"{len(found)} showing {R.Role(role).value_nick} named {name!r}, or not in the states {states}")
        controls[name] = found[0]
    return win, controls


def press(node, what=None, probe=None):
    node.queryAction().doAction(0)
    return probe and until(what, probe)


def heard_after(action, timeout=20):
    """The first new name or description of the focused control after `action` (Qt sends the object, not
    the text: it is read back, as a client does)."""
    heard = []

    def listen(event):
        if has(event.source, R.STATE_FOCUSED):
            heard.append(event.source.description if event.type.endswith("description") else event.source.name)
            R.Registry.stop()

    R.Registry.registerEventListener(
        listen, "object:property-change:accessible-name", "object:property-change:accessible-description")
    GLib.timeout_add(100, lambda: action() and False)
    GLib.timeout_add_seconds(timeout, R.Registry.stop)
    R.Registry.start()
    return heard


def windows(root):
    _, commands = opened(root, TRAY, "no window with the tray's commands")
    welcome, options = opened(root, WELCOME, "no welcome dialog")
    if welcome.getRole() != R.ROLE_DIALOG:
        fail("the welcome option is not in a dialog")
    press(options["开启时自动启动"], "ticking the welcome option is not told",
          lambda: has(options["开启时自动启动"], CHECKED))
    # The autostart folder cannot be made (accessibility.sh): the refusal is told, and the dialog stays.
    refused = "Failed to enable launch at startup: "
    press(options["确认"], "a refused 确认 is not told",
          lambda: any(label.name.startswith(refused) for label in showing(welcome, LABEL)))
    press(options["稍后"], "稍后 left the welcome dialog open", lambda: not has(welcome, SHOWING))

    press(commands["角色库"])
    picker, _ = opened(root, PICKER, "角色库 opened no picker")
    rows = showing(picker, CHECK)
    if len(rows) < 2 or not all(r.name and r.description and has(r, FOCUSABLE) for r in rows):
        fail("picker rows lack a title, a summary or the focus")
    if [has(r, CHECKED) for r in rows].count(True) != 1:
        fail("not exactly one picker row is told as the selected role")
    closers = showing(picker, BUTTON, "关闭")
    if len(closers) != 2 or not all(has(c, FOCUSABLE) for c in closers):
        fail("the picker's two close buttons are not both named and reachable")
    press(closers[0], "关闭 left the picker open", lambda: not has(picker, SHOWING))

    press(commands["上传"])
    form, controls = opened(root, FORM, "上传 opened no form")
    controls["Nickname"].queryEditableText().setTextContents("小林")
    controls["日程 (遵循 Excel 规格)"].queryEditableText().setTextContents("08:00-09:00 | 上班 | 平静 | 公司 | 3 | 独处")
    upload = controls["上传到 GitHub"]
    upload.queryComponent().grabFocus()
    until("the upload button takes no focus", lambda: has(upload, R.STATE_FOCUSED))
    heard = heard_after(lambda: press(upload))
    status = [s.name for s in showing(form, LABEL) if s.name in heard]
    if not heard or not status or status[0] == "填完再上传就好":
        fail(f"the upload's outcome never reached the focused control (heard {heard})")


desktop = R.Registry.getDesktop(0)
root = until("Pellora never showed up on the accessibility bus",
             lambda: next(a for a in desktop if a is not None and a.name == "Pellora"), 30)
windows(root)
