"""A headless Chromium driven through the DevTools protocol, for the tests and
scripts that look at the HTML page as a person sees it. Nothing is fetched:
the browser is Debian's chromium-headless-shell, run offline with a fresh
profile, and the client is Debian's python3-websocket."""

import base64
import json
import os
import shutil
import subprocess
import tempfile
import time
import urllib.request

import websocket

BROWSER = "chromium-headless-shell"


class Browser:
    """One headless browser with one page; close() ends it."""

    def __init__(self, width=1000, height=700):
        path = shutil.which(BROWSER)
        if path is None:
            raise SystemExit(f"{BROWSER} is missing: run scripts/install-deps.sh {BROWSER} python3-websocket")
        self.profile = tempfile.mkdtemp(prefix="sornik-browser-")
        self.process = subprocess.Popen(
            [path, "--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
             "--disable-component-update", "--disable-sync", "--no-first-run", "--remote-debugging-port=0",
             f"--window-size={width},{height}", f"--user-data-dir={self.profile}", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port = self._port()
        # The browser is on this machine: no proxy of the environment applies.
        local = urllib.request.build_opener(urllib.request.ProxyHandler({}))
        with local.open(f"http://127.0.0.1:{port}/json/list", timeout=10) as reply:
            targets = json.load(reply)
        page = next(t for t in targets if t["type"] == "page")
        self.socket = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=30,
                                                  suppress_origin=True, http_no_proxy=["127.0.0.1"])
        self.next_id = 0
        self.events = []
        for domain in ("Page", "Runtime"):
            self.call(f"{domain}.enable")

    def _port(self):
        # The browser writes the port it chose into the profile.
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            if os.path.exists(port_file):
                with open(port_file) as lines:
                    first = lines.readline().strip()
                if first:
                    return int(first)
            if self.process.poll() is not None:
                raise SystemExit(f"{BROWSER} ended at start with status {self.process.returncode}")
            time.sleep(0.05)
        raise SystemExit(f"{BROWSER} gave no debugging port")

    def call(self, method, **params):
        """Sends one command and returns its result; events that come
        meanwhile are kept in self.events."""
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message.get("result", {})
            self.events.append(message)

    def wait_event(self, method, timeout=60):
        """The parameters of the first event `method` not yet taken."""
        deadline = time.monotonic() + timeout
        while True:
            for index, event in enumerate(self.events):
                if event.get("method") == method:
                    del self.events[index]
                    return event.get("params", {})
            if time.monotonic() > deadline:
                raise RuntimeError(f"no {method} within {timeout} s")
            self.socket.settimeout(max(deadline - time.monotonic(), 0.1))
            self.events.append(json.loads(self.socket.recv()))

    def evaluate(self, expression):
        """The value of a JavaScript expression in the page."""
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def open(self, path):
        """Opens a local file and waits for its load event."""
        self.events.clear()
        self.call("Page.navigate", url="file://" + os.path.abspath(path))
        self.wait_event("Page.loadEventFired")

    def click(self, selector, index=0):
        """A real mouse click at the middle of the element's first box."""
        box = self.evaluate(
            f"(() => {{ const e = document.querySelectorAll({json.dumps(selector)})[{index}];"
            " e.scrollIntoView({block: 'center'}); const r = e.getClientRects()[0];"
            " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
        for kind in ("mouseMoved", "mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", type=kind, x=box[0], y=box[1], button="left", clickCount=1)

    def press(self, key):
        """A real key press of a printable key or of Enter or Escape."""
        codes = {"Enter": 13, "Escape": 27}
        code = codes[key] if key in codes else ord(key.upper())
        down = {"type": "keyDown", "key": key, "windowsVirtualKeyCode": code}
        if key not in codes:
            down["text"] = key
        self.call("Input.dispatchKeyEvent", **down)
        self.call("Input.dispatchKeyEvent", type="keyUp", key=key, windowsVirtualKeyCode=code)

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", format="png")["data"]
        with open(path, "wb") as out:
            out.write(base64.b64decode(data))

    def close(self):
        try:
            self.socket.close()
        finally:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
            shutil.rmtree(self.profile, ignore_errors=True)
