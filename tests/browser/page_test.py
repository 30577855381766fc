"""The HTML page as a person sees it: a headless browser opens the page of
sample.c, clicks a use, and finds its expansion and definition; opens a
nested use; moves between uses with the keys.

    page_test.py SORNIK WORK_FOLDER"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cdp  # noqa: E402

failures = []


def check(what, condition, seen=None):
    if not condition:
        failures.append(what if seen is None else f"{what}: saw {seen!r}")


def panel_text(browser):
    return browser.evaluate("document.getElementById('panel').innerText")


def main():
    sornik, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    os.makedirs(work, exist_ok=True)
    here = os.path.dirname(os.path.abspath(__file__))
    page = os.path.join(work, "sample.html")
    with open(page, "wb") as out:
        subprocess.run([sornik, "--cpp", "-undef", "-nostdinc", "--html", "sample.c"], cwd=here, stdout=out,
                       check=True)

    browser = cdp.Browser()
    try:
        browser.open(page)
        check("the script ran", browser.evaluate("document.documentElement.hasAttribute('data-ready')"))
        uses = browser.evaluate("Array.from(document.querySelectorAll('pre.src .u'), u => u.textContent)")
        check("the uses marked", uses == ["AREA(WIDTH, 2)", "WIDTH"], uses)
        check("no panel before a click", browser.evaluate("document.getElementById('panel').hidden"))

        browser.click("pre.src .u", 0)
        focused = "document.activeElement.textContent"
        check("the clicked use has the focus", browser.evaluate(focused) == "AREA(WIDTH, 2)",
              browser.evaluate(focused))
        text = panel_text(browser)
        check("the panel opens on a click", not browser.evaluate("document.getElementById('panel').hidden"))
        check("the use's expansion", "(SQUARE(3) + (2))" in text, text)

        browser.click("#panel .nu", 0)
        text = panel_text(browser)
        check("a nested use opens", "SQUARE(3)\nSQUARE defined at sample.c:3\n" in text, text)
        check("with its definition and value", "#define SQUARE(x) ((x) * (x))\n= 9 (0x9)\n((WIDTH) * (WIDTH))" in text,
              text)

        browser.press("n")
        check("n moves to the next use", browser.evaluate(focused) == "WIDTH", browser.evaluate(focused))
        check("the panel follows", panel_text(browser).endswith("WIDTH\nWIDTH defined at sample.c:2\n#define WIDTH 3\n= 3 (0x3)\n3"),
              panel_text(browser))
        browser.press("n")
        check("n stays on the last use", browser.evaluate(focused) == "WIDTH", browser.evaluate(focused))
        browser.press("p")
        check("p moves back", browser.evaluate(focused) == "AREA(WIDTH, 2)", browser.evaluate(focused))
        browser.press("Escape")
        check("Escape closes the panel", browser.evaluate("document.getElementById('panel').hidden"))
        errors = [e for e in browser.events if e.get("method") == "Runtime.exceptionThrown"]
        check("no script error", not errors, errors)
    finally:
        browser.close()

    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
