"""Finding the library: from an installed prefix with nothing else known, and
a clear ImportError naming what was tried when nothing loads. Each case runs
a fresh interpreter, as a user's program would start."""

import os
import shutil
import subprocess
import sys
from pathlib import Path

import pytest

PACKAGE = Path(__file__).resolve().parents[1] / "mdiohost"
LIBRARY_VARIABLES = ("MDIOHOST_LIBRARY", "MDIOSIM_LIBRARY", "MDIOHOST_D2XX", "MDIOSIM_BENCH",
                     "LD_LIBRARY_PATH", "PYTHONPATH")


def run_python(script: str, site: Path, **variables: str) -> subprocess.CompletedProcess:
    environment = {k: v for k, v in os.environ.items() if k not in LIBRARY_VARIABLES}
    environment.update(PYTHONPATH=str(site), **variables)
    return subprocess.run([sys.executable, "-c", script], env=environment, cwd=site,
                          capture_output=True, text=True, timeout=120)


def installed_prefix(prefix: Path) -> Path:
    """Installs the build into `prefix` and the package beside it, as
    `pip install --prefix` would; returns the package's site folder."""
    build = os.environ.get("MDIOHOST_BUILD_DIR")
    if not build:
        pytest.skip("MDIOHOST_BUILD_DIR names no build tree to install")
    subprocess.run(["cmake", "--install", build, "--prefix", str(prefix)], check=True,
                   capture_output=True, timeout=120)
    library = prefix / "lib" / "libmdiohost.so.0"
    simulator = prefix / "lib" / "mdiohost" / "sim" / "libmdiosim.so"
    # Until the build installs them, lay them out as an install does.
    for installed, variable in ((library, "MDIOHOST_LIBRARY"), (simulator, "MDIOSIM_LIBRARY")):
        if not installed.exists():
            installed.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy(os.environ[variable], installed)
    version = f"python{sys.version_info.major}.{sys.version_info.minor}"
    site = prefix / "lib" / version / "site-packages"
    shutil.copytree(PACKAGE, site / "mdiohost", ignore=shutil.ignore_patterns("__pycache__"))
    return site


@pytest.mark.skipif(sys.platform == "win32", reason="the installed layout of Linux")
def test_package_finds_library_and_bench_in_its_installed_prefix(tmp_path):
    site = installed_prefix(tmp_path)
    script = """
import mdiohost
from mdiohost.sim import Bench
bench = Bench.default().start()
print(mdiohost.load_library())
print(bench.library)
with mdiohost.open("AA000001") as adapter:
    print(hex(adapter.read(0, 1, 2)))
"""
    result = run_python(script, site)
    assert result.returncode == 0, result.stderr
    library, simulator, identifier = result.stdout.split()
    assert Path(library).resolve().is_relative_to(tmp_path.resolve())
    assert Path(simulator).resolve() == (tmp_path / "lib/mdiohost/sim/libmdiosim.so").resolve()
    assert identifier == "0x7c0a"


def test_a_library_that_does_not_load_is_an_import_error_naming_it(tmp_path):
    missing = tmp_path / "libmdiohost.so"
    script = """
import mdiohost
try:
    mdiohost.adapters()
except ImportError as problem:
    print(type(problem).__name__)
    print(problem)
"""
    shutil.copytree(PACKAGE, tmp_path / "mdiohost", ignore=shutil.ignore_patterns("__pycache__"))
    result = run_python(script, tmp_path, MDIOHOST_LIBRARY=str(missing))
    assert result.returncode == 0, result.stderr
    assert result.stdout.splitlines()[0] == "LibraryNotFoundError"
    assert f"MDIOHOST_LIBRARY={missing} could not be loaded" in result.stdout
    assert f"{missing}: no such file" in result.stdout


def test_a_test_process_that_dies_is_one_failed_test(tmp_path):
    (tmp_path / "test_dies.py").write_text(
        "import os\n"
        "def test_dies(sim_bench):\n"
        "    os.abort()\n"
        "def test_lives_on(sim_bench):\n"
        "    pass\n"
    )
    shutil.copytree(PACKAGE, tmp_path / "mdiohost", ignore=shutil.ignore_patterns("__pycache__"))
    result = subprocess.run(
        [sys.executable, "-m", "pytest", "-q", "-p", "mdiohost.pytest_plugin", "test_dies.py"],
        cwd=tmp_path, env={**os.environ, "PYTHONPATH": str(tmp_path)},
        capture_output=True, text=True, timeout=120,
    )
    assert "1 failed, 1 passed" in result.stdout, result.stdout
    assert "ended with signal 6 (SIGABRT) before reporting" in result.stdout
