"""A simulated bench described in Python: boards, PHYs with register
contents, I2C devices and faults, written as the bench file the simulated
driver reads (the format of sim/README.md). Register numbers may be given as
ints; they are written as the strings the file format wants for keys."""

from __future__ import annotations

from dataclasses import dataclass, field
from typing import Any, Dict, List, Optional

Json = Dict[str, Any]


def _keys(table: Dict[int, Any]) -> Dict[str, Any]:
    return {hex(key): value for key, value in table.items()}


def _set(document: Json, key: str, value: Any, unset: Any = None) -> None:
    if value != unset:
        document[key] = value


@dataclass
class Phy:
    """A PHY on a board's MDIO bus at `address` (0 to 31)."""

    address: int
    phy_id: Optional[int] = None
    clause22: Dict[int, int] = field(default_factory=dict)
    clause45: Dict[int, Dict[int, int]] = field(default_factory=dict)  # MMD -> register -> value
    registers32: Dict[int, int] = field(default_factory=dict)
    preamble_bits: Optional[int] = None
    preamble_suppression: bool = False
    # False: the PHY ignores post-read-increment reads (a burst reads all ones).
    post_read_increment: bool = True
    register32_step: Optional[int] = None
    # The chip's knobs and indirect-path contents, as the file format names
    # them ("mailboxBusyPolls", "serdes", "memory", "tge", "paged", ...).
    chip: Json = field(default_factory=dict)

    def to_json(self) -> Json:
        document: Json = {"address": self.address}
        _set(document, "phyId", self.phy_id)
        _set(document, "clause22", {str(k): v for k, v in self.clause22.items()}, {})
        _set(document, "clause45", {str(m): _keys(r) for m, r in self.clause45.items()}, {})
        _set(document, "registers32", _keys(self.registers32), {})
        _set(document, "preambleBits", self.preamble_bits)
        _set(document, "preambleSuppression", self.preamble_suppression, False)
        _set(document, "postReadIncrement", self.post_read_increment, True)
        _set(document, "register32Step", self.register32_step)
        _set(document, "chip", self.chip, {})
        return document


@dataclass
class MdioBridge:
    """An I2C-to-MDIO bridge in front of the board's PHY `phy`."""

    address: int
    phy: int = 0

    def to_json(self) -> Json:
        return {"kind": "mdioBridge", "address": self.address, "phy": self.phy}


@dataclass
class Registers32Device:
    """An I2C device of 32-bit registers."""

    address: int
    registers32: Dict[int, int] = field(default_factory=dict)

    def to_json(self) -> Json:
        return {
            "kind": "registers32",
            "address": self.address,
            "registers32": _keys(self.registers32),
        }


@dataclass
class Eeprom:
    """An I2C EEPROM; `contents` maps offsets to bytes."""

    address: int
    size: int = 256
    address_bytes: int = 1
    contents: Dict[int, int] = field(default_factory=dict)

    def to_json(self) -> Json:
        return {
            "kind": "eeprom",
            "address": self.address,
            "size": self.size,
            "addressBytes": self.address_bytes,
            "contents": {str(k): v for k, v in self.contents.items()},
        }


@dataclass
class Board:
    """One USB adapter board. A serial number ending in "B" makes a board of
    the older family; a description starting with "K8" a K8 board."""

    serial_number: str
    description: str = "K8U MDIO I2C"
    chip_type: int = 8
    phys: List[Phy] = field(default_factory=list)
    board_registers: Dict[int, int] = field(default_factory=dict)
    i2c_devices: List[Any] = field(default_factory=list)

    def to_json(self) -> Json:
        document: Json = {
            "serialNumber": self.serial_number,
            "description": self.description,
            "chipType": self.chip_type,
            "phys": [phy.to_json() for phy in self.phys],
        }
        _set(document, "boardRegisters", {str(k): v for k, v in self.board_registers.items()}, {})
        _set(document, "i2cDevices", [device.to_json() for device in self.i2c_devices], [])
        return document


def unplug(serial_number: str, after_calls: int, replug_after_calls: Optional[int] = None) -> Json:
    """The board leaves after `after_calls` more driver calls (and comes
    back, closed, `replug_after_calls` calls later)."""
    fault: Json = {"kind": "unplug", "serialNumber": serial_number, "afterCalls": after_calls}
    _set(fault, "replugAfterCalls", replug_after_calls)
    return fault


def fail_call(operation: str, call: int = 1, status: int = 4, times: int = 1,
              serial_number: Optional[str] = None) -> Json:
    """The `call`-th call of a driver function (e.g. "FT_Read") fails."""
    fault: Json = {"kind": "failCall", "operation": operation, "call": call, "status": status,
                   "times": times}
    _set(fault, "serialNumber", serial_number)
    return fault


def short_reads(serial_number: str, times: int, count: int = 0) -> Json:
    return {"kind": "shortReads", "serialNumber": serial_number, "times": times, "bytes": count}


def chunked_writes(serial_number: str, count: int) -> Json:
    return {"kind": "chunkedWrites", "serialNumber": serial_number, "bytes": count}


def wrong_sync_answers(serial_number: str, times: int) -> Json:
    return {"kind": "wrongSyncAnswers", "serialNumber": serial_number, "times": times}


def open_elsewhere(serial_number: str) -> Json:
    return {"kind": "openElsewhere", "serialNumber": serial_number}
