// The host benchmarks: export, import and the tree copy against their bare registry floors,
// at two sizes so that the scaling shows, and the peak C heap of export and import for key
// files of two sizes. Everything runs over the host stand-in.
#include "bench/bench_data.h"
#include "bench/heap_counter.h"

#include "keyfile/definition_parser.h"
#include "keyfile/export.h"
#include "keyfile/file_survey.h"
#include "platform/host/host_test_hooks.h"
#include "store/custom_style.h"
#include "store/key_tree.h"
#include "store/style_store.h"

#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace
{

std::string g_scratch;

WString ScratchFile(const char* name)
{
    std::string path = g_scratch + "/" + name;
    return WString(path.begin(), path.end());
}

long FileBytes(const WString& path)
{
    FILE* file = _wfopen(path.c_str(), TEXT("rb"));
    if (!file)
        return -1;
    fseek(file, 0, SEEK_END);
    long size = ftell(file);
    fclose(file);
    return size;
}

// An empty registry with the Custom key holding `count` key definitions; the open Custom key.
HKEY FillCustom(int count)
{
    HostResetRegistry();
    HKEY custom = RecreateKey(CUSTOM_STYLE_KEY);
    if (custom && !StoreDefinitions(custom, MakeKeyDefinitions(count)))
    {
        RegCloseKey(custom);
        custom = NULL;
    }
    return custom;
}

bool ExportTo(const WString& path, HKEY key)
{
    UINT lossy = 0;
    return SaveKeyFile(path.c_str(), key, NULL, &lossy) != FALSE;
}

bool ExportUnjudgedTo(const WString& path, HKEY key)
{
    FILE* file = _wfopen(path.c_str(), TEXT("wb"));
    if (!file)
        return false;
    WriteDefinitionsUnjudged(file, key);
    return fclose(file) == 0;
}

// Import's first reading of an open file, which stores nothing.
bool SurveyFile(FILE* file)
{
    KeyFileSurvey survey = SurveyKeyFile(file);
    return survey.complete && survey.text && survey.definitions > 0;
}

bool ImportFrom(const WString& path, HKEY key)
{
    FILE* file = _wfopen(path.c_str(), TEXT("rb"));
    if (!file)
        return false;
    KeyFileSurvey survey = SurveyKeyFile(file);
    ReadKeyDefinitions(file, key, &survey);
    fclose(file);
    return true;
}

DWORD ValueCount(HKEY key)
{
    DWORD values = 0;
    RegQueryInfoKeyW(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    return values;
}

// Every timed run starts with the stand-in's registry out of the processor's caches, as it is
// for the first command after the user has done anything else. Without this, 1,000 values or
// keys fit the second-level cache and 10,000 do not, and the comparison of the two sizes
// would measure the cache rather than the code. DUNVATEL_BENCH_WARM=1 leaves the caches warm.
bool g_warm = false;
std::vector<unsigned char> g_eviction;

void EvictCaches()
{
    if (g_warm)
        return;
    if (g_eviction.empty())
        g_eviction.assign(64u << 20, 0); // twice the largest last-level cache seen here
    for (size_t at = 0; at < g_eviction.size(); at += 64)
        ++g_eviction[at];
    benchmark::ClobberMemory();
}

// The untimed part of a run: an empty Custom key in place of the old one when asked for, then
// the caches emptied.
void BeginRun(benchmark::State& state, HKEY* freshCustom)
{
    state.PauseTiming();
    if (freshCustom)
    {
        RegCloseKey(*freshCustom);
        *freshCustom = RecreateKey(CUSTOM_STYLE_KEY);
    }
    EvictCaches();
    state.ResumeTiming();
}

// Times one way of writing the Custom key of state.range(0) key definitions to the file.
void TimeExport(benchmark::State& state, const char* file, bool (*exportTo)(const WString&, HKEY))
{
    HKEY custom = FillCustom((int)state.range(0));
    WString path = ScratchFile(file);
    for (auto _ : state)
    {
        BeginRun(state, NULL);
        if (!exportTo(path, custom))
            state.SkipWithError("export failed");
    }
    RegCloseKey(custom);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Export(benchmark::State& state)
{
    TimeExport(state, "export.txt", ExportTo);
}

void ExportUnjudged(benchmark::State& state)
{
    TimeExport(state, "unjudged.txt", ExportUnjudgedTo);
}

void ExportFloor(benchmark::State& state)
{
    HKEY custom = FillCustom((int)state.range(0));
    for (auto _ : state)
    {
        BeginRun(state, NULL);
        benchmark::DoNotOptimize(EnumerateValuesFloor(custom));
    }
    RegCloseKey(custom);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Import(benchmark::State& state)
{
    int count = (int)state.range(0);
    HKEY custom = FillCustom(count);
    WString path = ScratchFile("import.txt");
    if (!ExportTo(path, custom))
        state.SkipWithError("no file to import");
    for (auto _ : state)
    {
        BeginRun(state, &custom);
        if (!ImportFrom(path, custom))
            state.SkipWithError("import failed");
    }
    if (ValueCount(custom) != (DWORD)count)
        state.SkipWithError("import did not store every value");
    RegCloseKey(custom);
    state.SetItemsProcessed(state.iterations() * count);
}

void ImportSurvey(benchmark::State& state)
{
    HKEY custom = FillCustom((int)state.range(0));
    WString path = ScratchFile("survey.txt");
    if (!ExportTo(path, custom))
        state.SkipWithError("no file to read");
    RegCloseKey(custom);
    // Opened once, as the import opens it once for both readings; the reading sets it back.
    FILE* file = _wfopen(path.c_str(), TEXT("rb"));
    if (!file)
        state.SkipWithError("no file to read");
    for (auto _ : state)
    {
        BeginRun(state, NULL);
        if (!file || !SurveyFile(file))
            state.SkipWithError("the first reading failed");
    }
    if (file)
        fclose(file);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void ImportFloor(benchmark::State& state)
{
    int count = (int)state.range(0);
    std::vector<KeyDefinition> definitions = MakeKeyDefinitions(count);
    HostResetRegistry();
    HKEY custom = RecreateKey(CUSTOM_STYLE_KEY);
    for (auto _ : state)
    {
        BeginRun(state, &custom);
        benchmark::DoNotOptimize(SetValuesFloor(custom, definitions));
    }
    RegCloseKey(custom);
    state.SetItemsProcessed(state.iterations() * count);
}

const WCHAR TREE_STYLE[] = TEXT("Tree");

// A fresh registry holding a style tree of state.range(0) keys; the style list, opened.
HKEY PrepareTree(benchmark::State& state)
{
    HostResetRegistry();
    if (!BuildStyleTree(TREE_STYLE, (int)state.range(0)))
        state.SkipWithError("no tree to copy or walk");
    HKEY styles = NULL;
    RegOpenKeyExW(HKEY_CURRENT_USER, STYLE_LIST_KEY, 0, PLATFORM_KEY_ACCESS, &styles);
    return styles;
}

void CopyTree(benchmark::State& state)
{
    HKEY styles = PrepareTree(state);
    HKEY custom = RecreateKey(CUSTOM_STYLE_KEY);
    for (auto _ : state)
    {
        BeginRun(state, &custom);
        CopyKeyTree(custom, styles, TREE_STYLE);
    }
    RegCloseKey(custom);
    RegCloseKey(styles);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void CopyTreeFloor(benchmark::State& state)
{
    HKEY styles = PrepareTree(state);
    for (auto _ : state)
    {
        BeginRun(state, NULL);
        benchmark::DoNotOptimize(WalkTreeFloor(styles, TREE_STYLE));
    }
    RegCloseKey(styles);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void CopyTreeCallsFloor(benchmark::State& state)
{
    HKEY styles = PrepareTree(state);
    HKEY custom = RecreateKey(CUSTOM_STYLE_KEY);
    for (auto _ : state)
    {
        BeginRun(state, &custom);
        benchmark::DoNotOptimize(CopyTreeCallsFloor(custom, styles, TREE_STYLE));
    }
    RegCloseKey(custom);
    RegCloseKey(styles);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// How many of the generated definitions make a key file of `megabytes` MB.
int DefinitionsForFileSize(int megabytes)
{
    const int sample = 2000;
    HKEY custom = FillCustom(sample);
    WString path = ScratchFile("sample.txt");
    long bytes = custom && ExportTo(path, custom) ? FileBytes(path) : -1;
    RegCloseKey(custom);
    if (bytes <= 0)
        return 0;
    return (int)((long long)megabytes * 1024 * 1024 * sample / bytes) + 1;
}

// The peak heap of one export and one import of a key file of the argument's size in MB,
// each after a first run that lets the C library load what it keeps for the process.
void HeapPeak(benchmark::State& state)
{
    // The counter must see the C heap at all, or every peak would read as zero.
    ResetHeapPeak();
    void* probe = malloc(1 << 20);
    benchmark::DoNotOptimize(probe);
    free(probe);
    if (HeapPeakSinceReset() < (1 << 20))
    {
        state.SkipWithError("the heap counter does not see malloc");
        return;
    }
    int count = DefinitionsForFileSize((int)state.range(0));
    HKEY custom = FillCustom(count);
    WString path = ScratchFile("heap.txt");
    long long exportPeak = -1, importPeak = -1;
    for (auto _ : state)
    {
        ExportTo(path, custom);
        ResetHeapPeak();
        ExportTo(path, custom);
        exportPeak = HeapPeakSinceReset();

        ImportFrom(path, custom);
        RegCloseKey(custom);
        custom = RecreateKey(CUSTOM_STYLE_KEY);
        ResetHeapPeak();
        ImportFrom(path, custom);
        importPeak = HeapPeakSinceReset();
    }
    if (ValueCount(custom) != (DWORD)count)
        state.SkipWithError("import did not store every value");
    RegCloseKey(custom);
    state.counters["values"] = count;
    state.counters["file_bytes"] = (double)FileBytes(path);
    state.counters["export_peak_heap"] = (double)exportPeak;
    state.counters["import_peak_heap"] = (double)importPeak;
}

const int SIZES[] = {1000, 10000};

// Emptying the caches costs milliseconds, so each benchmark runs a fixed number of times
// rather than for a fixed time: about as long in all for both sizes.
benchmark::IterationCount RunsFor(int size)
{
    return size <= 1000 ? 20 : 5;
}

void Register()
{
    struct Timed
    {
        const char* name;
        void (*function)(benchmark::State&);
    };
    const Timed timed[] = {
        {"Export", Export},
        {"ExportUnjudged", ExportUnjudged},
        {"ExportFloor", ExportFloor},
        {"Import", Import},
        {"ImportSurvey", ImportSurvey},
        {"ImportFloor", ImportFloor},
        {"CopyTree", CopyTree},
        {"CopyTreeFloor", CopyTreeFloor},
        {"CopyTreeCallsFloor", CopyTreeCallsFloor},
    };
    for (const Timed& entry : timed)
    {
        for (int size : SIZES)
            benchmark::RegisterBenchmark(entry.name, entry.function)
                ->Arg(size)
                ->Iterations(RunsFor(size))
                ->Unit(benchmark::kMillisecond);
    }
    for (int megabytes : {1, 10})
    {
        benchmark::RegisterBenchmark("HeapPeak", HeapPeak)
            ->Arg(megabytes)
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
}

} // namespace

int main(int argc, char** argv)
{
    char scratch[] = "/tmp/dunvatel-bench-XXXXXX";
    if (!mkdtemp(scratch))
    {
        perror("mkdtemp");
        return 1;
    }
    g_scratch = scratch;
    const char* warm = getenv("DUNVATEL_BENCH_WARM");
    g_warm = warm && warm[0] == '1';
    Register();
    benchmark::Initialize(&argc, argv);
    int status = 0;
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        status = 1;
    else
        benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const char* name :
         {"export.txt", "unjudged.txt", "import.txt", "survey.txt", "sample.txt", "heap.txt"})
        unlink((g_scratch + "/" + name).c_str());
    rmdir(scratch);
    return status;
}
