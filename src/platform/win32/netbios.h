// The three NetBIOS requests behind the adapter address: NCBENUM, NCBRESET
// and NCBASTAT, each with a freshly zeroed NCB.
#pragma once

#include <cstddef>
#include <cstdint>

// Lists the adapters into `list` (a LANA_ENUM: count byte, then numbers).
bool NetbiosEnumAdapters(uint8_t* list, size_t size);
// Resets `adapter` with the platform's default session and name limits.
bool NetbiosResetAdapter(uint8_t adapter);
// Reads the status record of `adapter` for the call name "*"; its first six
// bytes are the adapter address. At most 600 bytes of `buffer` are used.
bool NetbiosAdapterStatus(uint8_t adapter, uint8_t* buffer, size_t size);
