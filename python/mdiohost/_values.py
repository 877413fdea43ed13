"""Checks of the numbers a caller hands in, before they reach C.

ctypes would silently wrap a negative number or one above 32 bits; the
library would then act on a different register than the caller named.
"""

from __future__ import annotations

from .errors import InvalidArgumentError

# A PHY id with bit 31 set names another adapter in the library's
# qualified form; the package always names the adapter itself.
PHY_LIMIT = 1 << 31


def unsigned(name: str, value: int, limit: int = 1 << 32) -> int:
    if isinstance(value, bool) or not isinstance(value, int):
        raise InvalidArgumentError(f"{name} must be an int, not {type(value).__name__}")
    if not 0 <= value < limit:
        raise InvalidArgumentError(f"{name} {value} is out of range (0 to {limit - 1})")
    return value


def phy_address(value: int) -> int:
    return unsigned("phy", value, PHY_LIMIT)
