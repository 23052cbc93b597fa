// Deleting, renaming, listing and the raw text of the settings store.
#include "settings/SettingsStore.h"

#include "platform/FileSystem.h"
#include "settings/BackingFile.h"
#include "settings/SettingsBytes.h"
#include "settings/SettingsLimits.h"
#include "text/TextBetween.h"

namespace harvina {
namespace {

std::vector<std::string> SplitLines(const std::string& content)
{
    std::vector<std::string> lines;
    size_t at = 0;
    for (size_t hit; (hit = content.find(kLineBreak, at)) != std::string::npos; at = hit + kLineBreak.size())
        lines.push_back(content.substr(at, hit - at));
    if (at < content.size())
        lines.push_back(content.substr(at));
    return lines;
}

bool IsHeaderLine(const std::string& line) { return !line.empty() && line.front() == '[' && line.back() == ']'; }

// Empty filters pass everything; otherwise the line must (not) contain them.
bool PassesFilters(const std::string& text, const std::string& include, const std::string& exclude)
{
    if (!include.empty() && text.find(include) == std::string::npos)
        return false;
    if (!exclude.empty() && text.find(exclude) != std::string::npos)
        return false;
    return true;
}

} // namespace

bool SettingsStore::Reload()
{
    auto content = ReadWholeFile(loadedPath_, kMaxSettingsBytes);
    if (!content)
        return false;
    text_ = std::move(*content);
    return true;
}

bool SettingsStore::SaveTo(const std::string& path)
{
    const std::string& target = path.empty() ? loadedPath_ : path;
    if (target.empty())
        return false;
    if (file_ && file_->IsFile(target))
        return file_->ReplaceAll(text_);
    // Another store may hold the target: honour its lock rather than replace its file.
    auto locked = LockedFile::Open(target, kMaxSettingsBytes);
    return locked && locked->Replace(text_);
}

bool SettingsStore::PutText(const std::string& text, bool append)
{
    std::string changed = append ? text_ + text : text;
    if (changed.size() > kMaxSettingsBytes)
        return false;
    // One replacement for both steps, so the file is never seen empty in between.
    if (file_) {
        bool ok = append ? file_->Splice(file_->Content().size(), 0, text) : file_->ReplaceAll(text);
        if (!ok)
            return false;
    }
    text_ = std::move(changed);
    return true;
}

int SettingsStore::DeleteEntry(const std::string& section, const std::string& key, bool immediate)
{
    if (immediate)
        return DeleteEntryNow(section, key);
    return Enqueue(PendingKind::DeleteEntry, {section, key});
}

int SettingsStore::DeleteEntryNow(const std::string& section, const std::string& key)
{
    SectionMatch found = FindSection(section, false);
    if (!found.found)
        return 1;
    int length = static_cast<int>(text_.size());
    int q = FindHeaderBetween(found.p, length);
    if (q == -1) {
        // A header on the last line has no CR LF after it, yet it starts a section
        // of its own and must survive the deletion of the one above.
        int lastBreak = FindLastBytes(text_, kLineBreak, length + 1);
        size_t next = static_cast<size_t>(lastBreak + 1); // 0-based, just after the CR LF
        if (lastBreak > found.p && next < text_.size() && text_[next] == '[' && text_.back() == ']')
            q = lastBreak + 2;
    }
    int end = q != -1 ? q - 1 : length;
    if (key.empty())
        return Splice(found.p, end - found.p + 1, {}) ? 0 : -1;
    int m = FindBytes(text_, "\r\n" + key + "=", found.p);
    if (m == -1)
        return 2;
    int t = FindBytes(text_, kLineBreak, m + 2);
    int lineEnd = t == -1 ? length : t - 1;
    if (lineEnd > end)
        return 2;
    return Splice(m, lineEnd - m + 1, {}) ? 0 : -1;
}

int SettingsStore::RenameSection(const std::string& oldName, const std::string& newName, bool immediate)
{
    if (immediate)
        return RenameSectionNow(oldName, newName);
    return Enqueue(PendingKind::RenameSection, {oldName, newName});
}

int SettingsStore::RenameSectionNow(const std::string& oldName, const std::string& newName)
{
    SectionMatch found = FindSection(oldName, true);
    if (!found.found)
        return 1;
    if (HasLineBreak(newName))
        return -1;
    return Splice(found.p + 1, static_cast<int>(oldName.size()), newName) ? 0 : -1;
}

int SettingsStore::RenameKey(const std::string& section, const std::string& oldKey, const std::string& newKey,
                             bool immediate)
{
    if (immediate)
        return RenameKeyNow(section, oldKey, newKey);
    return Enqueue(PendingKind::RenameKey, {section, oldKey, newKey});
}

int SettingsStore::RenameKeyNow(const std::string& section, const std::string& oldKey, const std::string& newKey)
{
    SectionMatch found = FindSection(section, true);
    if (!found.found)
        return 1;
    KeyMatch entry = FindKey(found, oldKey);
    if (!entry.found)
        return 2;
    if (HasLineBreak(newKey) || newKey.find('=') != std::string::npos)
        return -1;
    int equals = FindBytes(text_, "=", entry.k);
    return Splice(entry.k, equals - entry.k, newKey) ? 0 : -1;
}

std::string SettingsStore::ListedContent() const { return file_ ? file_->Content() : text_; }

int SettingsStore::ListSections(std::vector<std::string>& names, const std::string& include,
                                const std::string& exclude)
{
    names.clear();
    for (const std::string& line : SplitLines(ListedContent())) {
        PumpEvents();
        if (!IsHeaderLine(line) || !PassesFilters(line, include, exclude))
            continue;
        names.push_back(TextBetween(line, "[", "]"));
    }
    return static_cast<int>(names.size());
}

int SettingsStore::ListKeys(std::vector<std::string>& names, const std::string& include, const std::string& exclude,
                            const std::string& sectionFilter, const std::string& headerInclude,
                            const std::string& headerExclude)
{
    names.clear();
    // With a section filter only the keys of the first section of that name whose
    // header line passes the header filters are listed.
    bool inSection = sectionFilter.empty();
    for (const std::string& line : SplitLines(ListedContent())) {
        PumpEvents();
        if (IsHeaderLine(line)) {
            if (sectionFilter.empty())
                continue;
            if (inSection)
                break;
            inSection = TextBetween(line, "[", "]") == sectionFilter &&
                        PassesFilters(line, headerInclude, headerExclude);
            continue;
        }
        if (!inSection || line.find('=') == std::string::npos)
            continue;
        std::string key = TextBetween(line, "", "=");
        if (PassesFilters(key, include, exclude))
            names.push_back(std::move(key));
    }
    return static_cast<int>(names.size());
}

int SettingsStore::ListSectionsWithKey(const std::string& key, std::vector<std::string>& names)
{
    names.clear();
    const std::string needle = "\r\n" + key + "=";
    int previous = 0;
    for (int at = FindBytes(text_, needle, 1); at != -1; at = FindBytes(text_, needle, at + 1)) {
        PumpEvents();
        const std::string text = text_; // an event may have changed the store
        for (int close = FindLastBytes(text, "]\r\n", at); close != -1; close = FindLastBytes(text, "]\r\n", close)) {
            if (close < previous)
                break; // same section as the previous occurrence
            int open = FindLastBytes(text, "[", close);
            if (open == -1 || HasLineBreak(BytesBetween(text, open, close)))
                continue;
            if (StartsLine(text, open))
                names.push_back(BytesBetween(text, open + 1, close - 1));
            break;
        }
        previous = at;
    }
    return static_cast<int>(names.size());
}

int SettingsStore::ListKeysWithValue(const std::string& value, std::vector<std::string>& names,
                                     const std::string& section)
{
    names.clear();
    const std::string needle = value.empty() ? "=\r\n" : "=" + value;
    for (int at = FindBytes(text_, needle, 1); at != -1; at = FindBytes(text_, needle, at + 1)) {
        PumpEvents();
        const std::string text = text_;
        int lineBreak = FindLastBytes(text, kLineBreak, at);
        int lineStart = lineBreak == -1 ? 1 : lineBreak + 2;
        if (!section.empty()) {
            // The nearest "[...]" line above this one must name the section.
            bool named = false;
            for (int end = lineBreak; end != -1;) {
                int before = FindLastBytes(text, kLineBreak, end);
                int start = before == -1 ? 1 : before + 2;
                std::string line = BytesBetween(text, start, end - 1);
                if (IsHeaderLine(line)) {
                    named = line == "[" + section + "]";
                    break;
                }
                end = before;
            }
            if (!named)
                continue;
        }
        names.push_back(BytesBetween(text, lineStart, at - 1));
    }
    return static_cast<int>(names.size());
}

} // namespace harvina
