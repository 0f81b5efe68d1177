// Selection of the platform in use: the build's native one, or a test's.
#include "platform/platform.h"

static Platform* installed = nullptr;

Platform& Os()
{
    return installed ? *installed : NativePlatform();
}

void SetPlatform(Platform* platform)
{
    installed = platform;
}
