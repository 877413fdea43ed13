"""Every C function the package calls, declared once: name, result, arguments.

The functions of mdiohost.h marked THROWS (the qualified and queued 32-bit
functions, the refused widths) are absent on purpose: a C++ exception
through ctypes ends the interpreter. Their guarded counterparts of
mdiohost_ext.h are used instead.
"""

from __future__ import annotations

import ctypes
from typing import Dict, Optional, Sequence, Tuple

u8 = ctypes.c_uint8
u32 = ctypes.c_uint32
u64 = ctypes.c_uint64
c_int = ctypes.c_int
text = ctypes.c_char_p
u8_buffer = ctypes.POINTER(ctypes.c_uint8)
u16_buffer = ctypes.POINTER(ctypes.c_uint16)

Signature = Tuple[Optional[type], Sequence[type]]

SIGNATURES: Dict[str, Signature] = {
    # failure state and library
    "HW_Fail": (u8, ()),
    "HW_Error": (text, ()),
    "mdiohost_version": (text, ()),
    "mdiohost_set_error_echo": (None, (c_int,)),
    "mdiohost_error_echo": (c_int, ()),
    "mdiohost_clear_failure": (None, ()),
    # adapters
    "HW_Initialize": (u32, ()),
    "HW_NumberOfDevices": (u32, ()),
    "HW_Device": (text, (u32,)),
    "HW_Open": (u32, (text,)),
    "HW_OpenAdapter": (u32, (u32,)),
    "HW_CloseAdapter": (u32, (u32,)),
    "HW_Close": (None, ()),
    "HW_DeviceNumber": (u32, (text,)),
    "HW_SetDefaultAdapter": (u32, (u32,)),
    "HW_GetDefaultAdapter": (u32, ()),
    # single 16-bit access; the ZM_API_ forms on the default adapter take
    # every path of the chip and honour its settings
    "ZM_API_MDIO_Read": (u32, (u32, u32, u32)),
    "ZM_API_MDIO_Write": (None, (u32, u32, u32, u32)),
    "HW_Read_C22": (u32, (u32, u32, u32)),
    "HW_Write_C22": (None, (u32, u32, u32, u32)),
    # 32-bit registers
    "HW_Read32": (u32, (u32, u32, u32)),
    "HW_Write32": (None, (u32, u32, u32, u32)),
    # queued access
    "HW_BlockReadAdapter": (None, (u32, u32, u32, u32)),
    "HW_BlockWriteAdapter": (None, (u32, u32, u32, u32, u32)),
    "mdiohost_block_read32": (c_int, (u32, u32, u32)),
    "mdiohost_block_write32": (c_int, (u32, u32, u32, u32)),
    "HW_BlockOperationExecuteAdapter": (u64, (u32, u32)),
    "HW_BlockReadQueueSize": (u32, ()),
    # board services
    "Board_ReadAdapter": (u32, (u32, u32)),
    "Board_WriteAdapter": (None, (u32, u32, u32)),
    "HW_GpioSetAdapter": (u32, (u32, u8, u8)),
    "HW_GpioGetAdapter": (u32, (u32, u8, u8_buffer)),
    "mdiohost_i2c_write": (c_int, (u32, u32, u8_buffer, u32)),
    "mdiohost_i2c_read": (c_int, (u32, u32, u32, u32, u8_buffer, u32)),
    "mdiohost_i2c_acknowledged": (c_int, (u32,)),
    # settings
    "HW_SetDelegationType": (u32, (u32, u32, u32)),
    "HW_GetDelegationType": (u32, (u32, u32)),
    "HW_EnableClause45OverClause22": (None, (u32,)),
    "HW_DisableClause45OverClause22": (None, (u32,)),
    "HW_GetClause45OverClause22State": (u32, (u32,)),
    # wire speed (K8 MDIO adapters)
    "mdiohost_set_preamble": (c_int, (u32, u32, u32)),
    "mdiohost_preamble": (c_int, (u32, u32)),
    "mdiohost_block_read_burst": (c_int, (u32, u32, u32, u32, u32)),
    "mdiohost_read_burst": (c_int, (u32, u32, u32, u32, u16_buffer, u32)),
    "mdiohost_set_compact_encoding": (c_int, (u32, c_int)),
    "mdiohost_compact_encoding": (c_int, (u32,)),
    # trace log
    "HW_EnableLogging": (None, (ctypes.c_void_p,)),
    "HW_DisableLogging": (None, (ctypes.c_int32,)),
    "HW_LogMsg": (None, (text,)),
}


def declare(library: ctypes.CDLL) -> None:
    """Gives every function of the table its result and argument types."""
    for name, (result, arguments) in SIGNATURES.items():
        function = getattr(library, name)
        function.restype = result
        function.argtypes = list(arguments)
