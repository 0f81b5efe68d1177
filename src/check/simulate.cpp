// The dry run.
#include "check/simulate.h"

#include <cctype>
#include <memory>

#include "check/overlay_platform.h"
#include "engine/logon.h"
#include "engine/runner.h"
#include "engine/session.h"
#include "facts/facts.h"

bool ParseAdapterAddress(const std::string& text, uint8_t address[6])
{
    std::string digits;
    for (char c : text) {
        if (c == '-' || c == ':')
            continue;
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
        digits += c;
    }
    if (digits.size() != 12)
        return false;
    for (int i = 0; i < 6; i++)
        address[i] = static_cast<uint8_t>(std::stoul(digits.substr(2 * i, 2), nullptr, 16));
    return true;
}

// The directory part of a path, without its last separator.
static std::string DirectoryOf(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

// Installs a platform for the lifetime of the object and puts back the one
// in use before.
class PlatformSwap {
public:
    explicit PlatformSwap(Platform& platform) : previous(&Os()) { SetPlatform(&platform); }
    ~PlatformSwap() { SetPlatform(previous == &NativePlatform() ? nullptr : previous); }

private:
    Platform* previous;
};

SimulationResult SimulateScript(const std::string& scriptPath, const SimulationOptions& options, Platform& base)
{
    SimulationResult result;
    OverlayPlatform overlay(base);
    overlay.user = options.user;
    overlay.computer = options.computer;
    if (!options.mac.empty()) {
        uint8_t address[6];
        if (!ParseAdapterAddress(options.mac, address)) {
            result.error = "Die Adapteradresse '" + options.mac + "' hat nicht 12 Hexadezimalziffern";
            return result;
        }
        overlay.setAdapterAddress(address);
    }
    for (const std::string& path : options.existing)
        overlay.assumeFile(path.c_str());

    const std::string logonPath = DirectoryOf(scriptPath);
    const std::string exeDir = options.exeDir.empty() ? logonPath : options.exeDir;
    auto context = std::make_unique<SessionContext>();
    if (!JoinFits(context->scriptPath, FieldSize, scriptPath.c_str()) ||
        !JoinFits(context->logonPath, FieldSize, logonPath.c_str()) || exeDir.size() >= LineSize) {
        result.error = "Der Pfad ist zu lang";
        return result;
    }
    SetExeDir(*context, exeDir.c_str());

    PlatformSwap use(overlay);
    if (!FileReadable(context->scriptPath)) {
        result.error = "Die Datei kann nicht gelesen werden";
        return result;
    }
    SetUserName(*context, ReadUserName());
    result.report = RunScript(*context, result.aborted);
    result.ran = true;
    result.actions = overlay.actions();
    if (result.aborted)
        result.actions.push_back("Selbst-Update: \xdc" "bergabe an den Updater, das Script endet hier");
    return result;
}
