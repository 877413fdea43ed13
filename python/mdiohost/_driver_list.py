"""The boards as the D2XX driver lists them.

The library hands out adapter names only. The driver's own list (description
and open flag of each USB device) tells the board families apart, so it is
read here from the same driver file the library loads: the one
``MDIOHOST_D2XX`` names, or the platform's default.
"""

from __future__ import annotations

import ctypes
import os
import sys
from dataclasses import dataclass
from typing import Dict

_DRIVER_VARIABLE = "MDIOHOST_D2XX"
_DEFAULT_DRIVER = "FTD2XX.dll" if sys.platform == "win32" else "libftd2xx.so"
_OK = 0
_FLAG_OPENED = 0x1


class _DeviceListNode(ctypes.Structure):
    # The vendor's node: status words are 32-bit on every platform.
    _fields_ = [
        ("Flags", ctypes.c_uint32),
        ("Type", ctypes.c_uint32),
        ("ID", ctypes.c_uint32),
        ("LocId", ctypes.c_uint32),
        ("SerialNumber", ctypes.c_char * 16),
        ("Description", ctypes.c_char * 64),
        ("ftHandle", ctypes.c_void_p),
    ]


@dataclass(frozen=True)
class ListedBoard:
    description: str
    open: bool


def driver_file() -> str:
    return os.environ.get(_DRIVER_VARIABLE) or _DEFAULT_DRIVER


def read_driver_list() -> Dict[str, ListedBoard]:
    """Boards by serial number; empty when the driver cannot be loaded."""
    try:
        driver = ctypes.CDLL(driver_file())
        create = driver.FT_CreateDeviceInfoList
        get = driver.FT_GetDeviceInfoList
    except (OSError, AttributeError):
        return {}
    count = ctypes.c_uint32(0)
    if create(ctypes.byref(count)) != _OK or count.value == 0:
        return {}
    nodes = (_DeviceListNode * count.value)()
    if get(nodes, ctypes.byref(count)) != _OK:
        return {}
    return {
        node.SerialNumber.decode("ascii", "replace"): ListedBoard(
            node.Description.decode("ascii", "replace"), bool(node.Flags & _FLAG_OPENED)
        )
        for node in nodes[: count.value]
    }


def adapter_family(adapter_name: str, boards: Dict[str, ListedBoard]) -> str:
    """"K8 MDIO", "K8 I2C", "K8 JTAG", "older family" or "unknown"."""
    serial, colon, protocol = adapter_name.partition(":")
    board = boards.get(serial)
    if board is None:
        return "unknown"
    if not board.description.startswith("K8"):
        return "older family"
    if colon:
        return "K8 " + protocol
    # A board with one protocol: its description names it.
    for token in board.description.split():
        if token in ("MDIO", "I2C", "JTAG"):
            return "K8 " + token
    return "unknown"
