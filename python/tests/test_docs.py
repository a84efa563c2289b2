"""examples/python_host.py is the complete host that docs/python.md prints (the documentation's
own tests run the page's copy)."""

import re

from conftest import EXAMPLES, SOURCE_DIR, run_python


def test_the_example_host_is_the_one_the_page_prints():
    page = (SOURCE_DIR / "docs" / "python.md").read_text(encoding="utf-8")
    block = re.search(r"\n```python file=python_host\.py[^\n]*\n(.*?)```", page, re.S)
    assert block, "docs/python.md has no example python_host.py"
    assert block.group(1) == (EXAMPLES / "python_host.py").read_text(encoding="utf-8")


def test_the_readme_links_the_page():
    assert "(docs/python.md)" in (SOURCE_DIR / "README.md").read_text(encoding="utf-8")


def test_the_example_host_runs():
    # Its event loop ends once it runs and the window has been painted (tests/docs's harness).
    harness = SOURCE_DIR / "tests" / "docs" / "python_harness.py"
    finished = run_python(f"""
import runpy, sys
sys.argv = [{str(harness)!r}, "python_host.py", "header.xml", "workorders.xml"]
runpy.run_path(sys.argv[0], run_name="__main__")
""")
    assert finished.returncode == 0, finished.stderr
    assert finished.stdout == ""
