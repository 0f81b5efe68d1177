// NetBIOS adapter requests. Each request gets an NCB that is all zero except
// for the fields it names, so that the platform's defaults apply to the rest.
// Buffers are handed to Netbios directly with a length that never exceeds
// the caller's size: what a failing request leaves there is what the caller
// had before, or what the platform wrote within that length.
#include "platform/win32/netbios.h"

#include <windows.h>
#include <nb30.h>

#include <cstring>

namespace {

constexpr size_t EnumLength = 256;    // sizeof(LANA_ENUM)
constexpr size_t StatusLength = 600;  // adapter status and its name table

WORD BoundedLength(size_t size, size_t limit)
{
    return static_cast<WORD>(size < limit ? size : limit);
}

}  // namespace

bool NetbiosEnumAdapters(uint8_t* list, size_t size)
{
    if (!list || size == 0)
        return false;
    NCB block;
    std::memset(&block, 0, sizeof block);
    block.ncb_command = NCBENUM;
    block.ncb_buffer = list;
    block.ncb_length = BoundedLength(size, EnumLength);
    return Netbios(&block) == NRC_GOODRET;
}

bool NetbiosResetAdapter(uint8_t adapter)
{
    NCB block;
    std::memset(&block, 0, sizeof block);
    block.ncb_command = NCBRESET;
    block.ncb_lana_num = adapter;
    return Netbios(&block) == NRC_GOODRET;
}

bool NetbiosAdapterStatus(uint8_t adapter, uint8_t* buffer, size_t size)
{
    if (!buffer || size == 0)
        return false;
    NCB block;
    std::memset(&block, 0, sizeof block);
    block.ncb_command = NCBASTAT;
    block.ncb_lana_num = adapter;
    // "*" and 15 blanks fill the whole 16-byte name: no terminator in it.
    std::memset(block.ncb_callname, ' ', sizeof block.ncb_callname);
    block.ncb_callname[0] = '*';
    block.ncb_buffer = buffer;
    block.ncb_length = BoundedLength(size, StatusLength);
    // An incomplete answer (more names than fit) still carries the address.
    const UCHAR result = Netbios(&block);
    return result == NRC_GOODRET || result == NRC_INCOMP;
}
