"""mdiohost: Ethernet PHY registers over MDIO through FTDI-based USB adapters.

>>> import mdiohost
>>> for info in mdiohost.adapters():
...     print(info.index, info.name, info.family)
>>> with mdiohost.open("K8A00001:MDIO") as adapter:
...     identifier = adapter.read(3, 1, 0x0002)

Failures raise ``mdiohost.Error`` (``NotFoundError``, ``CommunicationError``,
``InvalidArgumentError``) with the library's own text. The library is loaded
at the first call; ``load_library()`` loads it at once.
"""

from __future__ import annotations

from . import _native
from ._loader import LIBRARY_VARIABLE, LibraryNotFoundError
from ._values import MAX_BURST_READS
from .adapter import Adapter, AdapterInfo, Delegation, Gpio, adapters, close_all, open
from .batch import Batch, Result
from .errors import CommunicationError, Error, InvalidArgumentError, NotFoundError
from .trace import log_message, stop_trace, trace_to

__version__ = "0.1.0"


def load_library() -> str:
    """Loads and initialises the library now; returns where it came from.
    Raises ``LibraryNotFoundError`` (an ``ImportError``) naming every try."""
    return _native.library_file()


def library_version() -> str:
    """The loaded library's version, "MAJOR.MINOR.PATCH"."""
    return _native.library().mdiohost_version().decode()


__all__ = [
    "Adapter", "AdapterInfo", "Batch", "CommunicationError", "Delegation", "Error", "Gpio",
    "InvalidArgumentError", "LIBRARY_VARIABLE", "LibraryNotFoundError", "MAX_BURST_READS",
    "NotFoundError", "Result", "adapters", "close_all", "library_version", "load_library",
    "log_message", "open", "stop_trace", "trace_to",
]
