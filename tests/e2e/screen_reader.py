"""The runner and the manager read by a real accessibility client, as Orca reads them.

screen_reader.py BIN DEMO, on a D-Bus session of its own and an X display (screen_reader.sh).
Every wait is for a state (a window, an item, a check), never a fixed time; each has a bound.
"""

import os
import re
import shutil
import subprocess
import sys
import time

import pyatspi

BIN, DEMO = sys.argv[1], sys.argv[2]
WORK = os.environ["QUIZ_WORK"]
TEST = "barreja.tgn"


def fail(message):
    print("FALLA: " + message, file=sys.stderr)
    sys.exit(1)


def wait_for(what, find, seconds=30):
    """What find() gives once it gives something, waiting up to `seconds`."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            found = find()
        except Exception:  # an item that went away while it was read: ask again
            found = None
        if found:
            return found
        time.sleep(0.1)
    fail("no s'ha trobat " + what)


def items(root, depth=0):
    """The item and everything under it, depth first."""
    yield root
    if depth > 12:
        return
    for i in range(root.childCount):
        child = root.getChildAtIndex(i)
        if child is not None:
            yield from items(child, depth + 1)


def find(root, role, name=None, starts=None):
    for item in items(root):
        if item.getRoleName() != role:
            continue
        if name is not None and item.name != name:
            continue
        if starts is not None and not item.name.startswith(starts):
            continue
        return item
    return None


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == name and app.childCount > 0:
            return app
    return None


def has(item, state):
    return item.getState().contains(state)


def keys(window_name, *names):
    """Real key presses into the program's window, the one whose title matches."""
    window = wait_for("la finestra «%s»" % window_name, lambda: subprocess.run(
        ["xdotool", "search", "--onlyvisible", "--name", window_name],
        capture_output=True, text=True).stdout.split())
    subprocess.run(["xdotool", "windowfocus", "--sync", window[0]], check=False)
    for key in names:
        subprocess.run(["xdotool", "key", key], check=True)


def start(program, *arguments):
    log = open(os.path.join(WORK, program + ".log"), "w")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    return subprocess.Popen([os.path.join(BIN, program), "--data", DATA, *arguments],
                            stdout=log, stderr=log, env=env)


subprocess.Popen([os.environ["QUIZ_AT_SPI_LAUNCHER"], "--launch-immediately"],
                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
DATA = os.path.join(WORK, "dades")
shutil.copytree(DEMO, DATA)

# The runner: question 1's bubble "b" unchecked, the key "b", then checked; the keyboard has
# moved on to question 2, whose row is the current one and whose text the question area reads.
runner = start("quizrun", TEST)
app = wait_for("quizrun entre les aplicacions", lambda: application("quizrun"))
sheet = wait_for("el full de respostes", lambda: find(app, "table", "Full de respostes"))
row = wait_for("la fila de la pregunta 1", lambda: find(sheet, "table row", "Pregunta 1"))
bubble = find(row, "radio button", "resposta b")
if bubble is None:
    fail("la pregunta 1 no té cap bombolla «resposta b»")
if has(bubble, pyatspi.STATE_CHECKED):
    fail("la bombolla b de la pregunta 1 ja és marcada abans de cap tecla")
area = find(app, "label", starts="Pregunta 1 de ")
if area is None:
    fail("l'àrea de preguntes no llegeix la pregunta 1")
keys("Test barreja", "b")
wait_for("la bombolla b de la pregunta 1 marcada", lambda: has(bubble, pyatspi.STATE_CHECKED))
for other in ("resposta a", "resposta c", "resposta d"):
    if has(find(row, "radio button", other), pyatspi.STATE_CHECKED):
        fail("la tecla b ha marcat també «%s»" % other)
wait_for("la pregunta 2 com a actual", lambda: has(find(sheet, "table row", "Pregunta 2"), pyatspi.STATE_ACTIVE))
wait_for("l'àrea de preguntes a la pregunta 2", lambda: find(app, "label", starts="Pregunta 2 de "))
runner.terminate()
runner.wait()

# The manager: the topic area reads its placeholder, then, once a topic is opened with the
# keyboard alone (Alt+T, O, Enter in the list), that topic's title.
manager = start("quizdesk")
app = wait_for("quizdesk entre les aplicacions", lambda: application("quizdesk"))
wait_for("l'àrea del tema sense cap tema",
         lambda: find(app, "label", "-------------- per seleccionar --------------"))
keys("Tests Velmor Ostrel", "alt+t", "o")
topics = wait_for("la llista de temes", lambda: find(app, "list", "Línies"))
first = wait_for("el primer tema de la llista", lambda: topics.getChildAtIndex(0))
# A line is "1)Title  questions".
match = re.match(r"^\s*\d+\)(.*?)\s+\d+\s*$", first.name)
if match is None:
    fail("la primera línia de la llista de temes és «%s»" % first.name)
title = match.group(1).strip()
keys("Arxius de qüestions", "Return")
wait_for("el títol del tema «%s» a l'àrea del tema" % title,
         lambda: find(app, "label", starts=title[:20]))
if find(app, "label", "-------------- per seleccionar --------------") is not None:
    fail("l'àrea del tema llegeix encara «per seleccionar» amb un tema obert")
exit_icon = find(app, "push button", "Sortir")
if exit_icon is None:
    fail("la icona de sortir no és cap botó per al lector")
manager.terminate()
manager.wait()
print("ok")
