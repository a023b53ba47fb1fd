"""Walks Pellora's accessible tree over AT-SPI as a screen reader meets it (`strip`, or the tray's `windows`), and
checks names, roles and states; prints one FAIL line and exits non-zero at the first thing wrong."""
import re
import sys
import time

import pyatspi as R
from gi.repository import GLib


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
        node, lambda n: n.getRole() == role and has(n, R.STATE_SHOWING) and (name is None or n.name == name))


def one(node, role, name):
    found = showing(node, role, name)
    if len(found) != 1:
        fail(f"{len(found)} showing {R.Role(role).value_nick} named {name!r} in {node.name!r}")
    return found[0]


def press(node, what=None, probe=None):
    """Presses the control; with a probe, waits until it holds and returns what it found."""
    node.queryAction().doAction(0)
    return probe and until(what, probe)


def window(root, role, name, what):
    """Waits for the showing top-level window holding a control of that role and name."""
    return until(what, lambda: next(w for w in root if w and has(w, R.STATE_SHOWING) and showing(w, role, name)), 20)


def strip(root):
    draw = until("no strip button 换一个", lambda: one(root, R.ROLE_PUSH_BUTTON, "换一个"), 20)
    if any(has(b, R.STATE_FOCUSABLE) for b in (draw, one(root, R.ROLE_PUSH_BUTTON, "角色库"))):
        fail("a strip button takes the keyboard focus")
    panel = R.findAncestor(draw, lambda n: n.getRole() == R.ROLE_PANEL)
    face, title, clock, activity = showing(panel, R.ROLE_LABEL)[:4]
    # What is read, and what it must match: the panel by its title, time and activity, the face as a mood.
    for read, expected in ((panel.name, re.escape(f"{title.name}，{clock.name}，{activity.name}") + "$"),
                           (face.name, "表情：(睡觉|放松|专注|兴奋|慌乱)$"),
                           (panel.description, "心情：.+，地点：.+，精力 [1-5]/5。")):
        if not re.match(expected, read):
            fail(f"the strip reads {read!r}, not {expected!r}")


def heard_after(action, timeout=20):
    """The first new name or description of the focused control after `action` (screen readers present only
    those); Qt sends the object, not the text, so the text is read back from the object, as a client does."""
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
    tray = window(root, R.ROLE_PUSH_BUTTON, "上传", "no window with the tray's commands")
    commands = {name: one(tray, R.ROLE_PUSH_BUTTON, name) for name in ("角色库", "上传", "关闭")}
    if not all(has(c, R.STATE_FOCUSABLE) for c in commands.values()):
        fail("a tray window command is out of reach of the keyboard")

    welcome = window(root, R.ROLE_CHECK_BOX, "开启时自动启动", "no welcome dialog")
    option = one(welcome, R.ROLE_CHECK_BOX, "开启时自动启动")
    if welcome.getRole() != R.ROLE_DIALOG or has(option, R.STATE_CHECKED):
        fail("the welcome option is not an unticked check box in a dialog")
    press(option, "ticking the welcome option is not told", lambda: has(option, R.STATE_CHECKED))
    # The autostart folder cannot be made (accessibility.sh): the refusal is told, and the dialog stays.
    refused = "Failed to enable launch at startup: "
    press(one(welcome, R.ROLE_PUSH_BUTTON, "确认"), "a refused 确认 is not told",
          lambda: any(label.name.startswith(refused) for label in showing(welcome, R.ROLE_LABEL)))
    press(one(welcome, R.ROLE_PUSH_BUTTON, "稍后"), "稍后 left the welcome dialog open",
          lambda: not has(welcome, R.STATE_SHOWING))

    press(commands["角色库"])
    picker = window(root, R.ROLE_PUSH_BUTTON, "Random luck", "角色库 opened no picker")
    rows = showing(picker, R.ROLE_CHECK_BOX)
    if len(rows) < 2 or not all(r.name and r.description and has(r, R.STATE_FOCUSABLE) for r in rows):
        fail("picker rows lack a title, a summary or the focus")
    if [has(r, R.STATE_CHECKED) for r in rows].count(True) != 1:
        fail("not exactly one picker row is told as the selected role")
    closers = showing(picker, R.ROLE_PUSH_BUTTON, "关闭")
    if len(closers) != 2 or not all(has(c, R.STATE_FOCUSABLE) for c in closers):
        fail("the picker's two close buttons are not both named and reachable")
    press(closers[0], "关闭 left the picker open", lambda: not has(picker, R.STATE_SHOWING))

    press(commands["上传"])
    form = window(root, R.ROLE_PUSH_BUTTON, "上传到 GitHub", "上传 opened no form")
    fields = {f.name: f for f in showing(form, R.ROLE_TEXT)}
    if sorted(fields) != sorted(["Nickname", "Email", "职业名", "日程 (遵循 Excel 规格)"]):
        fail(f"the form's fields are named {sorted(fields)}")
    one(form, R.ROLE_LABEL, "填完再上传就好")
    fields["Nickname"].queryEditableText().setTextContents("小林")
    fields["日程 (遵循 Excel 规格)"].queryEditableText().setTextContents("08:00-09:00 | 上班 | 平静 | 公司 | 3 | 独处")
    upload = one(form, R.ROLE_PUSH_BUTTON, "上传到 GitHub")
    upload.queryComponent().grabFocus()
    until("the upload button takes no focus", lambda: has(upload, R.STATE_FOCUSED))
    heard = heard_after(lambda: press(upload))
    status = [s.name for s in showing(form, R.ROLE_LABEL) if s.name in heard]
    if not heard or not status or status[0] == "填完再上传就好":
        fail(f"the upload's outcome never reached the focused control (heard {heard})")


desktop = R.Registry.getDesktop(0)
root = until("Pellora never showed up on the accessibility bus",
             lambda: next(a for a in desktop if a is not None and a.name == "Pellora"), 30)
{"strip": strip, "windows": windows}[sys.argv[1]](root)
