"""Waits until a running program shows a label starting with some text, read through the
accessibility bus; prints the label and exits 0, or exits 1 with what it saw.
    find-label.py APPLICATION PREFIX SECONDS"""
import sys
import time

import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def labels(node, found):
    try:
        if node.get_role() == Atspi.Role.LABEL:
            found.append(node.get_name())
        for i in range(node.get_child_count()):
            labels(node.get_child_at_index(i), found)
    except gi.repository.GLib.Error:
        pass  # a widget that went away while we walked
    return found


def main():
    application, prefix, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
    deadline = time.monotonic() + seconds
    seen = []
    while time.monotonic() < deadline:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_name() == application:
                seen = labels(app, [])
                match = [text for text in seen if text.startswith(prefix)]
                if match:
                    print(match[0])
                    return 0
        time.sleep(0.5)
    print(f"no label starting with {prefix!r} in {application}; labels seen: {seen}")
    return 1


sys.exit(main())
