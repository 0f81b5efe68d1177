// Session record, report appending and bounded copies.
#include "engine/session.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

SessionContext::SessionContext()
{
    ClearSession(*this);
}

SessionContext& TheSession()
{
    static SessionContext session;
    return session;
}

void ClearSession(SessionContext& context)
{
    std::memset(static_cast<void*>(&context), 0, sizeof context);
}

// The cached length is trusted only while it still points at the terminator.
static size_t ReportEnd(SessionContext& context)
{
    size_t end = context.reportLength;
    if (end >= ReportSize || context.report[end] != 0 || (end > 0 && context.report[end - 1] == 0))
        end = strnlen(context.report, ReportSize - 1);
    return end;
}

void AppendReport(SessionContext& context, const char* format, ...)
{
    size_t end = ReportEnd(context);
    size_t room = ReportSize - end;
    if (room <= 1) {  // a full report takes nothing more: no need to format
        context.report[end] = 0;
        context.reportLength = end;
        return;
    }
    va_list args;
    va_start(args, format);
    int written = std::vsnprintf(context.report + end, room, format, args);
    va_end(args);
    if (written < 0) {
        context.report[end] = 0;
        written = 0;
    }
    size_t added = static_cast<size_t>(written) < room ? static_cast<size_t>(written) : room - 1;
    context.reportLength = end + added;
    context.report[context.reportLength] = 0;
}

void AppendReportText(SessionContext& context, const char* text)
{
    if (!text)
        return;
    size_t end = ReportEnd(context);
    size_t room = ReportSize - 1 - end;
    size_t length = strnlen(text, room);
    std::memcpy(context.report + end, text, length);
    context.reportLength = end + length;
    context.report[context.reportLength] = 0;
}

char* CopyBounded(char* buffer, const char* source, size_t size)
{
    if (!buffer || !source || size == 0)
        return buffer;
    size_t i = 0;
    for (; i + 1 < size && source[i]; i++)
        buffer[i] = source[i];
    buffer[i] = 0;
    return buffer;
}

bool JoinFits(char* buffer, size_t size, const char* first, const char* second, const char* third)
{
    const char* parts[3] = {first, second, third};
    size_t used = 0;
    for (const char* part : parts) {
        if (!part)
            continue;
        size_t length = std::strlen(part);
        if (length >= size - used) {
            buffer[0] = 0;
            return false;
        }
        std::memcpy(buffer + used, part, length);
        used += length;
    }
    buffer[used] = 0;
    return true;
}

void SetUserName(SessionContext& context, const char* name)
{
    CopyBounded(context.userName, name, 260);
}

void SetExeDir(SessionContext& context, const char* dir)
{
    CopyBounded(context.exeDir, dir, 260);
}
