"""The simulated bench: ``Bench`` and the pieces of its description."""

from .bench import TIMING_PRESETS, Bench, Counters, Measurement, find_sim_library, started_bench
from .description import (
    Board,
    Eeprom,
    MdioBridge,
    Phy,
    Registers32Device,
    chunked_writes,
    fail_call,
    open_elsewhere,
    short_reads,
    unplug,
    wrong_sync_answers,
)

__all__ = [
    "Bench", "Board", "Counters", "Eeprom", "MdioBridge", "Measurement", "Phy",
    "Registers32Device", "TIMING_PRESETS", "chunked_writes", "fail_call", "find_sim_library",
    "open_elsewhere", "short_reads", "started_bench", "unplug", "wrong_sync_answers",
]
