"""The library's CSV trace of register traffic, into a file or a callable.

The library writes its trace to a C stream of its own C runtime. For a file
the package opens that stream itself; for a Python callable it traces into a
temporary file and, after every library call, hands the callable each new
complete line, so records arrive in order and nothing waits on a pipe.
"""

from __future__ import annotations

import ctypes
import ctypes.util
import os
import sys
import tempfile
from typing import Callable, Optional, Union

from . import _native
from .errors import Error

_CLOSE_STREAM = 1


def _c_runtime() -> ctypes.CDLL:
    runtime = ctypes.CDLL("msvcrt") if sys.platform == "win32" else ctypes.CDLL(None)
    runtime.fopen.restype = ctypes.c_void_p
    runtime.fopen.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
    runtime.fflush.argtypes = [ctypes.c_void_p]
    return runtime


class _Tracer:
    def __init__(self) -> None:
        self.stream: Optional[int] = None
        self.sink: Optional[Callable[[str], None]] = None
        self.reader = None
        self.pending = ""
        self.spool = ""

    def start(self, path: str, sink: Optional[Callable[[str], None]]) -> None:
        runtime = _c_runtime()
        stream = runtime.fopen(os.fsencode(path), b"w")
        if not stream:
            raise Error(f"cannot open the trace file {path}", "fopen")
        _native.call("HW_EnableLogging", stream)
        self.stream = stream
        self.sink = sink
        if sink is not None:
            self.reader = open(path, "r", encoding="utf-8", newline="")
            _native.after_call_hooks.append(self.pump)

    def pump(self) -> None:
        if self.sink is None or self.stream is None:
            return
        _c_runtime().fflush(self.stream)
        self.pending += self.reader.read()
        *lines, self.pending = self.pending.split("\n")
        for line in lines:
            self.sink(line)

    def stop(self) -> None:
        if self.stream is None:
            return
        if self.sink is not None:
            self.pump()
            _native.after_call_hooks.remove(self.pump)
            self.reader.close()
            os.unlink(self.spool)
        self.stream = None
        self.sink = None
        _native.call("HW_DisableLogging", _CLOSE_STREAM)


_tracer = _Tracer()


def trace_to(target: Union[str, os.PathLike, Callable[[str], None]]) -> None:
    """Starts the trace: into the file at `target`, or line by line (without
    the newline; the first is the CSV header) to a callable. A running trace
    is stopped first."""
    stop_trace()
    if callable(target):
        handle, spool = tempfile.mkstemp(prefix="mdiohost-trace-", suffix=".csv")
        os.close(handle)
        _tracer.spool = spool
        _tracer.start(spool, target)
    else:
        _tracer.start(os.fspath(target), None)


def stop_trace() -> None:
    """Stops the trace and closes its stream."""
    _tracer.stop()


def log_message(text: str) -> None:
    """Adds a free line to the trace."""
    _native.call("HW_LogMsg", text.encode())
