#!/usr/bin/python3
"""Reads the running `varnex show` over AT-SPI, as a screen reader does, while a planner picks a
line, moves down with the keyboard and zooms in with Ctrl+plus. Checks that the focused line
arrives with all its cells, that the zoom step's new scale arrives as a description change, and
that the legends read as named groups of marks with their words. Run it in a session with the
accessibility bus (atspi_session.sh). Every failure says what was missing.

Usage: atspi_show_test.py VARNEX EXAMPLES_DIR
"""

import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

VARNEX, EXAMPLES = sys.argv[1], sys.argv[2]
SCALE = re.compile(r"^(Days|Weeks|Months|Quarters|Years), \d+ \w+( \d{4})? to \d+ \w+ \d{4}$")
ORDER_COLUMNS = 10  # then the bar's start and end


class Failure(Exception):
    pass


heard = []  # (event type, source) in arrival order


def on_event(event):
    heard.append((event.type, event.source))


def find(root, wanted, skip_tables=True):
    """The objects under root for which wanted(obj) holds, not looking inside tables."""
    found, stack = [], [root]
    while stack:
        obj = stack.pop()
        if obj is None:
            continue
        if wanted(obj):
            found.append(obj)
        if skip_tables and obj.getRole() == pyatspi.ROLE_TABLE:
            continue
        stack.extend(reversed([obj.getChildAtIndex(i) for i in range(obj.childCount)]))
    return found


def fresh(obj):
    obj.clearCache()
    return obj


def wait_for(condition, seconds, reason):
    """Lets events in until condition() gives something, or fails with reason."""
    deadline = time.monotonic() + seconds
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(reason)
        yield


def events_since(mark, kind):
    return [source for type_, source in heard[mark:] if type_.startswith(kind)]


def click(obj):
    x, y, w, h = obj.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", "--sync", str(x + w // 2), str(y + h // 2),
                    "click", "1"], check=True)


def key(name):
    subprocess.run(["xdotool", "key", name], check=True)


def focused_cell_since(mark):
    for source in reversed(events_since(mark, "object:state-changed:focused")):
        if source.getRole() == pyatspi.ROLE_TABLE_CELL and fresh(source).getState().contains(
                pyatspi.STATE_FOCUSED):
            return source
    return None


def row_of(table, cell):
    index = cell.getIndexInParent()
    return table.queryTable().getRowAtIndex(index)


def check_row(table, row, order):
    """The row's cells: the order number, the other columns and the bar's start and end."""
    cells = [fresh(table.queryTable().getAccessibleAt(row, column)).name
             for column in range(table.queryTable().nColumns)]
    headers = [table.queryTable().getColumnHeader(column).name
               for column in range(table.queryTable().nColumns)]
    if len(cells) != ORDER_COLUMNS + 2 or cells[0] != order:
        raise Failure(f"row {row} reads {cells}, expected {ORDER_COLUMNS + 2} cells from {order}")
    if headers[0] != "Order" or headers[-2:] != ["Start", "End"]:
        raise Failure(f"the column headers read {headers}")
    if not all(cells[1:4]) or not cells[-2] or not cells[-1]:
        raise Failure(f"row {row} has empty cells: {dict(zip(headers, cells))}")
    return cells


def scenario():
    desktop = pyatspi.Registry.getDesktop(0)
    app = yield from wait_for(
        lambda: next((a for a in fresh(desktop) if a is not None and a.name == "varnex"), None),
        20, "`varnex show` never appeared on the accessibility bus")
    table = yield from wait_for(
        lambda: next(iter(find(app, lambda o: o.getRole() == pyatspi.ROLE_TABLE)), None), 20,
        "no table in the application")
    yield from wait_for(lambda: table.queryTable().nRows == 300, 20,
                        "the table never held the example's 300 lines")
    grid = table.parent
    timeline = next(iter(find(grid, lambda o: o.getRole() == pyatspi.ROLE_CHART)), None)
    if timeline is None:
        raise Failure("the grid has no timeline")
    if not re.match(r"^Schedule grid: 300 orders, ", grid.name):
        raise Failure(f"the grid is named {grid.name!r}")

    # A click on the third line: its first cell takes the focus, with the whole row to read.
    mark = len(heard)
    click(table.queryTable().getAccessibleAt(2, 0))
    cell = yield from wait_for(lambda: focused_cell_since(mark), 10,
                               "clicking the third line focused no cell")
    check_row(table, row_of(table, cell), "WO100002")
    if not fresh(cell).description.startswith("Order WO100002, "):
        raise Failure(f"the focused cell is described as {cell.description!r}")
    if not cell.getState().contains(pyatspi.STATE_SELECTED):
        raise Failure("the focused cell does not read as selected")

    # Down moves the focus to the next line, which reads as selected.
    mark = len(heard)
    key("Down")
    cell = yield from wait_for(
        lambda: (c := focused_cell_since(mark)) and fresh(c).name == "WO100003" and c, 10,
        "Down did not focus the fourth line")
    check_row(table, row_of(table, cell), "WO100003")
    yield from wait_for(lambda: cell in events_since(mark, "object:state-changed:selected"), 10,
                        "the fourth line's selection was not told")

    # Ctrl+plus zooms in; the timeline's new description tells the scale and takes the focus.
    before = fresh(timeline).description
    mark = len(heard)
    key("ctrl+plus")
    described = yield from wait_for(
        lambda: next((s for s in events_since(mark, "object:property-change:accessible-description")
                      if s.getRole() == pyatspi.ROLE_CHART and fresh(s).description != before),
                     None), 10, "a zoom step changed no description on the timeline")
    if not SCALE.match(described.description):
        raise Failure(f"the new scale reads {described.description!r}")
    yield from wait_for(lambda: any(s.getRole() == pyatspi.ROLE_CHART
                                    for s in events_since(mark, "object:state-changed:focused")),
                        10, "the timeline did not take the focus after the zoom step")

    # The legends: named groups, each mark with its words.
    legends = {g.name: [m.name for m in g]
               for g in find(app, lambda o: o.getRole() == pyatspi.ROLE_PANEL and o.name in (
                   "Order states", "Planning actions"))}
    expected = {"Order states": ["Suggested", "Accepted", "Firmed", "Released"],
                "Planning actions": ["?: Material Shortage", ">>: Reschedule Out",
                                     "<<: Reschedule In", "X: Cancel Orders",
                                     "\u00e2: Amend orders"]}
    if legends != expected:
        raise Failure(f"the legends read {legends}")
    hidden = find(app, lambda o: o.name in ("Open", "Search", "Hide Mutliline", "Show Mutliline"))
    if hidden or len(find(app, lambda o: o.name == "Zoom In")) != 1:
        raise Failure("hidden or inert buttons are in the tree")
    print(f"PASS: line cells, selection, the zoom step ({described.description}) and the legends "
          "arrived over AT-SPI")


def main():
    # Listening starts before the program does, so that its arrival on the desktop is heard.
    pyatspi.Registry.registerEventListener(
        on_event, "object:state-changed:focused", "object:state-changed:selected",
        "object:property-change:accessible-description")
    pyatspi.Registry.getDesktop(0).childCount
    documents = [f"{EXAMPLES}/header.xml", f"{EXAMPLES}/workorders.xml"]
    show = subprocess.Popen([VARNEX, "show", *documents], stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE)
    steps = scenario()
    outcome = {}

    def step():
        try:
            next(steps)
            return True
        except StopIteration:
            outcome["ok"] = True
        except Failure as failure:
            outcome["failure"] = str(failure)
        except Exception as error:  # an AT-SPI call that failed is a failure, with its reason
            outcome["failure"] = f"{type(error).__name__}: {error}"
        pyatspi.Registry.stop()
        return False

    GLib.timeout_add(50, step)
    pyatspi.Registry.start()
    show.terminate()
    _, errors = show.communicate(timeout=10)
    if "failure" in outcome or "ok" not in outcome:
        print(f"FAIL: {outcome.get('failure', 'the scenario did not finish')}")
        if errors:
            print(errors.decode(errors="replace"))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
