"""The README's Python example runs and prints what the README shows."""

import os
import re
import subprocess
import sys
from pathlib import Path

README = Path(__file__).resolve().parents[2] / "README.md"


def test_readme_example_prints_what_the_readme_says():
    section = README.read_text().split("\n## Python\n", 1)[1].split("\n## ", 1)[0]
    script, shown = re.search(r"```python\n(.*?)```\s*```text\n(.*?)```", section, re.S).groups()
    package = str(Path(__file__).resolve().parents[1])
    result = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                            env={**os.environ, "PYTHONPATH": package}, timeout=120)
    assert result.returncode == 0, result.stderr
    assert result.stdout == shown
