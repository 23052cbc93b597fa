// Typed values on the current section, side files and the per-user value store.
#include "settings/SettingsStore.h"

#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/Charset.h"
#include "settings/DateTimeText.h"
#include "settings/SettingsBytes.h"
#include "settings/SettingsLimits.h"

namespace harvina {
namespace {

std::string EscapeLineBreaks(const std::string& value) { return ReplaceAllBytes(value, kLineBreak, LineBreakEscape()); }

std::string RestoreLineBreaks(const std::string& value)
{
    return ReplaceAllBytes(value, LineBreakEscape(), kLineBreak);
}

// One folder or file name of the per-user store: nothing in it may leave its folder.
std::string PathComponent(const std::string& name)
{
    std::string out;
    for (char c : name) {
        if (c == '%')
            out += "%25";
        else if (c == '/')
            out += "%2F";
        else if (c == '\0')
            out += "%00";
        else
            out += c;
    }
    if (out.empty() || out == "." || out == "..")
        out = "%" + out;
    return out;
}

std::string ApplicationName(const std::string& path)
{
    size_t slash = path.rfind('/');
    std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = file.rfind('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}

} // namespace

std::string SettingsStore::SideFilePath(const std::string& key) const
{
    if (section_.find('/') != std::string::npos || key.find('/') != std::string::npos ||
        section_.find('\0') != std::string::npos || key.find('\0') != std::string::npos)
        return {};
    size_t slash = path_.rfind('/');
    // A bare file name lives in the working folder, and so do its side files.
    std::string folder = slash == std::string::npos ? std::string(".") : path_.substr(0, slash);
    return folder + "/inibin/" + section_ + "-" + key + ".ibn";
}

std::string SettingsStore::RegistryValuePath(const std::string& key) const
{
    static const std::string kRoot = LocalText("Vortan软件");
    std::string base = UserConfigFolder();
    if (base.empty())
        return {};
    return base + "/" + kRoot + "/" + PathComponent(ApplicationName(path_)) + "/" + PathComponent(section_) + "/" +
           PathComponent(key);
}

std::string SettingsStore::ReadStored(const std::string& key, const std::string& defaultText)
{
    if (mode_ != StorageMode::Registry)
        return ReadEntry(section_, key, defaultText, false);
    std::string path = RegistryValuePath(key);
    if (path.empty())
        return defaultText;
    return ReadWholeFile(path, kMaxSettingsBytes).value_or(defaultText);
}

bool SettingsStore::WriteStored(const std::string& key, const std::string& text)
{
    if (mode_ != StorageMode::Registry)
        return WriteEntry(section_, key, text, false) == 0;
    std::string path = RegistryValuePath(key);
    if (path.empty() || text.size() > kMaxSettingsBytes)
        return false;
    CreateFolders(path.substr(0, path.rfind('/')));
    return WriteWholeFile(path, text);
}

std::string SettingsStore::ReadBinary(const std::string& key, const std::string& defaultValue)
{
    std::string path = SideFilePath(key);
    if (path.empty())
        return defaultValue;
    auto bytes = ReadWholeFile(path, kMaxSettingsBytes);
    if (!bytes || bytes->empty())
        return defaultValue;
    return std::move(*bytes);
}

bool SettingsStore::WriteBinary(const std::string& key, const std::string& value)
{
    std::string path = SideFilePath(key);
    if (path.empty() || value.size() > kMaxSettingsBytes)
        return false;
    CreateFolder(path.substr(0, path.rfind('/')));
    return WriteWholeFile(path, value);
}

bool SettingsStore::WriteText(const std::string& key, const std::string& value)
{
    return WriteStored(key, EscapeLineBreaks(value));
}

std::string SettingsStore::ReadText(const std::string& key, const std::string& defaultValue)
{
    return RestoreLineBreaks(ReadStored(key, EscapeLineBreaks(defaultValue)));
}

bool SettingsStore::WriteNumber(const std::string& key, double value) { return WriteStored(key, FormatNumber(value)); }

double SettingsStore::ReadNumber(const std::string& key, double defaultValue)
{
    return ParseLeadingNumber(ReadStored(key, FormatNumber(defaultValue)));
}

bool SettingsStore::WriteBool(const std::string& key, bool value)
{
    return WriteStored(key, value ? TrueText() : FalseText());
}

bool SettingsStore::ReadBool(const std::string& key, bool defaultValue)
{
    return ReadStored(key, defaultValue ? TrueText() : FalseText()) == TrueText();
}

bool SettingsStore::ReadBoolNotFalse(const std::string& key, bool defaultValue)
{
    return ReadStored(key, defaultValue ? TrueText() : FalseText()) != FalseText();
}

bool SettingsStore::WriteTime(const std::string& key, const SettingsDateTime& value)
{
    return WriteStored(key, FormatDateTime(value));
}

SettingsDateTime SettingsStore::ReadTime(const std::string& key, const SettingsDateTime& defaultValue)
{
    return ParseDateTime(ReadStored(key, FormatDateTime(defaultValue))).value_or(defaultValue);
}

} // namespace harvina
