"""Finding and loading the mdiohost shared library.

Tried in order, the first that loads wins:

1. the file ``MDIOHOST_LIBRARY`` names (nothing else is tried when it is set);
2. the library next to this package (a copy installed with it);
3. the installed prefixes: the prefix this package is installed in, the
   running Python's, /usr/local and /usr, each with lib, lib64 and
   lib/<multiarch>;
4. the system's own search (``LD_LIBRARY_PATH``, the loader cache, ``PATH``
   on Windows).
"""

from __future__ import annotations

import ctypes
import ctypes.util
import os
import sys
import sysconfig
from pathlib import Path
from typing import List, Optional, Tuple

LIBRARY_VARIABLE = "MDIOHOST_LIBRARY"

if sys.platform == "win32":
    LIBRARY_FILES = ("mdiohost.dll",)
else:
    # The versioned name first: an installed library without its development
    # link still carries it.
    LIBRARY_FILES = ("libmdiohost.so", "libmdiohost.so.0")


class LibraryNotFoundError(ImportError):
    """No mdiohost library could be loaded; the message lists every try."""


def _prefixes() -> List[Path]:
    here = Path(__file__).resolve().parent
    seen: List[Path] = []
    # A package installed into <prefix>/lib/pythonX.Y/site-packages/mdiohost
    # looks in its own prefix first: the library installed with it.
    candidates = [p.parent for p in here.parents if p.name in ("lib", "lib64")][:1]
    candidates += [Path(sys.prefix), Path(sys.base_prefix), Path("/usr/local"), Path("/usr")]
    for candidate in candidates:
        if candidate not in seen:
            seen.append(candidate)
    return seen


def _library_folders() -> List[Path]:
    multiarch = sysconfig.get_config_var("MULTIARCH") or ""
    folders = [Path(__file__).resolve().parent]
    for prefix in _prefixes():
        folders += [prefix / "lib", prefix / "lib64"]
        if multiarch:
            folders.append(prefix / "lib" / multiarch)
        if sys.platform == "win32":
            folders.append(prefix / "bin")
    return folders


def candidates() -> List[str]:
    """Every file or name the loader tries, in order."""
    named = os.environ.get(LIBRARY_VARIABLE, "")
    if named:
        return [named]
    tried = [str(folder / name) for folder in _library_folders() for name in LIBRARY_FILES]
    found = ctypes.util.find_library("mdiohost")
    return tried + [name for name in (found,) if name] + list(LIBRARY_FILES)


def load() -> Tuple[ctypes.CDLL, str]:
    """The loaded library and the file or name it was loaded from."""
    problems: List[str] = []
    for candidate in candidates():
        is_path = os.sep in candidate or (os.altsep is not None and os.altsep in candidate)
        if is_path and not os.path.exists(candidate):
            problems.append(f"{candidate}: no such file")
            continue
        try:
            return ctypes.CDLL(candidate), candidate
        except OSError as problem:
            problems.append(f"{candidate}: {problem}")
    named = os.environ.get(LIBRARY_VARIABLE, "")
    hint = (
        f"{LIBRARY_VARIABLE}={named} could not be loaded"
        if named
        else f"set {LIBRARY_VARIABLE} to the library's path, or install the library"
    )
    raise LibraryNotFoundError(
        "mdiohost: cannot load the mdiohost library (" + hint + "). Tried:\n  "
        + "\n  ".join(problems)
    )


def loaded_path(library: ctypes.CDLL) -> Optional[str]:
    """The file the system loaded for `library`, where the platform says."""
    name = getattr(library, "_name", None)
    if name and os.path.isabs(name):
        return name
    try:
        with open("/proc/self/maps", encoding="utf-8") as maps:
            for line in maps:
                path = line.split()[-1]
                if os.path.basename(path).startswith(("libmdiohost.so", "mdiohost.dll")):
                    return path
    except OSError:
        pass
    return None
