#pragma once

#include "settings/PendingOperation.h"
#include "settings/PersistableControl.h"
#include "settings/PersistableWindow.h"
#include "settings/SettingsDateTime.h"
#include "settings/SettingsHost.h"
#include "settings/StorageMode.h"

#include <memory>
#include <string>
#include <vector>

namespace harvina {

class BackingFile;

// The sectioned settings text ("[S]" header lines, "key=value" lines, CR LF between
// lines), held whole in memory and mirrored change by change into its backing file.
// All names, values and paths are local text (GB18030); positions are 1-based bytes,
// -1 meaning not found.
//
// In disk mode the file stays locked for the store's lifetime: another store that
// opens the same file reads its content but gets no backing file. Every change
// replaces the file atomically, so the file always holds either the old or the new
// content.
//
// Mutating entry operations return 0 on success, -1 when the change could not be
// made (the text and the file stay as they were), 3 when queued behind an operation
// being carried out; DeleteEntry and RenameKey return 1 for a missing section and 2
// for a missing key, RenameSection 1 for a missing section.
class SettingsStore {
public:
    SettingsStore();
    ~SettingsStore();
    // Member-wise copy; the backing file is shared, not duplicated.
    SettingsStore(const SettingsStore& other);
    SettingsStore& operator=(const SettingsStore& other);

    // Not owned; may be null (no events pumped, no message shown).
    void SetHost(SettingsHost* host) { host_ = host; }

    void Close();
    // True when a backing file was obtained; in disk mode false also when another
    // store holds the file (its content is still read).
    bool Load(const std::string& path, bool inMemory);
    bool Reload();
    // -1 when nothing waits; called from an event while an operation is under way,
    // 3: the running call carries out the queue.
    int RunPending();
    // A section, key or value holding CR LF, or a key holding "=", is refused (-1).
    int WriteEntry(const std::string& section, const std::string& key, const std::string& value,
                   bool immediate = false);
    [[nodiscard]] std::string ReadEntry(const std::string& section, const std::string& key,
                                        const std::string& defaultValue = {}, bool emptyGivesDefault = false);
    [[nodiscard]] int FindHeaderBetween(int from, int to) const;
    int ListSectionsWithKey(const std::string& key, std::vector<std::string>& names);
    int ListKeysWithValue(const std::string& value, std::vector<std::string>& names,
                          const std::string& section = {});
    bool SaveTo(const std::string& path = {});
    int ListSections(std::vector<std::string>& names, const std::string& include = {},
                     const std::string& exclude = {});
    // With a section filter: only the keys of the first section of that name whose
    // header line contains headerInclude and not headerExclude (empty: no test).
    int ListKeys(std::vector<std::string>& names, const std::string& include = {}, const std::string& exclude = {},
                 const std::string& sectionFilter = {}, const std::string& headerInclude = {},
                 const std::string& headerExclude = {});
    int DeleteEntry(const std::string& section, const std::string& key, bool immediate = false);
    int RenameSection(const std::string& oldName, const std::string& newName, bool immediate = false);
    int RenameKey(const std::string& section, const std::string& oldKey, const std::string& newKey,
                  bool immediate = false);
    [[nodiscard]] std::string GetText() const { return text_; }
    // Returns false when the backing file could not take the change (nothing changed).
    bool PutText(const std::string& text, bool append = false);
    void SetReserved(bool reserved) { reserved_ = reserved; }

    // Saves (restore = false) or restores every control of the window whose name starts
    // with a kind word, under `section` (empty: the current section).
    void PersistWindowControls(PersistableWindow& window, bool restore, const std::string& section = {},
                               const std::vector<PersistableControl*>* controls = nullptr,
                               const std::vector<std::string>& excludedNames = {}, bool comboItems = false,
                               bool comboText = false);

    bool OpenFile(const std::string& path, StorageMode mode);
    std::string SetSection(const std::string& name);

    [[nodiscard]] std::string ReadBinary(const std::string& key, const std::string& defaultValue = {});
    bool WriteBinary(const std::string& key, const std::string& value);
    bool WriteText(const std::string& key, const std::string& value);
    [[nodiscard]] std::string ReadText(const std::string& key, const std::string& defaultValue = {});
    bool WriteNumber(const std::string& key, double value);
    [[nodiscard]] double ReadNumber(const std::string& key, double defaultValue = 0);
    bool WriteBool(const std::string& key, bool value);
    [[nodiscard]] bool ReadBool(const std::string& key, bool defaultValue = false);
    [[nodiscard]] bool ReadBoolNotFalse(const std::string& key, bool defaultValue = false);
    bool WriteTime(const std::string& key, const SettingsDateTime& value);
    [[nodiscard]] SettingsDateTime ReadTime(const std::string& key, const SettingsDateTime& defaultValue = {});

    void SaveMenuCheck(PersistableControl& item);
    void RestoreMenuCheck(PersistableControl& item);
    void SaveCheckBox(PersistableControl& control);
    void RestoreCheckBox(PersistableControl& control);
    void SaveEditBox(PersistableControl& control, bool byteMode = false);
    void RestoreEditBox(PersistableControl& control, bool byteMode = false);
    void SaveCheckListBox(PersistableControl& control, bool withState = true);
    void RestoreCheckListBox(PersistableControl& control, bool withState = true);
    void SaveComboItems(PersistableControl& control);
    void RestoreComboItems(PersistableControl& control);
    void SaveListBox(PersistableControl& control, bool withSelection = true);
    void RestoreListBox(PersistableControl& control, bool withSelection = true);
    void SaveComboIndex(PersistableControl& control);
    void RestoreComboIndex(PersistableControl& control);
    void SaveComboText(PersistableControl& control);
    void RestoreComboText(PersistableControl& control);
    void SaveButtonTag(PersistableControl& control, bool byteMode = false);
    void RestoreButtonTag(PersistableControl& control, bool byteMode = false);
    void SaveColorPicker(PersistableControl& control);
    void RestoreColorPicker(PersistableControl& control);
    void SaveRadioButton(PersistableControl& control);
    void RestoreRadioButton(PersistableControl& control);
    // `section` empty means the main window's section; both leave the current
    // section set to section + ".尺寸".
    void SaveWindowPlacement(PersistableWindow& window, const std::string& section = {});
    void RestoreWindowPlacement(PersistableWindow& window, const std::string& section = {});

    [[nodiscard]] std::string GetPath() const { return path_; }

    [[nodiscard]] bool busy() const { return busy_; }
    [[nodiscard]] bool reserved() const { return reserved_; }
    [[nodiscard]] bool HasBackingFile() const { return file_ != nullptr; }
    [[nodiscard]] StorageMode mode() const { return mode_; }
    [[nodiscard]] const std::string& section() const { return section_; }
    [[nodiscard]] const std::string& registryPrefix() const { return registryPrefix_; }
    [[nodiscard]] const std::string& loadedPath() const { return loadedPath_; }

private:
    // p is the header's "[", e its "]".
    struct SectionMatch {
        bool found = false;
        int p = -1;
        int e = -1;
    };
    // k is the key's first byte; the value is the bytes v..n (empty when n < v).
    struct KeyMatch {
        bool found = false;
        int k = -1;
        int v = -1;
        int n = -1;
    };

    void PumpEvents();
    [[nodiscard]] SectionMatch FindSection(const std::string& section, bool pump, int from = 1);
    [[nodiscard]] KeyMatch FindKey(const SectionMatch& section, const std::string& key) const;
    // Replaces `count` bytes at 1-based `position`: in the backing file first, then,
    // when the file took it, in the text.
    bool Splice(int position, int count, const std::string& bytes);
    int Enqueue(PendingKind kind, std::vector<std::string> arguments);
    int Perform(const PendingOperation& operation);
    int WriteEntryNow(const std::string& section, const std::string& key, const std::string& value);
    int DeleteEntryNow(const std::string& section, const std::string& key);
    int RenameSectionNow(const std::string& oldName, const std::string& newName);
    int RenameKeyNow(const std::string& section, const std::string& oldKey, const std::string& newKey);
    void ReportRunawaySection();
    [[nodiscard]] std::string SideFilePath(const std::string& key) const;
    [[nodiscard]] std::string RegistryValuePath(const std::string& key) const;
    [[nodiscard]] std::string ReadStored(const std::string& key, const std::string& defaultText);
    bool WriteStored(const std::string& key, const std::string& text);
    // The lines the lists read: the backing file's content, else the text.
    [[nodiscard]] std::string ListedContent() const;
    void SaveItems(const std::string& key, const PersistableControl& control);
    void RestoreItems(const std::string& key, PersistableControl& control);
    void PersistControl(PersistableControl& control, ControlKind kind, bool restore, bool byteMode,
                        bool comboItems, bool comboText);

    std::string text_;
    std::shared_ptr<BackingFile> file_;
    std::string loadedPath_;
    bool busy_ = false;
    std::vector<PendingOperation> pending_;
    bool reserved_ = false;
    std::string path_;
    std::string section_;
    StorageMode mode_ = StorageMode::Disk;
    std::string registryPrefix_;
    SettingsHost* host_ = nullptr;
};

} // namespace harvina
