#!/usr/bin/env python3
"""How long the HTML page of a source takes to open in a headless browser:
the page is made once, then opened RUNS times in a fresh tab; each run
reports, from the page's Navigation Timing, when its DOM was ready and when
its load event ended (the page is laid out and its script has run), and
how long a click on its last use takes to show the expansion.

    /usr/bin/python3 scripts/page-open-time.py SORNIK [--runs N] -- SORNIK_ARGS...

SORNIK_ARGS are those of `sornik --cpp`, less --html."""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(root, "tests", "browser"))
import cdp  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("sornik")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("args", nargs="+")
    options = parser.parse_args()
    with tempfile.TemporaryDirectory() as work:
        page = os.path.join(work, "page.html")
        with open(page, "wb") as out:
            subprocess.run([os.path.abspath(options.sornik), "--cpp", "--html", *options.args], stdout=out,
                           check=True)
        size = os.path.getsize(page)
        browser = cdp.Browser()
        try:
            loads = []
            for _ in range(options.runs):
                browser.open(page)
                timing = browser.evaluate(
                    "(() => { const t = performance.getEntriesByType('navigation')[0];"
                    " return [t.domContentLoadedEventEnd, t.loadEventEnd,"
                    " document.querySelectorAll('pre.src .u').length,"
                    " Array.from(document.querySelectorAll('pre.src'),"
                    " b => b.textContent.split('\\n').length - 1).reduce((a, b) => a + b, 0)]; })()")
                loads.append(timing[1])
                start = time.monotonic()
                browser.evaluate("(() => { const u = document.querySelectorAll('pre.src .u');"
                                 " u[u.length - 1].click(); return document.getElementById('panel').innerText.length; })()")
                click_ms = (time.monotonic() - start) * 1000
                print(f"DOM ready {timing[0]:.0f} ms, loaded {timing[1]:.0f} ms, last use opened in {click_ms:.0f} ms"
                      f" ({timing[2]} uses, {timing[3]} lines, {size} bytes)")
            print(f"median load: {statistics.median(loads):.0f} ms")
        finally:
            browser.close()


if __name__ == "__main__":
    main()
