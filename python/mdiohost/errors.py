"""The exceptions the package raises for failures the library records.

The library records a failure as a flag and a text. The text tells a few
kinds apart, and each kind gets its own subclass so that a test can catch
exactly the failure it provokes.
"""

from __future__ import annotations


class Error(Exception):
    """A failure the library recorded; ``message`` is the library's own text."""

    def __init__(self, message: str, function: str = "") -> None:
        super().__init__(message)
        self.message = message
        self.function = function


class NotFoundError(Error, LookupError):
    """No adapter with that index or name, or it is not open."""


class CommunicationError(Error, OSError):
    """A USB transfer or driver call failed (an unplugged board, a time-out)."""


class InvalidArgumentError(Error, ValueError):
    """A value the library or the package refuses (PHY id, pin, count, an
    adapter of the wrong kind for the service)."""


# Leading texts of the library's messages, in the order they are tried.
_NOT_FOUND = ("Device not found/in use:",)
_COMMUNICATION = (
    "Device Communication problem:",
    "FTDI Write Error",
    "FTDI Transaction Error",
    "Error: PIF Mailbox",
)
# Anywhere in the text.
_INVALID = (
    "invalid",
    "out of range",
    "Invalid",
    "null pointer",
    "refused",
    "isn't set as output",
    "no raw I2C",
    "not supported",
    "has no MDIO engine",
    "std::bad_cast",
    "no wire-speed settings",
    "not reached by plain MDIO",
    "runs past register",
)


def error_for(message: str, function: str = "") -> Error:
    """The exception of the kind the library's text names."""
    if message.startswith(_NOT_FOUND):
        return NotFoundError(message, function)
    if message.startswith(_COMMUNICATION):
        return CommunicationError(message, function)
    if any(marker in message for marker in _INVALID):
        return InvalidArgumentError(message, function)
    return Error(message, function)
