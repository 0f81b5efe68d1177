// Machine and time facts.
#include "facts/facts.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

const char* ReadUserName()
{
    static char name[120];
    if (!Os().userName(name, sizeof name))
        name[0] = 0;
    return name;
}

bool ReadComputerName(SessionContext& context)
{
    char name[256];
    if (!Os().computerName(name, sizeof name))
        return false;
    CopyBounded(context.computerName, name, sizeof name);
    return true;
}

// The adapter-status record is kept for the whole program and never cleared:
// when a request fails, the address of the previous answer (all zero at
// first) is what is shown.
static uint8_t adapterStatusBuffer[600];

void ReadMacAddress(SessionContext& context)
{
    uint8_t adapters[256] = {0};
    // When even the enumeration fails there is no adapter number to ask for;
    // the address then stays as the status record last held it.
    if (Os().adapterEnum(adapters, sizeof adapters)) {
        uint8_t first = adapters[1];
        Os().adapterReset(first);
        Os().adapterStatus(first, adapterStatusBuffer, sizeof adapterStatusBuffer);
    }
    const uint8_t* a = adapterStatusBuffer;
    std::snprintf(context.macAddress, FieldSize, "%02X%02X%02X%02X%02X%02X", a[0], a[1], a[2], a[3],
                  a[4], a[5]);
}

static const char* PlatformText(const VersionInfo& info)
{
    uint32_t build = info.build & 0xFFFF;
    switch (info.platformId) {
    case 0:
        return "Win32s auf Win 3.x ";
    case 1:
        if (info.major != 4)
            return "Windows 2K??? ";
        if (info.minor < 10)
            return "Windows 95 ";
        return build < 2000 ? "Windows 98 " : "Windows 98 SE ";
    case 2:
        return "Windows NT ";
    default:
        return "Win32 ";
    }
}

void FormatOsVersion(SessionContext& context, const VersionInfo& info)
{
    if (info.platformId == PlatformPosix)
        AppendReport(context, "%s ", info.systemText);
    else
        AppendReport(context, "%s", PlatformText(info));
    AppendReport(context, "v%ld.%ld ", static_cast<long>(info.major), static_cast<long>(info.minor));
    AppendReport(context, "Build %ld ", static_cast<long>(info.build & 0xFFFF));
    AppendReportText(context, info.csdVersion);
}

void AppendOsVersion(SessionContext& context)
{
    VersionInfo info;
    if (!Os().versionInfo(info))
        return;
    info.csdVersion[sizeof info.csdVersion - 1] = 0;
    info.systemText[sizeof info.systemText - 1] = 0;
    FormatOsVersion(context, info);
    AppendReport(context, "\r\n");
}

const char* DateText(SessionContext& context, int append)
{
    static char text[16];
    LocalTime now;
    Os().localTime(now);
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", now.year % 10000, now.month % 100, now.day % 100);
    if (append)
        AppendReportText(context, text);
    return text;
}

const char* TimeText(SessionContext& context, int append)
{
    static char text[8];
    LocalTime now;
    Os().localTime(now);
    std::snprintf(text, sizeof text, "%02d:%02d", now.hour % 100, now.minute % 100);
    if (append)
        AppendReportText(context, text);
    return text;
}

const char* DateTimeText(SessionContext& context, int append)
{
    static char text[24];
    // The time is read before the date, as the header always did: at the
    // stroke of midnight the new day's date may pair with 23:59.
    char time[8];
    CopyBounded(time, TimeText(context, 0), sizeof time);
    const char* date = DateText(context, 0);
    std::snprintf(text, sizeof text, "%s %s", date, time);
    if (append)
        AppendReportText(context, text);
    return text;
}

const char* TempInfoText()
{
    static char text[FieldSize];
    char value[FieldSize];
    // TMP is shown with its label; a value too long for the text is cut so
    // that the label's closing quote and semicolon still stand.
    if (Os().environment("TMP", value, sizeof value) >= 0) {
        value[FieldSize - 1 - 7] = 0;
        JoinFits(text, sizeof text, "TMP='", value, "';");
    } else if (Os().environment("TEMP", value, sizeof value) >= 0) {
        CopyBounded(text, value, sizeof text);
    } else {
        text[0] = 0;
    }
    return text;
}
