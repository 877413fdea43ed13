# The package's tests run against the package in this source tree and the
# library and bench that MDIOHOST_LIBRARY and MDIOSIM_LIBRARY name (the ctest
# test sets both to the build's files).
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))

pytest_plugins = ["mdiohost.pytest_plugin"]
