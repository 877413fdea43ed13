"""The simulated bench from Python: describe it, point the library at it,
read its counters.

The simulated driver builds its bench at the first driver call and keeps it
until the process ends, and the library keeps its adapters for the life of
the process too. So a bench is started once per process, before the library
is first used; a fresh bench needs a fresh process (the pytest fixture
``sim_bench`` runs each test in one).
"""

from __future__ import annotations

import atexit
import contextlib
import ctypes
import json
import os
import shutil
import sys
import tempfile
from dataclasses import dataclass, fields
from pathlib import Path
from typing import Iterator, List, Optional, Union

from .. import _native
from ..errors import Error, InvalidArgumentError
from .description import Board, Json

SIM_LIBRARY_VARIABLE = "MDIOSIM_LIBRARY"
_DRIVER_VARIABLE = "MDIOHOST_D2XX"
_BENCH_VARIABLE = "MDIOSIM_BENCH"
_SIM_FILE = "mdiosim.dll" if sys.platform == "win32" else "libmdiosim.so"

# The bench's named timing settings, cheapest first; a bench file's "timing"
# names one, or is an object that may start from one ("preset") and override
# its costs.
TIMING_PRESETS = ("ideal", "optimistic", "typical", "pessimistic")

_started: Optional["Bench"] = None


class _CounterRecord(ctypes.Structure):
    # struct MdiosimCounters of mdiosim/CounterRecord.h; fields only ever appended.
    _fields_ = [
        ("usbWrites", ctypes.c_uint64),
        ("usbReads", ctypes.c_uint64),
        ("bytesWritten", ctypes.c_uint64),
        ("bytesRead", ctypes.c_uint64),
        ("mdcCycles", ctypes.c_uint64),
        ("roundTrips", ctypes.c_uint64),
        ("modeledSeconds", ctypes.c_double),
    ]


@dataclass(frozen=True)
class Counters:
    """Totals over every board: USB transfers and bytes, clock cycles, round
    trips, and the modeled hardware time in seconds."""

    usb_writes: int = 0
    usb_reads: int = 0
    bytes_written: int = 0
    bytes_read: int = 0
    mdc_cycles: int = 0
    round_trips: int = 0
    modeled_seconds: float = 0.0

    def __sub__(self, earlier: "Counters") -> "Counters":
        return Counters(*(getattr(self, f.name) - getattr(earlier, f.name) for f in fields(self)))


class Measurement:
    """What happened on the bench inside a ``with bench.measure()`` block."""

    def __init__(self) -> None:
        self.counters = Counters()


def find_sim_library() -> str:
    """The simulated driver: ``MDIOSIM_LIBRARY``, else next to the loaded
    mdiohost library (an install's lib/mdiohost/sim/, or the build tree's
    sim/ folder beside src/)."""
    named = os.environ.get(SIM_LIBRARY_VARIABLE, "")
    if named:
        return named
    library = _native.library_file()
    folder = Path(library).resolve().parent if os.path.isabs(library) else None
    tried: List[str] = []
    if folder is not None:
        for candidate in (folder / "mdiohost" / "sim", folder.parent / "sim", folder):
            path = candidate / _SIM_FILE
            if path.exists():
                return str(path)
            tried.append(str(path))
    raise Error(
        "cannot find the simulated bench library; set "
        f"{SIM_LIBRARY_VARIABLE} to it. Tried: " + (", ".join(tried) or "nothing"),
        "Bench.start",
    )


class Bench:
    """A simulated bench: the built-in one (``Bench.default()``) or boards
    and faults described here.

    >>> bench = Bench([Board("K8B00042", phys=[Phy(0, clause45={1: {0: 0x2040}})])])
    >>> bench.start()          # before the library is first used
    >>> mdiohost.open("K8B00042:MDIO").read(0, 1, 0)

    `timing` is what the bench charges for the chip's work beyond round trips
    and clock cycles: a name of ``TIMING_PRESETS``, or an object such as
    ``{"preset": "pessimistic", "mpsseCommandNanoseconds": 150}``
    (sim/README.md lists its keys); None keeps the bench's default.
    """

    def __init__(self, boards: Optional[List[Board]] = None, faults: Optional[List[Json]] = None,
                 usb_latency_microseconds: int = 125, builtin: bool = False,
                 library: Optional[str] = None,
                 timing: Optional[Union[str, Json]] = None) -> None:
        self.boards: List[Board] = list(boards or [])
        self.faults: List[Json] = list(faults or [])
        self.usb_latency_microseconds = usb_latency_microseconds
        self.timing = _checked_timing(timing)
        self.builtin = builtin
        self.library = library
        self.file: Optional[str] = None

    @classmethod
    def default(cls) -> "Bench":
        """The simulated driver's built-in bench (K8A00001 with PHYs 0-3 and an
        EEPROM at 0x50 and a bridge at 0x10 on its I2C bus, AA000001 with PHYs
        0-1 and GPIO pins, TV00001B of the older family with PHYs 0-1)."""
        return cls(builtin=True)

    def to_json(self) -> Json:
        document: Json = {"usbLatencyMicroseconds": self.usb_latency_microseconds}
        if self.timing is not None:
            document["timing"] = self.timing
        document["boards"] = [board.to_json() for board in self.boards]
        document["faults"] = list(self.faults)
        return document

    def write(self, path: "os.PathLike[str] | str") -> str:
        """Writes the bench file and returns its path."""
        Path(path).write_text(json.dumps(self.to_json(), indent=2), encoding="utf-8")
        return os.fspath(path)

    def start(self) -> "Bench":
        """Points the library at the simulated driver with this bench. Must
        come before the library's first use in this process."""
        global _started
        if _started is self:
            return self
        if _started is not None or _native.used():
            raise Error(
                "the bench of this process is already built (it lives until the process "
                "ends); start a new bench in a new process",
                "Bench.start",
            )
        library = self.library or find_sim_library()
        if self.builtin:
            os.environ[_BENCH_VARIABLE] = ""
        else:
            folder = tempfile.mkdtemp(prefix="mdiohost-bench-")
            atexit.register(shutil.rmtree, folder, True)
            self.file = self.write(Path(folder) / "bench.json")
            os.environ[_BENCH_VARIABLE] = self.file
        os.environ[_DRIVER_VARIABLE] = library
        self.library = library
        _started = self
        return self

    def counters(self) -> Counters:
        """The bench's totals since it was built."""
        if self.library is None:
            raise Error("the bench has not been started", "Bench.counters")
        simulator = ctypes.CDLL(self.library)
        read = simulator.mdiosim_read_counters
        read.restype = ctypes.c_int
        read.argtypes = [ctypes.POINTER(_CounterRecord)]
        record = _CounterRecord()
        if read(ctypes.byref(record)) != 0:
            raise Error("the bench did not report its counters", "mdiosim_read_counters")
        return Counters(record.usbWrites, record.usbReads, record.bytesWritten, record.bytesRead,
                        record.mdcCycles, record.roundTrips, record.modeledSeconds)

    @contextlib.contextmanager
    def measure(self) -> Iterator[Measurement]:
        """Counts what the block costs on the bench."""
        measurement = Measurement()
        before = self.counters()
        try:
            yield measurement
        finally:
            measurement.counters = self.counters() - before


def _checked_timing(timing: Optional[Union[str, Json]]) -> Optional[Union[str, Json]]:
    # A bench file the simulated driver cannot use leaves it without boards,
    # which shows up far from the typo; a wrong setting name is caught here.
    preset = timing.get("preset") if isinstance(timing, dict) else timing
    if preset is not None and preset not in TIMING_PRESETS:
        raise InvalidArgumentError(
            f"timing {preset!r} is not a setting of the bench: one of {', '.join(TIMING_PRESETS)}",
            "Bench",
        )
    return dict(timing) if isinstance(timing, dict) else timing


def started_bench() -> Optional[Bench]:
    """The bench this process started, if any."""
    return _started
