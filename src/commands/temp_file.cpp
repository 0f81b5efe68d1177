// Temporary names beside a target.
#include "commands/temp_file.h"

bool TempNameBeside(char* buffer, size_t size, const char* target, int attempt)
{
    const char suffix[] = {'~', 't', 'm', static_cast<char>('0' + attempt % 10), 0};
    return JoinFits(buffer, size, target, suffix);
}
