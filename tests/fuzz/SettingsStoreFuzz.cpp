// SettingsStore: a random settings file loaded from a temporary folder, then random
// operations decoded from the input. After every operation, and at every event the
// store pumps half-way through one, the file on disk must equal the text in memory
// byte for byte. Events may start further operations, which the queue must order.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Charset.h"
#include "settings/SettingsStore.h"
#include "tests/fuzz/FuzzHost.h"

using namespace harvina;

namespace {

// Operations one input may run, events included: keeps every input fast.
constexpr int kMaxOperations = 48;
constexpr int kMaxEventDepth = 2;

// The folder of the settings file, made once per process and removed at its exit.
class ScratchFolder {
public:
    ScratchFolder() : path_((std::filesystem::temp_directory_path() / "harvina-fuzz-settings-XXXXXX").string())
    {
        if (!mkdtemp(path_.data()))
            std::abort();
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    [[nodiscard]] const std::string& path() const { return path_; }

private:
    std::string path_;
};

const std::string& SettingsPath()
{
    static const ScratchFolder folder;
    static const std::string path = LocalPath(folder.path() + "/fuzz.ini");
    return path;
}

std::string ReadDisk()
{
    std::ifstream in(NativePath(SettingsPath()), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteDisk(const std::string& bytes)
{
    std::ofstream out(NativePath(SettingsPath()), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

class Session : public SettingsHost {
public:
    Session(FuzzedDataProvider& in, StorageMode mode, std::string initial)
        : in_(in), mode_(mode), initial_(std::move(initial))
    {
        store_.SetHost(this);
        store_.OpenFile(SettingsPath(), mode_);
    }

    void Run()
    {
        while (in_.remaining_bytes() > 0 && operations_ < kMaxOperations) {
            RunOne();
            Check("after an operation");
        }
        // Whatever was written, a fresh store reads it back from the disk.
        if (mode_ == StorageMode::Disk && store_.HasBackingFile()) {
            const std::string text = store_.GetText();
            store_.Close();
            SettingsStore again;
            again.OpenFile(SettingsPath(), StorageMode::Disk);
            if (again.GetText() != text)
                fuzz::Fail("a reopened store reads other text than was left", text);
        }
    }

    void ProcessPendingEvents() override
    {
        Check("during an event");
        if (depth_ < kMaxEventDepth && in_.remaining_bytes() > 0 && in_.ConsumeIntegralInRange(0, 7) == 0) {
            ++depth_;
            ++nestedRuns_;
            RunOne();
            --depth_;
        }
    }

private:
    void Check(const char* when)
    {
        if (mode_ == StorageMode::Disk && store_.HasBackingFile()) {
            if (ReadDisk() != store_.GetText())
                fuzz::Fail(when, "the file on disk differs from the text in memory: " + store_.GetText());
        } else if (mode_ == StorageMode::Memory && ReadDisk() != initial_) {
            fuzz::Fail(when, "a store in memory mode changed the file on disk");
        }
    }

    std::string Name()
    {
        static const char* const kNames[] = {"S", "T", "a", "b", "主界面", "编辑框输入", "S]", "[S"};
        const size_t i = in_.ConsumeIntegralInRange<size_t>(0, std::size(kNames));
        return i < std::size(kNames) ? LocalText(kNames[i]) : in_.ConsumeRandomLengthString(6);
    }

    std::string Value() { return in_.ConsumeRandomLengthString(24); }

    void RunOne()
    {
        ++operations_;
        // Only the queue itself carries out operations at once; callers never do.
        const bool immediate = in_.ConsumeBool() && depth_ == 0;
        int kind = in_.ConsumeIntegralInRange(0, 13);
        // Events reach the store only through its queued and reading operations;
        // replacing or re-reading the whole text is never done from one.
        if (depth_ > 0 && (kind == 8 || kind == 11))
            kind = 9;
        // HARVINA_FUZZ_TRACE=1 lists the operations when a saved input is run again.
        if (std::getenv("HARVINA_FUZZ_TRACE"))
            std::fprintf(stderr, "op %d depth %d immediate %d\n", kind, depth_, immediate);
        switch (kind) {
        case 0: store_.WriteEntry(Name(), Name(), Value(), immediate); break;
        case 1: store_.DeleteEntry(Name(), Name(), immediate); break;
        case 2: store_.RenameSection(Name(), Name(), immediate); break;
        case 3: store_.RenameKey(Name(), Name(), Name(), immediate); break;
        case 4: WriteTextBack(); break;
        case 5: store_.SetSection(Name()); store_.WriteNumber(Name(), in_.ConsumeFloatingPoint<double>()); break;
        case 6: WriteBoolBack(); break;
        case 7: {
            store_.SetSection(Name());
            SettingsDateTime t;
            t.year = in_.ConsumeIntegralInRange(-1, 10000);
            t.month = in_.ConsumeIntegralInRange(-1, 13);
            t.day = in_.ConsumeIntegralInRange(-1, 32);
            t.hour = in_.ConsumeIntegralInRange(-1, 25);
            t.minute = in_.ConsumeIntegralInRange(-1, 61);
            t.second = in_.ConsumeIntegralInRange(-1, 61);
            store_.WriteTime(Name(), t);
            (void)store_.ReadTime(Name());
            break;
        }
        case 8: store_.PutText(in_.ConsumeRandomLengthString(64), in_.ConsumeBool()); break;
        case 9: {
            store_.SetSection(Name());
            (void)store_.ReadEntry(Name(), Name(), Value(), in_.ConsumeBool());
            (void)store_.ReadText(Name(), Value());
            (void)store_.ReadNumber(Name(), 1.5);
            (void)store_.ReadBoolNotFalse(Name());
            break;
        }
        case 10: {
            std::vector<std::string> names;
            store_.ListSections(names, Name(), Name());
            store_.ListKeys(names, Name(), Name(), Name(), Name(), Name());
            store_.ListSectionsWithKey(Name(), names);
            store_.ListKeysWithValue(Value(), names, Name());
            (void)store_.FindHeaderBetween(in_.ConsumeIntegralInRange(-2, 200), in_.ConsumeIntegralInRange(-2, 200));
            break;
        }
        case 11: store_.Reload(); break;
        case 12: BinaryBack(); break;
        default: store_.RunPending(); break;
        }
    }

    // Names that cannot be taken for a header or a key line of their own.
    static bool PlainNames(const std::string& section, const std::string& key)
    {
        return !Contains(section, "[") && !Contains(section, "]") && !Contains(key, "=") &&
               (section + key).find_first_of("\r\n") == std::string::npos;
    }

    // A value written at once under plain names reads back as written, unless an
    // event during the write or the read changed the entry meanwhile.
    void WriteTextBack()
    {
        const std::string section = Name();
        const std::string key = Name();
        const std::string value = Value();
        store_.SetSection(section);
        const int nestedBefore = nestedRuns_;
        if (!store_.WriteText(key, value) || depth_ > 0 || !PlainNames(section, key) || Contains(value, "\xA9\xAE"))
            return;
        const std::string read = store_.ReadText(key, "default");
        if (nestedRuns_ == nestedBefore && read != value)
            fuzz::Fail("WriteText did not read back", section + "|" + key + "|" + value);
    }

    void WriteBoolBack()
    {
        const std::string section = Name();
        const std::string key = Name();
        const bool value = in_.ConsumeBool();
        store_.SetSection(section);
        const int nestedBefore = nestedRuns_;
        if (!store_.WriteBool(key, value) || depth_ > 0 || !PlainNames(section, key))
            return;
        const bool read = store_.ReadBool(key, !value);
        if (nestedRuns_ == nestedBefore && read != value)
            fuzz::Fail("WriteBool did not read back", section + "|" + key + "|" + store_.GetText());
    }

    // Side files hold exactly their bytes; names that would leave the folder are refused.
    void BinaryBack()
    {
        store_.SetSection(Name());
        const std::string key = Name();
        const std::string value = Value();
        if (store_.WriteBinary(key, value) && !value.empty() && store_.ReadBinary(key, "default") != value)
            fuzz::Fail("WriteBinary did not read back", key + "|" + value);
    }

    FuzzedDataProvider& in_;
    StorageMode mode_;
    std::string initial_;
    SettingsStore store_;
    int operations_ = 0;
    int depth_ = 0;
    int nestedRuns_ = 0; // operations started from events so far
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const StorageMode mode = in.ConsumeIntegralInRange(0, 7) == 0 ? StorageMode::Memory : StorageMode::Disk;
    const std::string initial = in.ConsumeRandomLengthString(512);
    WriteDisk(initial);
    Session session(in, mode, initial);
    session.Run();
    return 0;
}
