#include "settings/SettingsStore.h"

#include "platform/Charset.h"
#include "platform/FileSystem.h"
#include "settings/BackingFile.h"
#include "settings/SettingsBytes.h"
#include "settings/SettingsLimits.h"

namespace harvina {
namespace {

// A name or value that would break the line structure cannot be stored faithfully.
bool BreaksLines(const std::string& text) { return HasLineBreak(text); }

} // namespace

SettingsStore::SettingsStore() = default;

SettingsStore::~SettingsStore() { Close(); }

SettingsStore::SettingsStore(const SettingsStore& other) = default;

SettingsStore& SettingsStore::operator=(const SettingsStore& other) = default;

void SettingsStore::Close()
{
    file_.reset();
    text_.clear();
}

bool SettingsStore::Load(const std::string& path, bool inMemory)
{
    Close();
    loadedPath_ = path;
    if (inMemory) {
        text_ = ReadWholeFile(path, kMaxSettingsBytes).value_or(std::string());
        file_ = MakeMemoryFile(text_);
        return true;
    }
    if (auto locked = LockedFile::Open(path, kMaxSettingsBytes)) {
        text_ = locked->Content();
        file_ = MakeDiskFile(std::move(*locked));
        return true;
    }
    text_ = ReadWholeFile(path, kMaxSettingsBytes).value_or(std::string());
    return false;
}

int SettingsStore::RunPending()
{
    if (pending_.empty())
        return -1;
    // Re-entered from an event while an operation is under way: the running call
    // carries out the rest of the queue in order.
    if (busy_)
        return 3;
    int result = -1;
    bool first = true;
    while (!pending_.empty()) {
        PendingOperation operation = pending_.front(); // the queue may grow meanwhile
        busy_ = true;
        int r = Perform(operation);
        pending_.erase(pending_.begin());
        busy_ = false;
        if (first)
            result = r;
        first = false;
    }
    return result;
}

int SettingsStore::Enqueue(PendingKind kind, std::vector<std::string> arguments)
{
    if (pending_.size() >= kMaxPendingOperations)
        return -1;
    pending_.push_back(PendingOperation{kind, std::move(arguments)});
    if (busy_)
        return 3;
    return RunPending();
}

int SettingsStore::Perform(const PendingOperation& operation)
{
    const auto& a = operation.arguments;
    switch (operation.kind) {
    case PendingKind::WriteEntry:
        return WriteEntryNow(a.at(0), a.at(1), a.at(2));
    case PendingKind::DeleteEntry:
        return DeleteEntryNow(a.at(0), a.at(1));
    case PendingKind::RenameSection:
        return RenameSectionNow(a.at(0), a.at(1));
    case PendingKind::RenameKey:
        return RenameKeyNow(a.at(0), a.at(1), a.at(2));
    }
    return -1;
}

void SettingsStore::PumpEvents()
{
    if (host_)
        host_->ProcessPendingEvents();
}

SettingsStore::SectionMatch SettingsStore::FindSection(const std::string& section, bool pump, int from)
{
    const std::string header = "[" + section + "]";
    int s = from;
    for (;;) {
        if (pump)
            PumpEvents();
        int p = FindBytes(text_, header, s);
        if (p == -1)
            return {};
        if (StartsLine(text_, p))
            return {true, p, p + static_cast<int>(header.size()) - 1};
        s = p + 1;
    }
}

int SettingsStore::FindHeaderBetween(int from, int to) const
{
    int a = from;
    for (;;) {
        int f = FindBytes(text_, "\r\n[", a);
        if (f == -1 || f >= to)
            return -1;
        a = f + 2;
        int c = FindBytes(text_, "]\r\n", a);
        if (c == -1)
            continue;
        if (c > to)
            return -1;
        int q = FindBytes(text_, kLineBreak, a);
        if (q == -1 || q + 1 > c)
            return a;
    }
}

SettingsStore::KeyMatch SettingsStore::FindKey(const SectionMatch& section, const std::string& key) const
{
    int m = FindBytes(text_, "\r\n" + key + "=", section.e);
    if (m == -1)
        return {};
    int k = m + 2;
    if (FindHeaderBetween(section.e + 1, k - 1) != -1)
        return {};
    int v = k + static_cast<int>(key.size()) + 1;
    int t = FindBytes(text_, kLineBreak, v);
    int n = t == -1 ? static_cast<int>(text_.size()) : t - 1;
    return {true, k, v, n};
}

bool SettingsStore::Splice(int position, int count, const std::string& bytes)
{
    size_t offset = static_cast<size_t>(position - 1);
    size_t removed = static_cast<size_t>(count);
    if (text_.size() - removed + bytes.size() > kMaxSettingsBytes)
        return false;
    // The file first: when it refuses, the text still equals it.
    if (file_ && !file_->Splice(offset, removed, bytes))
        return false;
    text_.replace(offset, removed, bytes);
    return true;
}

int SettingsStore::WriteEntry(const std::string& section, const std::string& key, const std::string& value,
                              bool immediate)
{
    if (immediate)
        return WriteEntryNow(section, key, value);
    return Enqueue(PendingKind::WriteEntry, {section, key, value});
}

int SettingsStore::WriteEntryNow(const std::string& section, const std::string& key, const std::string& value)
{
    if (BreaksLines(section) || BreaksLines(key) || BreaksLines(value) || key.find('=') != std::string::npos)
        return -1;
    int appended = 0;
    int s = 1;
    for (;;) {
        SectionMatch found = FindSection(section, true, s);
        if (found.found) {
            KeyMatch entry = FindKey(found, key);
            if (entry.found) {
                int length = entry.n - entry.v + 1;
                if (length < 0)
                    length = 0;
                if (text_.compare(static_cast<size_t>(entry.v - 1), static_cast<size_t>(length), value) == 0)
                    return 0; // same bytes: spare the disk a rewrite
                return Splice(entry.v, length, value) ? 0 : -1;
            }
            std::string line = "\r\n" + key + "=";
            // A header not followed by CR LF (a file with other line ends) would let the
            // new value swallow the rest of the text; end the new line there instead.
            size_t after = static_cast<size_t>(found.e);
            if (after < text_.size() && text_.compare(after, kLineBreak.size(), kLineBreak) != 0)
                line += kLineBreak;
            if (!Splice(found.e + 1, 0, line))
                return -1;
            continue;
        }
        int length = static_cast<int>(text_.size());
        std::string header = (length > 0 ? "\r\n[" : "[") + section + "]";
        if (!Splice(length + 1, 0, header))
            return -1;
        s = length;
        if (++appended >= kMaxHeaderAppends) {
            ReportRunawaySection();
            return -1;
        }
    }
}

void SettingsStore::ReportRunawaySection()
{
    if (!host_)
        return;
    static const std::string kText = LocalText("配置模块出现意外，可能导致无法正常保存！详情请咨询Vortan。");
    static const std::string kTitle = LocalText("Vortan：");
    static const std::string kInfoTitle = LocalText("信息：");
    host_->ShowMessage({kText, kTitle, MessageIcon::Exclamation, true});
    host_->ShowMessage({text_, kInfoTitle, MessageIcon::None, false});
}

std::string SettingsStore::ReadEntry(const std::string& section, const std::string& key,
                                     const std::string& defaultValue, bool emptyGivesDefault)
{
    SectionMatch found = FindSection(section, true);
    if (!found.found)
        return defaultValue;
    KeyMatch entry = FindKey(found, key);
    if (!entry.found)
        return defaultValue;
    std::string value = BytesBetween(text_, entry.v, entry.n);
    if (value.empty() && emptyGivesDefault)
        return defaultValue;
    return value;
}

bool SettingsStore::OpenFile(const std::string& path, StorageMode mode)
{
    path_ = path;
    mode_ = mode;
    if (mode == StorageMode::Registry)
        return true;
    return Load(path, mode == StorageMode::Memory);
}

std::string SettingsStore::SetSection(const std::string& name)
{
    static const std::string kRoot = LocalText("Vortan软件\\");
    size_t slash = path_.rfind('/');
    std::string file = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    size_t dot = file.rfind('.');
    std::string application = dot == std::string::npos ? file : file.substr(0, dot);
    section_ = name;
    registryPrefix_ = kRoot + application + "\\" + name + "\\";
    return registryPrefix_;
}

} // namespace harvina
