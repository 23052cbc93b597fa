// What one settings change costs on a 10 KB file: the locked file is replaced
// atomically (temporary, flush, rename, folder flush) on every change.
#include "settings/SettingsStore.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr std::size_t kFileBytes = 10 * 1024;

std::string TenKilobyteText()
{
    harvina::SettingsStore store;
    for (int s = 0; store.GetText().size() < kFileBytes; ++s)
        for (int k = 0; k < 10 && store.GetText().size() < kFileBytes; ++k)
            store.WriteEntry("section" + std::to_string(s), "key" + std::to_string(k), std::string(80, 'v'));
    return store.GetText();
}

// Folder kinds: 0 the temporary folder (TMPDIR or /tmp, usually a disk), 1 /dev/shm (RAM).
std::string BaseFolder(int kind)
{
    if (kind == 1)
        return "/dev/shm";
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

void WriteExistingKey(benchmark::State& state, harvina::StorageMode mode)
{
    std::string folder = BaseFolder(static_cast<int>(state.range(0))) + "/harvina-bench-XXXXXX";
    if (!::mkdtemp(folder.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::string path = folder + "/x.ini";
    {
        harvina::SettingsStore seed;
        seed.OpenFile(path, harvina::StorageMode::Disk);
        seed.PutText(TenKilobyteText());
    }
    harvina::SettingsStore store;
    store.OpenFile(path, mode);
    store.SetSection("section3");
    long i = 0;
    for (auto _ : state) {
        // Alternate so every call is a real change.
        bool ok = store.WriteText("key5", (i++ & 1) ? "short" : "a longer value");
        benchmark::DoNotOptimize(ok);
    }
    state.counters["fileBytes"] = static_cast<double>(store.GetText().size());
    store.Close();
    std::filesystem::remove_all(folder);
}

void BM_WriteDisk(benchmark::State& state) { WriteExistingKey(state, harvina::StorageMode::Disk); }
void BM_WriteMemory(benchmark::State& state) { WriteExistingKey(state, harvina::StorageMode::Memory); }

BENCHMARK(BM_WriteDisk)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteMemory)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
