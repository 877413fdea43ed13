"""The one connection to the library: loading it, initialising it once, and
turning its recorded failures into exceptions after every call.

The library's state is process-wide (adapter numbers, open adapters, the
failure flag, settings, the trace stream), so this module holds it once per
process as well. The library is loaded and ``HW_Initialize`` called at the
first use, not at import: a program (or a pytest plugin) that imports the
package without touching hardware costs nothing and needs no library.
"""

from __future__ import annotations

import ctypes
import threading
from typing import Any, Callable, List, Optional

from . import _loader, _signatures
from .errors import error_for

_lock = threading.RLock()
_library: Optional[ctypes.CDLL] = None
_library_file: str = ""
# Set by the first call through `call`: from then on the library may have
# loaded its driver, and the simulated bench is built.
_called = False
# Called after every library call; the trace module pumps records this way.
after_call_hooks: List[Callable[[], None]] = []


def used() -> bool:
    """True once this process has called the library (beyond initialising)."""
    return _called


def library() -> ctypes.CDLL:
    """The library, loaded and initialised on first use."""
    global _library, _library_file
    if _library is None:
        with _lock:
            if _library is None:
                handle, _library_file = _loader.load()
                _signatures.declare(handle)
                # The package raises every failure itself: the library's own
                # "Error: ..." line on standard error would say it twice.
                handle.mdiohost_set_error_echo(0)
                handle.HW_Initialize()
                _library = handle
    return _library


def library_file() -> str:
    """Where the library was loaded from (a path or a name)."""
    library()
    return _loader.loaded_path(library()) or _library_file


def raise_recorded_failure(function: str) -> None:
    """Raises the failure the last call recorded, after clearing the flag so
    that the next call starts clean."""
    handle = library()
    if handle.HW_Fail():
        raw = handle.HW_Error()
        message = raw.decode("utf-8", "replace") if raw else "unknown failure"
        handle.mdiohost_clear_failure()
        raise error_for(message, function)


def call(function: str, *arguments: Any) -> Any:
    """Calls `function` of the library and raises what it recorded."""
    global _called
    handle = library()
    with _lock:
        _called = True
        result = getattr(handle, function)(*arguments)
        for hook in after_call_hooks:
            hook()
        raise_recorded_failure(function)
    return result
