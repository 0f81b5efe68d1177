// Network drives and the commands drive and killdrive.
#include "commands/network_drives.h"

#include "engine/command_table.h"
#include "platform/platform.h"

namespace {

constexpr int NoError = 0;

// Receives the remote name while a connection is tested; not used after.
char connectedName[260];

// "x:" from the token's first character, case unchanged. An empty token
// names no drive: false, so that no connection without a letter is made.
bool LocalDeviceName(const char* driveToken, char (&name)[3])
{
    if (!driveToken || !driveToken[0])
        return false;
    name[0] = driveToken[0];
    name[1] = ':';
    name[2] = 0;
    return true;
}

}  // namespace

bool MapDrive(const char* driveToken, const char* remoteName)
{
    char local[3];
    if (!LocalDeviceName(driveToken, local))
        return false;
    return Os().addConnection(local, remoteName) == NoError;
}

bool IsDriveConnected(const char* driveToken)
{
    char local[3];
    if (!LocalDeviceName(driveToken, local))
        return false;
    return Os().getConnection(local, connectedName, sizeof connectedName) == NoError;
}

bool UnmapDrive(const char* driveToken)
{
    if (!IsDriveConnected(driveToken))
        return true;
    char local[3];
    LocalDeviceName(driveToken, local);
    return Os().cancelConnection(local, true) == NoError;
}

LineResult DriveCommand(SessionContext& context)
{
    EchoTokens(context);
    return MapDrive(context.tokens[1], context.tokens[2]) ? LineDone : LineFailed;
}

LineResult KillDriveCommand(SessionContext& context)
{
    const char* drive = context.tokens[1];
    if (drive[0] == 0 || drive[1] != ':') {
        AppendReport(context, "Fehler ");
        EchoTokens(context);
        return LineFailed;
    }
    if (!IsDriveConnected(drive))
        return LineSkipped;
    EchoTokens(context);
    return UnmapDrive(drive) ? LineDone : LineFailed;
}
