"""Adapters: listing, opening, and every register and board service of one
open adapter.

Single accesses go through the library's default-adapter functions with the
adapter made the default first, so that every setting of this adapter
(delegations, Clause 45 over Clause 22) decides the path, and the indirect
MMDs 10, 11, 27 and 28 reach the chip the way it serves them. The default
adapter is process-wide state: a C host sharing the process sees it move.
"""

from __future__ import annotations

import ctypes
import enum
from dataclasses import dataclass
from typing import Iterable, List, Tuple, Union

from . import _driver_list, _native
from ._values import FULL_PREAMBLE_BITS, burst, phy_address, unsigned
from .batch import Batch
from .errors import CommunicationError, Error, InvalidArgumentError

# The library's status for a refused delegation setting.
_DELEGATION_ERROR = 100
_I2C_LIMIT = 65535


class Delegation(enum.IntEnum):
    """Accesses a delegation routes through the chip's PIF mailbox."""

    MMD31_READ = 0  # reads of the delegated MMD 31 registers
    MMD28_WRITE = 1
    MMD28_READ = 2
    MMD11 = 3  # TGE register blocks
    MMD27 = 4  # SERDES control registers


@dataclass(frozen=True)
class AdapterInfo:
    """One adapter as the library numbers it."""

    index: int
    name: str
    family: str  # "K8 MDIO", "K8 I2C", "K8 JTAG", "older family" or "unknown"
    open: bool  # the driver lists its USB device as open (here or elsewhere)


def adapters() -> List[AdapterInfo]:
    """Every adapter the library knows, after looking for new boards.

    Indexes stay valid for the life of the process, also for boards since
    unplugged."""
    count = _native.call("HW_NumberOfDevices")
    boards = _driver_list.read_driver_list()
    listed = []
    for index in range(count):
        name = _name_of(index)
        serial = name.partition(":")[0]
        board = boards.get(serial)
        listed.append(
            AdapterInfo(
                index,
                name,
                _driver_list.adapter_family(name, boards),
                board.open if board else False,
            )
        )
    return listed


def open(adapter: Union[int, str]) -> "Adapter":  # noqa: A001 - mirrors the library's name
    """Opens an adapter by index or by name (any letter case) and returns it;
    use it as a context manager to close it on exit."""
    if isinstance(adapter, str):
        _native.call("HW_NumberOfDevices")
        _native.call("HW_Open", adapter.encode())
        index = _native.call("HW_DeviceNumber", adapter.encode())
    else:
        index = unsigned("adapter", adapter)
        _native.call("HW_NumberOfDevices")
        _native.call("HW_OpenAdapter", index)
    return Adapter(index)


def close_all() -> None:
    """Closes every adapter of the process."""
    _native.call("HW_Close")


def _name_of(index: int) -> str:
    raw = _native.call("HW_Device", index)
    return raw.decode("utf-8", "replace") if raw else ""


class Gpio:
    """The GPIO pins of a K8 board without status LEDs: pins 0..7 are
    ADBUS0..7, 8..15 ACBUS0..7. ``adapter.gpio[13] = 1``, ``adapter.gpio[3]``."""

    def __init__(self, adapter: "Adapter") -> None:
        self._adapter = adapter

    def __setitem__(self, pin: int, level: int) -> None:
        done = _native.call(
            "HW_GpioSetAdapter", self._adapter.index, unsigned("pin", pin, 256), 1 if level else 0
        )
        if not done:
            raise self._no_pins()

    def __getitem__(self, pin: int) -> int:
        level = ctypes.c_uint8(0)
        done = _native.call(
            "HW_GpioGetAdapter", self._adapter.index, unsigned("pin", pin, 256), ctypes.byref(level)
        )
        if not done:
            raise self._no_pins()
        return level.value

    def _no_pins(self) -> InvalidArgumentError:
        return InvalidArgumentError(
            f"{self._adapter.name} has no GPIO pins (only K8 boards without status LEDs have them)"
        )


class Adapter:
    """An open adapter. Every method raises an ``mdiohost.Error`` subclass
    with the library's text when the library records a failure."""

    def __init__(self, index: int) -> None:
        self.index = index
        self.name = _name_of(index)
        self.gpio = Gpio(self)

    def __repr__(self) -> str:
        return f"Adapter({self.index}, {self.name!r})"

    def __enter__(self) -> "Adapter":
        return self

    def __exit__(self, *exception) -> None:
        self.close()

    def close(self) -> None:
        _native.call("HW_CloseAdapter", self.index)

    # --- single 16-bit registers

    def read(self, phy: int, mmd: int, register: int) -> int:
        """A Clause 45 register, through the path the chip serves it by."""
        self._make_default()
        return self._single_read(
            phy,
            "ZM_API_MDIO_Read",
            phy_address(phy),
            unsigned("mmd", mmd),
            unsigned("register", register),
        )

    def write(self, phy: int, mmd: int, register: int, value: int) -> None:
        self._make_default()
        _native.call(
            "ZM_API_MDIO_Write",
            phy_address(phy),
            unsigned("mmd", mmd),
            unsigned("register", register),
            unsigned("value", value, 1 << 16),
        )

    def modify(self, phy: int, mmd: int, register: int, value: int, mask: int) -> Tuple[int, int]:
        """Read-modify-write of the bits `mask` selects; returns (old, new)."""
        unsigned("mask", mask, 1 << 16)
        unsigned("value", value, 1 << 16)
        old = self.read(phy, mmd, register)
        new = (old & ~mask & 0xFFFF) | (value & mask)
        self.write(phy, mmd, register, new)
        return old, new

    def read_c22(self, phy: int, register: int) -> int:
        """A Clause 22 register (0 to 31)."""
        return self._single_read(
            phy, "HW_Read_C22", self.index, phy_address(phy), unsigned("register", register, 32)
        )

    def write_c22(self, phy: int, register: int, value: int) -> None:
        _native.call(
            "HW_Write_C22",
            self.index,
            phy_address(phy),
            unsigned("register", register, 32),
            unsigned("value", value, 1 << 16),
        )

    # --- 32-bit chip registers

    def read32(self, phy: int, address: int) -> int:
        return self._single_read(
            phy, "HW_Read32", self.index, phy_address(phy), unsigned("address", address)
        )

    def write32(self, phy: int, address: int, value: int) -> None:
        _native.call(
            "HW_Write32",
            self.index,
            phy_address(phy),
            unsigned("address", address),
            unsigned("value", value),
        )

    # --- queued access

    def batch(self, phy: int) -> Batch:
        """Queued reads and writes of one PHY, sent in one USB exchange when
        the ``with`` block ends."""
        return Batch(self, phy_address(phy))

    def read_block(self, phy: int, mmd: int, registers: Iterable[int]) -> List[int]:
        """Many registers of one MMD in one USB exchange."""
        with self.batch(phy) as batch:
            results = [batch.read(mmd, register) for register in registers]
        return [result.value for result in results]  # type: ignore[misc]

    def read_burst(self, phy: int, mmd: int, register: int, count: int) -> List[int]:
        """`count` consecutive registers of `mmd` from `register` in one
        burst: one address frame, then post-read-increment reads, all in one
        USB exchange (K8 MDIO adapters; always native Clause 45 frames, and
        the delegated and indirect MMDs are refused). A PHY without
        post-read-increment reads all ones or the same register again, so
        compare a burst with single reads before relying on it."""
        mmd, register, count = burst(mmd, register, count)
        values = (ctypes.c_uint16 * count)()
        self._single_read(
            phy, "mdiohost_read_burst", self.index, phy_address(phy), mmd, register, values, count
        )
        return list(values)

    # --- board services

    def i2c_write(self, address: int, data: bytes) -> None:
        """One raw I2C write transaction to the 7-bit device `address` (K8 I2C
        adapters)."""
        payload = bytes(data)
        if len(payload) > _I2C_LIMIT:
            raise InvalidArgumentError(f"I2C write of {len(payload)} bytes; at most {_I2C_LIMIT}")
        buffer = (ctypes.c_uint8 * max(len(payload), 1)).from_buffer_copy(payload or b"\0")
        device = unsigned("address", address, 128)
        _native.call("mdiohost_i2c_write", self.index, device, buffer, len(payload))

    def i2c_read(self, address: int, register: int, register_length: int, count: int) -> bytes:
        """Writes the `register_length` low bytes of `register` (least
        significant first, at most 4; 0 writes none), then reads `count`
        bytes."""
        unsigned("count", count, _I2C_LIMIT + 1)
        buffer = (ctypes.c_uint8 * max(count, 1))()
        _native.call(
            "mdiohost_i2c_read",
            self.index,
            unsigned("address", address, 128),
            unsigned("register", register),
            unsigned("register_length", register_length, 5),
            buffer,
            count,
        )
        return bytes(buffer[:count])

    def i2c_acknowledged(self) -> bool:
        """Whether the device acknowledged every byte the adapter sent in its
        last raw I2C transfer (for a read: the address and register bytes and
        the second address byte). A silent device reads as all ones, so ask
        this before trusting the bytes of a read."""
        return _native.call("mdiohost_i2c_acknowledged", self.index) == 1

    def board_read(self, register: int) -> int:
        """A board register (older board family)."""
        self._require_board_registers()
        return _native.call("Board_ReadAdapter", self.index, unsigned("register", register, 256))

    def board_write(self, register: int, value: int) -> None:
        self._require_board_registers()
        _native.call(
            "Board_WriteAdapter",
            self.index,
            unsigned("register", register, 256),
            unsigned("value", value, 256),
        )

    # --- settings

    @property
    def clause45_over_clause22(self) -> bool:
        """Whether this adapter's Clause 45 accesses tunnel through Clause 22
        registers 13 and 14."""
        return bool(_native.call("HW_GetClause45OverClause22State", self.index))

    @clause45_over_clause22.setter
    def clause45_over_clause22(self, enabled: bool) -> None:
        function = "HW_EnableClause45OverClause22" if enabled else "HW_DisableClause45OverClause22"
        _native.call(function, self.index)

    def delegation(self, kind: Delegation) -> bool:
        state = _native.call("HW_GetDelegationType", int(kind), self.index)
        if state == _DELEGATION_ERROR:
            raise InvalidArgumentError(f"delegation {kind!r} of adapter {self.index} is refused")
        return bool(state)

    def set_delegation(self, kind: Delegation, enabled: bool) -> None:
        """Routes the accesses of `kind` through the PIF mailbox or not. Every
        delegation is on when the library starts."""
        status = _native.call("HW_SetDelegationType", int(kind), self.index, 1 if enabled else 0)
        if status == _DELEGATION_ERROR:
            raise InvalidArgumentError(f"delegation {kind!r} of adapter {self.index} is refused")

    # --- wire speed (K8 MDIO adapters; the others refuse)

    def set_preamble(self, phy: int, bits: int) -> None:
        """Starts every frame to `phy` with `bits` preamble bits (32, the
        default, down to 0). Only a PHY that accepts preamble suppression
        (Clause 22 status register 1, bit 6) takes frames with fewer; the
        others do not answer them."""
        unsigned("bits", bits, FULL_PREAMBLE_BITS + 1)
        _native.call("mdiohost_set_preamble", self.index, phy_address(phy), bits)

    def preamble(self, phy: int) -> int:
        """The preamble bits of the frames to `phy`."""
        return _native.call("mdiohost_preamble", self.index, phy_address(phy))

    @property
    def compact_encoding(self) -> bool:
        """Whether Clause 45 and Clause 22 frames are clocked with byte
        commands: the same waveform in fewer USB bytes, so more reads fit in
        one transfer. Applies to frames queued after the change."""
        return bool(_native.call("mdiohost_compact_encoding", self.index))

    @compact_encoding.setter
    def compact_encoding(self, enabled: bool) -> None:
        _native.call("mdiohost_set_compact_encoding", self.index, 1 if enabled else 0)

    # --- inside

    def _single_read(self, phy: int, function: str, *arguments: int) -> int:
        try:
            return _native.call(function, *arguments)
        except CommunicationError:
            # A read whose USB exchange failed stays queued in the library,
            # and the PHY's next single read would fail on it. Collecting the
            # queue (the library's own remedy) leaves the next call clean.
            try:
                _native.call("HW_BlockOperationExecuteAdapter", self.index, phy)
            except Error:
                pass
            raise

    def _make_default(self) -> None:
        _native.call("HW_SetDefaultAdapter", self.index)

    def _require_board_registers(self) -> None:
        family = _driver_list.adapter_family(self.name, _driver_list.read_driver_list())
        if family.startswith("K8"):
            raise InvalidArgumentError(
                f"{self.name} has no board registers (older board family only)"
            )
