#!/usr/bin/env python3
"""Makes doc/page.png, the README's picture of the HTML page: the page of
examples/uart.c opened in a headless browser, a use clicked and a use in
its expansion opened.

    /usr/bin/python3 scripts/page-screenshot.py [SORNIK] [OUTPUT]

SORNIK defaults to build/sornik, OUTPUT to doc/page.png."""

import os
import subprocess
import sys
import tempfile

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(root, "tests", "browser"))
import cdp  # noqa: E402


def main():
    sornik = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build", "sornik"))
    output = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, "doc", "page.png"))
    with tempfile.TemporaryDirectory() as work:
        page = os.path.join(work, "uart.html")
        with open(page, "wb") as out:
            subprocess.run([sornik, "--cpp", "--html", "-imacros", "registers.h", "uart.c"],
                           cwd=os.path.join(root, "examples"), stdout=out, check=True)
        browser = cdp.Browser(width=820, height=560)
        try:
            browser.open(page)
            # The use of UART_CR_PARITY, and in its expansion the use of the parity bits.
            browser.click("pre.src .u", 5)
            browser.click("#panel .nu", 0)
            browser.evaluate("window.scrollTo(0, 0)")
            browser.screenshot(output)
        finally:
            browser.close()
    print(output)


if __name__ == "__main__":
    main()
