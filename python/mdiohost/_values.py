"""Checks of the numbers a caller hands in, before they reach C.

ctypes would silently wrap a negative number or one above 32 bits; the
library would then act on a different register than the caller named.
"""

from __future__ import annotations

from typing import Tuple

from .errors import InvalidArgumentError

# A PHY id with bit 31 set names another adapter in the library's
# qualified form; the package always names the adapter itself.
PHY_LIMIT = 1 << 31
# The library's bounds of the wire-speed settings (MDIOHOST_MAX_BURST_READS,
# and the preamble a frame starts with when nobody shortens it).
MAX_BURST_READS = 1024
FULL_PREAMBLE_BITS = 32


def _integer(name: str, value: int) -> int:
    if isinstance(value, bool) or not isinstance(value, int):
        raise InvalidArgumentError(f"{name} must be an int, not {type(value).__name__}")
    return value


def unsigned(name: str, value: int, limit: int = 1 << 32) -> int:
    _integer(name, value)
    if not 0 <= value < limit:
        raise InvalidArgumentError(f"{name} {value} is out of range (0 to {limit - 1})")
    return value


def phy_address(value: int) -> int:
    return unsigned("phy", value, PHY_LIMIT)


def count(name: str, value: int, most: int) -> int:
    """A number of things to do: at least one, at most `most`."""
    _integer(name, value)
    if not 1 <= value <= most:
        raise InvalidArgumentError(f"{name} {value} is out of range (1 to {most})")
    return value


def burst(mmd: int, register: int, reads: int) -> Tuple[int, int, int]:
    """The MMD, first register and read count of a burst, checked."""
    return (
        unsigned("mmd", mmd, 32),
        unsigned("register", register, 1 << 16),
        count("count", reads, MAX_BURST_READS),
    )
