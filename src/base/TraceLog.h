// The CSV trace of register traffic. One process-wide C stream, null while
// tracing is off; every writer does nothing then. Records are written after
// the access they describe, with the value it produced.
//
// Columns: adapter,phy,op,mmd,address,value, -- hexadecimal in upper case.
// The 32-bit records put the 32-bit address in the mmd column and the value in
// the address column (AR32 leaves mmd empty and puts the address in address).
// Every record, the 32-bit ones included, ends with a newline so that the log
// stays one record per line.
#pragma once

#include <cstdint>
#include <cstdio>

namespace mdiohost::trace {

using u32 = std::uint32_t;

void enable(std::FILE* stream, bool owned);  // writes the header line
void disable(bool closeStream);
void message(const char* text);  // "%s\n", then flush
bool enabled();

// Single 16-bit accesses.
void MW(u32 adapter, u32 phy, u32 mmd, u32 address, u32 value);
void MR(u32 adapter, u32 phy, u32 mmd, u32 address, u32 value);
// Queued 16-bit accesses and the values an execute returned.
void AR(u32 adapter, u32 phy, u32 mmd, u32 address);
void AW(u32 adapter, u32 phy, u32 mmd, u32 address, u32 value);
void AF(u32 adapter, u32 phy, u32 value);
// 32-bit register accesses.
void MW32(u32 adapter, u32 phy, u32 address, u32 value);
void MR32(u32 adapter, u32 phy, u32 address, u32 value);
void AR32(u32 adapter, u32 phy, u32 address);
void AW32(u32 adapter, u32 phy, u32 address, u32 value);

}  // namespace mdiohost::trace
