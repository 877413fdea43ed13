"""Queued register access: many operations, one USB exchange.

Operations are collected in Python while the ``with`` block runs and handed
to the library only on a clean exit, so an exception inside the block sends
nothing. On exit every operation is queued for the PHY and the queue is
executed once: one USB write carries every frame and one USB read brings
every reply (a batch larger than one USB transfer is split by the library).
"""

from __future__ import annotations

import ctypes
from dataclasses import dataclass
from typing import TYPE_CHECKING, List, Optional, Tuple

from . import _native
from ._values import burst, unsigned
from .errors import Error, InvalidArgumentError

if TYPE_CHECKING:
    from .adapter import Adapter

# Not plain MDIO devices: their accesses take several steps through the
# chip's indirect paths, which a queue cannot express.
INDIRECT_MMDS = frozenset({10, 11, 27, 28})


class Result:
    """The value of one queued read; ``value`` is None until the batch ran."""

    __slots__ = ("value",)

    def __init__(self) -> None:
        self.value: Optional[int] = None

    def __repr__(self) -> str:
        shown = "pending" if self.value is None else f"0x{self.value:04X}"
        return f"Result({shown})"


@dataclass
class _Operation:
    function: str
    arguments: Tuple[int, ...]
    results: Tuple[Result, ...]  # one per value the operation reads, in order


class Batch:
    """Queued reads and writes for one PHY of one adapter.

    >>> with adapter.batch(3) as b:
    ...     identifier = b.read(1, 2)
    ...     b.write(7, 0x10, 0x1234)
    >>> identifier.value
    """

    def __init__(self, adapter: "Adapter", phy: int) -> None:
        self._adapter = adapter
        self._phy = phy
        self._operations: List[_Operation] = []
        self._executed = False

    # --- collecting

    def read(self, mmd: int, register: int) -> Result:
        """Queues a Clause 45 read; the result fills in when the batch runs."""
        self._check_mmd(mmd)
        return self._add("HW_BlockReadAdapter", (mmd, unsigned("register", register)), Result())[0]

    def write(self, mmd: int, register: int, value: int) -> None:
        self._check_mmd(mmd)
        self._add(
            "HW_BlockWriteAdapter",
            (mmd, unsigned("register", register), unsigned("value", value)),
        )

    def read32(self, address: int) -> Result:
        """Queues a read of a 32-bit chip register."""
        return self._add("mdiohost_block_read32", (unsigned("address", address),), Result())[0]

    def write32(self, address: int, value: int) -> None:
        self._add(
            "mdiohost_block_write32", (unsigned("address", address), unsigned("value", value))
        )

    def read_burst(self, mmd: int, register: int, count: int) -> List[Result]:
        """Queues a burst of `count` registers from `register` (K8 MDIO
        adapters): one address frame, then post-read-increment reads. The
        results, one per register, fill in when the batch runs."""
        self._check_mmd(mmd)
        arguments = burst(mmd, register, count)
        results = [Result() for _ in range(count)]
        self._add("mdiohost_block_read_burst", arguments, *results)
        return results

    def __len__(self) -> int:
        return len(self._operations)

    # --- running

    def __enter__(self) -> "Batch":
        return self

    def __exit__(self, kind, value, traceback) -> None:
        if kind is None:
            self.execute()

    def execute(self) -> List[int]:
        """Queues everything, executes once, fills the results and returns the
        values read in order. A batch runs once."""
        if self._executed:
            raise InvalidArgumentError("this batch has already run")
        self._executed = True
        if not self._operations:
            return []
        index = self._adapter.index
        if self._adapter.clause45_over_clause22:
            raise InvalidArgumentError(
                "batches send native Clause 45 frames; this adapter tunnels Clause 45 "
                "over Clause 22, so use adapter.read or adapter.write"
            )
        try:
            for operation in self._operations:
                _native.call(operation.function, index, self._phy, *operation.arguments)
        except Error:
            # Whatever was queued before the failure must not stay queued: the
            # next single read of this PHY would fail on it.
            self._drain(index)
            raise
        values = self._collect(index)
        results = [result for op in self._operations for result in op.results]
        if len(values) != len(results):
            raise Error(
                f"the batch queued {len(results)} reads but {len(values)} values came back",
                "HW_BlockOperationExecuteAdapter",
            )
        for result, read in zip(results, values):
            result.value = read
        return values

    # --- inside

    def _add(
        self, function: str, arguments: Tuple[int, ...], *results: Result
    ) -> Tuple[Result, ...]:
        if self._executed:
            raise InvalidArgumentError("this batch has already run; start a new one")
        self._operations.append(_Operation(function, arguments, results))
        return results

    def _check_mmd(self, mmd: int) -> None:
        unsigned("mmd", mmd, 32)
        if mmd in INDIRECT_MMDS:
            raise InvalidArgumentError(
                f"MMD {mmd} is reached through the chip's indirect path and cannot be "
                "batched; use adapter.read or adapter.write"
            )

    def _collect(self, index: int) -> List[int]:
        address = _native.call("HW_BlockOperationExecuteAdapter", index, self._phy)
        count = _native.call("HW_BlockReadQueueSize")
        if not address or count == 0:
            return []
        return list((ctypes.c_uint32 * count).from_address(address))

    def _drain(self, index: int) -> None:
        try:
            self._collect(index)
        except Error:
            pass
