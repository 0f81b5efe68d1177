// The overlay platform: reads from the base, changes in memory.
#include "check/overlay_platform.h"

#include <algorithm>
#include <cstring>

// Win32 result codes the connection services answer.
constexpr int NoError = 0;
constexpr int AlreadyAssigned = 85;
constexpr int MoreData = 234;
constexpr int NotConnected = 2250;

// Identities of files that exist only in the overlay carry this volume.
constexpr uint64_t OverlayVolume = 0x4f5645524c4159ull;

// Files read for naming the source of a copy are compared up to this size.
constexpr size_t MaxComparedBytes = 4 * 1024 * 1024;

struct OverlayPlatform::Entry {
    std::string path;  // as first named
    bool exists = false;
    bool readOnly = false;
    std::string data;
    LocalTime written;
    bool baseExists = false;  // what the base holds, for describing the change
    bool baseReadOnly = false;
    std::string baseData;
    uint64_t index = 0;
    bool noted = false;
};

namespace {

// Windows names are case-insensitive and take either slash.
std::string Key(const char* path)
{
    std::string key = path ? path : "";
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        else if (c == '/')
            c = '\\';
    }
    return key;
}

bool Give(const std::string& value, char* out, size_t size)
{
    if (!out || value.size() >= size)
        return false;
    std::memcpy(out, value.c_str(), value.size() + 1);
    return true;
}

// An open file of the overlay: reads and writes the entry's bytes directly,
// so every open file of one name sees the same content, as with shared
// access on disk.
class OverlayFile : public File {
public:
    OverlayFile(std::shared_ptr<OverlayPlatform::Entry> entry, bool append) : entry(std::move(entry)), append(append)
    {
    }
    size_t read(void* buffer, size_t size) override;
    size_t write(const void* buffer, size_t size) override;
    int64_t seekEnd() override;
    bool flush() override { return true; }
    bool close() override { return true; }

private:
    std::shared_ptr<OverlayPlatform::Entry> entry;
    bool append;
    size_t position = 0;
};

}  // namespace

size_t OverlayFile::read(void* buffer, size_t size)
{
    const std::string& data = entry->data;
    if (position >= data.size())
        return 0;
    const size_t count = std::min(size, data.size() - position);
    std::memcpy(buffer, data.data() + position, count);
    position += count;
    return count;
}

size_t OverlayFile::write(const void* buffer, size_t size)
{
    std::string& data = entry->data;
    if (append)
        position = data.size();
    if (data.size() < position + size)
        data.resize(position + size);
    std::memcpy(&data[position], buffer, size);
    position += size;
    return size;
}

int64_t OverlayFile::seekEnd()
{
    position = entry->data.size();
    return static_cast<int64_t>(position);
}

OverlayPlatform::OverlayPlatform(Platform& base) : base(base) {}

OverlayPlatform::~OverlayPlatform() = default;

void OverlayPlatform::setAdapterAddress(const uint8_t given[6])
{
    std::memcpy(address, given, sizeof address);
    hasAddress = true;
}

void OverlayPlatform::assumeFile(const char* path)
{
    std::shared_ptr<Entry> entry = materialize(path);
    if (!entry || entry->exists)
        return;
    entry->exists = entry->baseExists = true;
    base.localTime(entry->written);
}

// --- The overlay's bookkeeping ---------------------------------------------

std::shared_ptr<OverlayPlatform::Entry> OverlayPlatform::find(const char* path) const
{
    auto found = entries.find(Key(path));
    return found == entries.end() ? nullptr : found->second;
}

std::string OverlayPlatform::baseContent(const char* path) const
{
    std::string content;
    std::unique_ptr<File> file = base.openFile(path, OpenMode::Read);
    char chunk[16384];
    size_t got;
    while (file && (got = file->read(chunk, sizeof chunk)) > 0)
        content.append(chunk, got);
    return content;
}

// The entry for `path`, taken over from the base the first time; nullptr
// for a directory, which the overlay never changes.
std::shared_ptr<OverlayPlatform::Entry> OverlayPlatform::materialize(const char* path)
{
    if (std::shared_ptr<Entry> entry = find(path))
        return entry;
    FileAttributes attributes;
    const FsStatus status = base.attributes(path, attributes);
    if (status == FsStatus::Ok && attributes.directory)
        return nullptr;
    auto entry = std::make_shared<Entry>();
    entry->path = path;
    entry->index = nextIndex++;
    if (status == FsStatus::Ok || status == FsStatus::AccessDenied) {
        entry->exists = entry->baseExists = true;
        entry->readOnly = entry->baseReadOnly = attributes.readOnly;
        entry->data = entry->baseData = baseContent(path);
        FoundFile found;
        if (base.findFile(path, found))
            entry->written = found.lastWrite;
    }
    entries[Key(path)] = entry;
    return entry;
}

void OverlayPlatform::noteChange(const std::shared_ptr<Entry>& entry)
{
    if (entry->noted)
        return;
    entry->noted = true;
    events.push_back({"", entry});
}

// A file can be made only in a directory that exists.
bool OverlayPlatform::parentExists(const char* path)
{
    const std::string text = path;
    const size_t slash = text.find_last_of("\\/");
    if (slash == std::string::npos || slash == 0)
        return true;
    std::string parent = text.substr(0, slash);
    if (parent.back() == ':')
        parent += '\\';
    FileAttributes attributes;
    return (base.attributes(parent.c_str(), attributes) == FsStatus::Ok && attributes.directory) ||
           base.isDriveRoot(parent.c_str());
}

// --- Files -------------------------------------------------------------------

std::unique_ptr<File> OverlayPlatform::openFile(const char* path, OpenMode mode)
{
    if (!path || !*path)
        return nullptr;
    if (mode == OpenMode::Read) {
        std::shared_ptr<Entry> entry = find(path);
        std::unique_ptr<File> file;
        if (entry)
            file = entry->exists ? std::make_unique<OverlayFile>(entry, false) : nullptr;
        else
            file = base.openFile(path, OpenMode::Read);
        if (file && readKeys.insert(Key(path)).second)
            readPaths.push_back(path);
        return file;
    }
    if (!parentExists(path))
        return nullptr;
    std::shared_ptr<Entry> entry = materialize(path);
    if (!entry || (entry->exists && entry->readOnly) || (mode == OpenMode::CreateNew && entry->exists))
        return nullptr;
    noteChange(entry);
    if (mode != OpenMode::Append)
        entry->data.clear();
    entry->exists = true;
    base.localTime(entry->written);
    return std::make_unique<OverlayFile>(entry, mode == OpenMode::Append);
}

FsStatus OverlayPlatform::attributes(const char* path, FileAttributes& out)
{
    std::shared_ptr<Entry> entry = find(path);
    if (!entry)
        return base.attributes(path, out);
    if (!entry->exists)
        return FsStatus::NotFound;
    out.directory = false;
    out.readOnly = entry->readOnly;
    return FsStatus::Ok;
}

bool OverlayPlatform::setReadOnly(const char* path, bool readOnly)
{
    std::shared_ptr<Entry> entry = materialize(path);
    if (!entry)  // a directory: its flag means nothing to the system
        return true;
    if (!entry->exists)
        return false;
    noteChange(entry);
    entry->readOnly = readOnly;
    return true;
}

bool OverlayPlatform::removeFile(const char* path)
{
    std::shared_ptr<Entry> entry = materialize(path);
    if (!entry || !entry->exists || entry->readOnly)
        return false;
    noteChange(entry);
    entry->exists = false;
    entry->data.clear();
    return true;
}

bool OverlayPlatform::replaceFile(const char* from, const char* to)
{
    std::shared_ptr<Entry> source = materialize(from);
    std::shared_ptr<Entry> target = materialize(to);
    if (!source || !target || !source->exists || (target->exists && target->readOnly))
        return false;
    if (source == target)
        return true;
    noteChange(source);
    noteChange(target);
    target->exists = true;
    target->data.swap(source->data);
    target->readOnly = source->readOnly;
    target->written = source->written;
    source->exists = false;
    source->data.clear();
    return true;
}

bool OverlayPlatform::identity(const char* path, FileIdentity& out)
{
    std::shared_ptr<Entry> entry = find(path);
    if (!entry)
        return base.identity(path, out);
    if (!entry->exists)
        return false;
    if (entry->baseExists && base.identity(path, out))
        return true;
    out.volume = OverlayVolume;
    out.index = entry->index;
    return true;
}

bool OverlayPlatform::findFile(const char* path, FoundFile& out)
{
    std::shared_ptr<Entry> entry = find(path);
    if (!entry)
        return base.findFile(path, out);
    if (!entry->exists)
        return false;
    out.size = static_cast<int64_t>(entry->data.size());
    out.lastWrite = entry->written;
    return true;
}

bool OverlayPlatform::shortPath(const char* path, char* out, size_t size)
{
    std::shared_ptr<Entry> entry = find(path);
    if (entry && entry->exists && !entry->baseExists)  // no short name for what is not on disk
        return path && Give(path, out, size);
    return base.shortPath(path, out, size);
}

// --- Identity ----------------------------------------------------------------

bool OverlayPlatform::userName(char* out, size_t size)
{
    return user.empty() ? base.userName(out, size) : Give(user, out, size);
}

bool OverlayPlatform::computerName(char* out, size_t size)
{
    return computer.empty() ? base.computerName(out, size) : Give(computer, out, size);
}

bool OverlayPlatform::adapterEnum(uint8_t* list, size_t size)
{
    if (!hasAddress)
        return base.adapterEnum(list, size);
    if (!list || size < 2)
        return false;
    list[0] = 1;
    list[1] = 0;
    return true;
}

bool OverlayPlatform::adapterReset(uint8_t adapter)
{
    return hasAddress ? adapter == 0 : base.adapterReset(adapter);
}

bool OverlayPlatform::adapterStatus(uint8_t adapter, uint8_t* buffer, size_t size)
{
    if (!hasAddress)
        return base.adapterStatus(adapter, buffer, size);
    if (adapter != 0 || !buffer || size < sizeof address)
        return false;
    std::memcpy(buffer, address, sizeof address);
    return true;
}

// --- Processes and connections -------------------------------------------------

int OverlayPlatform::startProcess(const char*, const char* commandLine, bool wait)
{
    events.push_back({std::string(wait ? "Programm gestartet: " : "Programm gestartet, ohne zu warten: ") +
                          (commandLine ? commandLine : ""),
                      nullptr});
    return 0;
}

int OverlayPlatform::addConnection(const char* localName, const char* remoteName)
{
    const std::string local = Key(localName);
    if (connections.count(local))
        return AlreadyAssigned;
    connections[local] = remoteName ? remoteName : "";
    events.push_back({std::string("Laufwerk verbunden: ") + localName + " -> " + connections[local], nullptr});
    return NoError;
}

int OverlayPlatform::getConnection(const char* localName, char* remote, size_t size)
{
    auto found = connections.find(Key(localName));
    if (found == connections.end())
        return NotConnected;
    return Give(found->second, remote, size) ? NoError : MoreData;
}

int OverlayPlatform::cancelConnection(const char* localName, bool)
{
    auto found = connections.find(Key(localName));
    if (found == connections.end())
        return NotConnected;
    connections.erase(found);
    events.push_back({std::string("Laufwerk getrennt: ") + localName, nullptr});
    return NoError;
}

// --- The record --------------------------------------------------------------------

// The file that was read during the run and holds what `entry` now holds.
std::string OverlayPlatform::copySource(const Entry& entry) const
{
    if (entry.data.empty())
        return "";
    for (const std::string& path : readPaths) {
        if (Key(path.c_str()) == Key(entry.path.c_str()))
            continue;
        std::shared_ptr<Entry> other = find(path.c_str());
        if (other) {
            if ((other->baseExists && other->baseData == entry.data) || (other->exists && other->data == entry.data))
                return path;
            continue;
        }
        FoundFile found;
        if (base.findFile(path.c_str(), found) && found.size == static_cast<int64_t>(entry.data.size()) &&
            entry.data.size() <= MaxComparedBytes && baseContent(path.c_str()) == entry.data)
            return path;
    }
    return "";
}

std::string OverlayPlatform::describe(const Entry& entry) const
{
    if (!entry.exists)
        return entry.baseExists ? "Datei gel\xf6scht: " + entry.path : "";
    const std::string size = " (" + std::to_string(entry.data.size()) + " Bytes)";
    const std::string source = copySource(entry);
    std::string copy = source.empty() ? "" : ", Kopie von " + source;
    if (!entry.baseExists)
        return "Datei angelegt: " + entry.path + size + copy;
    if (entry.readOnly != entry.baseReadOnly)
        copy += entry.readOnly ? ", Schreibschutz gesetzt" : ", Schreibschutz entfernt";
    if (entry.data != entry.baseData)
        return "Datei ge\xe4ndert: " + entry.path + size + copy;
    if (entry.readOnly != entry.baseReadOnly)
        return std::string(entry.readOnly ? "Schreibschutz gesetzt: " : "Schreibschutz entfernt: ") + entry.path;
    return "";
}

std::vector<std::string> OverlayPlatform::actions() const
{
    std::vector<std::string> list;
    for (const Event& event : events) {
        const std::string text = event.file ? describe(*event.file) : event.text;
        if (!text.empty())
            list.push_back(text);
    }
    return list;
}
