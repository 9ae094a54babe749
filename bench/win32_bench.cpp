// The Win32 benchmarks, for Wine's registry: export, import and the tree copy against their
// bare registry floors and against the platform's own `reg export`, `reg import` and
// `reg copy` of the same key. A registry call costs tens of microseconds here and that cost
// drifts within one run, so each round runs every contender once, in an order that turns
// with the round, and each ratio is taken within a round before the median over rounds.
//
//   dunvatel_win32_bench.exe [rounds]    (default 5; prints a Markdown table)
#include "bench/bench_data.h"

#include "keyfile/definition_parser.h"
#include "keyfile/export.h"
#include "keyfile/file_survey.h"
#include "store/custom_style.h"
#include "store/key_tree.h"
#include "store/style_store.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace
{

double Now()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return (double)count.QuadPart / (double)frequency.QuadPart;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

WString g_scratch;
std::string g_notes;

WString ScratchFile(const wchar_t* name)
{
    return g_scratch + name;
}

const WString CUSTOM_FOR_REG = WString(L"HKCU\\") + CUSTOM_STYLE_KEY;
const WString TREE_FOR_REG = WString(L"HKCU\\") + STYLE_LIST_KEY + L"\\Tree";
const wchar_t EMPTY_KEY[] = L"Software\\dunvatel-bench-empty";

// Runs reg.exe with the arguments, its output discarded; true when it exits with 0.
bool RunReg(const WString& arguments)
{
    WString command = L"reg.exe " + arguments;
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(0);
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), NULL, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, NULL);
    if (nul == INVALID_HANDLE_VALUE)
        return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process;
    BOOL started = CreateProcessW(NULL, line.data(), NULL, NULL, TRUE, CREATE_NO_WINDOW, NULL, NULL,
                                  &startup, &process);
    CloseHandle(nul);
    if (!started)
        return false;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code == 0;
}

WString Quoted(const WString& text)
{
    return L"\"" + text + L"\"";
}

DWORD ValueCount(HKEY key)
{
    DWORD values = 0;
    RegQueryInfoKeyW(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    return values;
}

// One way of doing an operation: an untimed preparation, then the timed run.
struct Contender
{
    Contender(const char* name, std::function<bool()> prepare, std::function<bool()> run)
        : name(name), prepare(prepare), run(run)
    {
    }
    const char* name;
    std::function<bool()> prepare;
    std::function<bool()> run;
    std::vector<double> seconds;
    bool failed = false;
};

const DWORD SETTLE_MILLISECONDS = 100;

// Runs every contender once per round; the first contender is the floor. A turn of a short
// operation runs it `runs` times and keeps the fastest: one stall of Wine's server (it writes
// the registry out now and then) would otherwise decide the round.
void RunRounds(std::vector<Contender>* contenders, int rounds, int runs)
{
    size_t count = contenders->size();
    for (int round = 0; round < rounds; ++round)
    {
        for (size_t turn = 0; turn < count; ++turn)
        {
            // A B C, then B C A, then C A B, ...: each contender runs in every position.
            Contender& contender = (*contenders)[(turn + round) % count];
            double fastest = 0;
            for (int run = 0; run < runs && !contender.failed; ++run)
            {
                if (contender.prepare && !contender.prepare())
                {
                    contender.failed = true;
                    break;
                }
                // Wine's server goes on working after a large change (a tree deleted by the
                // preparation, a copy just made): let it settle, as reg.exe's start-up would.
                Sleep(SETTLE_MILLISECONDS);
                double start = Now();
                if (!contender.run())
                    contender.failed = true;
                double seconds = Now() - start;
                if (run == 0 || seconds < fastest)
                    fastest = seconds;
            }
            if (!contender.failed)
                contender.seconds.push_back(fastest);
        }
    }
}

void PrintTime(double seconds)
{
    if (seconds >= 1)
        printf(" %.2f s |", seconds);
    else
        printf(" %.1f ms |", seconds * 1000);
}

// One table row per contender after the floor: the fastest times over all rounds and their
// ratio, then the median and range of the ratios taken round by round.
void Report(const char* operation, int items, const std::vector<Contender>& contenders)
{
    const Contender& floor = contenders[0];
    for (size_t i = 1; i < contenders.size(); ++i)
    {
        const Contender& contender = contenders[i];
        printf("| %s | %d | %s |", operation, items, contender.name);
        if (contender.failed || floor.failed)
        {
            printf(" failed | | | | |\n");
            continue;
        }
        double fastest = *std::min_element(contender.seconds.begin(), contender.seconds.end());
        double fastestFloor = *std::min_element(floor.seconds.begin(), floor.seconds.end());
        PrintTime(fastest);
        PrintTime(fastestFloor);
        std::vector<double> ratios;
        for (size_t round = 0; round < contender.seconds.size(); ++round)
            ratios.push_back(contender.seconds[round] / floor.seconds[round]);
        std::sort(ratios.begin(), ratios.end());
        printf(" %.2f× | %.2f× | %.2f–%.2f |\n", fastest / fastestFloor, Median(ratios),
               ratios.front(), ratios.back());
    }
    fflush(stdout);
}

// The median of the per-round ratios of two contenders, as a note under the table.
void ReportPair(const char* what, const Contender& ours, const Contender& other)
{
    if (ours.failed || other.failed || ours.seconds.size() != other.seconds.size())
        return;
    std::vector<double> ratios;
    for (size_t round = 0; round < ours.seconds.size(); ++round)
        ratios.push_back(ours.seconds[round] / other.seconds[round]);
    g_notes += std::string(what) + ": " + std::to_string(Median(ratios)).substr(0, 4) + "×\n";
}

bool ExportTo(const WString& path, HKEY key)
{
    UINT lossy = 0;
    return SaveKeyFile(path.c_str(), key, NULL, &lossy) != FALSE;
}

// Opens the file, lets `write` fill it and closes it; true when the file was written and closed.
template <typename Write> bool WriteFileWith(const WString& path, Write write)
{
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    write(file);
    return fclose(file) == 0;
}

// Export's walk written straight to a file, every block judged, the file not put in place.
bool WriteWalkTo(const WString& path, HKEY key)
{
    return WriteFileWith(path, [key](FILE* file) { WriteKeyDefinitions(file, key, ENCODING_OEM); });
}

// The same walk with no block judged.
bool ExportUnjudgedTo(const WString& path, HKEY key)
{
    return WriteFileWith(path, [key](FILE* file) { WriteDefinitionsUnjudged(file, key); });
}

// Export's own share: the same blocks formatted and written, with no registry call.
bool WriteBlocksTo(const WString& path, const std::vector<KeyDefinition>& definitions)
{
    return WriteFileWith(path,
                         [&definitions](FILE* file)
                         {
                             LineOutput output;
                             OpenLineOutput(&output, file, ENCODING_OEM);
                             for (const KeyDefinition& definition : definitions)
                             {
                                 UINT readsBack = 0;
                                 WriteDefinitionBlock(&output, definition.name.c_str(),
                                                      definition.data.data(),
                                                      (DWORD)definition.data.size(), &readsBack);
                             }
                             CloseLineOutput(&output);
                         });
}

// The least any export that replaces the file whole must do beyond the floor: the floor's own
// walk, then the finished file's bytes (made beforehand) written at once to a new file beside
// the old one, which then replaces it in one step. It converts, formats and judges nothing, so
// what SaveKeyFile costs beyond it is all the work of making the file's bytes.
bool WalkThenReplaceFile(const WString& path, HKEY key, const std::vector<char>& bytes)
{
    if (EnumerateValuesFloor(key) == 0)
        return false;
    WString side = path + L"~00";
    HANDLE file =
        CreateFileW(side.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    bool written = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &done, NULL) &&
                   done == (DWORD)bytes.size();
    written = CloseHandle(file) && written;
    if (written && MoveFileExW(side.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileW(side.c_str());
    return false;
}

// The whole of a file, or nothing when it cannot be read.
std::vector<char> ReadWholeFile(const WString& path)
{
    std::vector<char> bytes;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return bytes;
    char block[4096];
    size_t read;
    while ((read = fread(block, 1, sizeof(block), file)) > 0)
        bytes.insert(bytes.end(), block, block + read);
    fclose(file);
    return bytes;
}

// Import's first reading of an open file, which stores nothing; the file is opened and closed
// outside the timed run, as the import opens it once for both readings.
bool SurveyFile(FILE* file)
{
    KeyFileSurvey survey = SurveyKeyFile(file);
    return survey.complete && survey.text && survey.definitions > 0;
}

bool ImportFrom(const WString& path, HKEY key)
{
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return false;
    KeyFileSurvey survey = SurveyKeyFile(file);
    ReadKeyDefinitions(file, key, &survey);
    fclose(file);
    return true;
}

// Export and import of `count` key definitions in the Custom key.
void MeasureKeyFiles(int count, int rounds, int runs)
{
    std::vector<KeyDefinition> definitions = MakeKeyDefinitions(count);
    HKEY custom = RecreateKey(CUSTOM_STYLE_KEY);
    if (!custom || !StoreDefinitions(custom, definitions))
    {
        printf("| export | %d | could not fill the Custom key | | | | | |\n", count);
        RegCloseKey(custom);
        return;
    }
    WString keyFile = ScratchFile(L"keys.txt");
    WString regFile = ScratchFile(L"keys.reg");
    std::vector<char> exported;
    if (ExportTo(keyFile, custom))
        exported = ReadWholeFile(keyFile);
    std::vector<Contender> exports = {
        {"bare RegEnumValueW loop", nullptr, [&] { return EnumerateValuesFloor(custom) > 0; }},
        {"SaveKeyFile, a whole file put in place", nullptr,
         [&] { return ExportTo(keyFile, custom); }},
        {"reg export", nullptr,
         [&]
         { return RunReg(L"export " + Quoted(CUSTOM_FOR_REG) + L" " + Quoted(regFile) + L" /y"); }},
        {"(of ours: the file alone, no registry)", nullptr,
         [&] { return WriteBlocksTo(ScratchFile(L"blocks.txt"), definitions); }},
        {"(of ours: the walk to a file, not put in place)", nullptr,
         [&] { return WriteWalkTo(ScratchFile(L"walk.txt"), custom); }},
        {"(of ours: the same walk without its judgement)", nullptr,
         [&] { return ExportUnjudgedTo(ScratchFile(L"unjudged.txt"), custom); }},
        {"(the least a whole-file export does: the floor, then these bytes to a new file "
         "replacing the old)",
         nullptr,
         [&] {
             return !exported.empty() &&
                    WalkThenReplaceFile(ScratchFile(L"least.txt"), custom, exported);
         }},
    };
    RunRounds(&exports, rounds, runs);
    Report("export", count, exports);
    std::string of = " of " + std::to_string(count) + " key definitions";
    ReportPair(("Export's walk" + of + " against the same walk without its judgement").c_str(),
               exports[4], exports[5]);
    ReportPair(("Export" + of + " against its walk to a file not put in place").c_str(), exports[1],
               exports[4]);
    ReportPair(("Export" + of + " against the least a whole-file export does").c_str(), exports[1],
               exports[6]);

    // Each import starts from an empty Custom key.
    auto emptyCustom = [&]
    {
        RegCloseKey(custom);
        custom = RecreateKey(CUSTOM_STYLE_KEY);
        return custom != NULL;
    };
    bool complete = true;
    FILE* surveyed = NULL;
    auto reopenKeyFile = [&]
    {
        if (surveyed)
            fclose(surveyed);
        surveyed = _wfopen(keyFile.c_str(), L"rb");
        return surveyed != NULL;
    };
    std::vector<Contender> imports = {
        {"bare RegSetValueExW loop", emptyCustom,
         [&] { return SetValuesFloor(custom, definitions) == definitions.size(); }},
        {"ReadKeyDefinitions of that file", emptyCustom,
         [&]
         {
             bool read = ImportFrom(keyFile, custom);
             complete = complete && ValueCount(custom) == (DWORD)count;
             return read;
         }},
        {"reg import", emptyCustom, [&] { return RunReg(L"import " + Quoted(regFile)); }},
        {"(of ours: the first reading alone, nothing stored)", reopenKeyFile,
         [&] { return SurveyFile(surveyed); }},
    };
    RunRounds(&imports, rounds, runs);
    if (surveyed)
        fclose(surveyed);
    if (!complete)
        imports[1].failed = true;
    Report("import", count, imports);
    ReportPair(("The first reading" + of + " against the whole import").c_str(), imports[3],
               imports[1]);
    RegCloseKey(custom);
    DeleteRegistryTree(HKEY_CURRENT_USER, CUSTOM_STYLE_KEY);
}

// CopyKeyTree of a style of `keys` keys into an empty Custom key.
void MeasureCopy(int keys, int rounds, int runs)
{
    if (!BuildStyleTree(L"Tree", keys))
    {
        printf("| copy | %d | could not build the tree | | | | | |\n", keys);
        return;
    }
    HKEY styles = NULL;
    RegOpenKeyExW(HKEY_CURRENT_USER, STYLE_LIST_KEY, 0, PLATFORM_KEY_ACCESS, &styles);
    HKEY custom = NULL;
    auto emptyCustom = [&]
    {
        if (custom)
            RegCloseKey(custom);
        custom = RecreateKey(CUSTOM_STYLE_KEY);
        return custom != NULL;
    };
    std::vector<Contender> copies = {
        {"bare walk: open, maxima, enumerate", nullptr,
         [&] { return WalkTreeFloor(styles, L"Tree") > 0; }},
        {"CopyKeyTree", emptyCustom,
         [&]
         {
             CopyKeyTree(custom, styles, L"Tree");
             return true;
         }},
        {"(the walk plus its create and set calls)", emptyCustom,
         [&] { return CopyTreeCallsFloor(custom, styles, L"Tree") > 0; }},
        {"reg copy /s", emptyCustom,
         [&] {
             return RunReg(L"copy " + Quoted(TREE_FOR_REG) + L" " + Quoted(CUSTOM_FOR_REG) +
                           L" /s /f");
         }},
    };
    RunRounds(&copies, rounds, runs);
    Report("copy", keys, copies);
    ReportPair(("CopyKeyTree of " + std::to_string(keys) +
                " keys against the walk plus its create and set calls")
                   .c_str(),
               copies[1], copies[2]);
    if (custom)
        RegCloseKey(custom);
    RegCloseKey(styles);
    DeleteRegistryTree(HKEY_CURRENT_USER, CUSTOM_STYLE_KEY);
    WString tree = WString(STYLE_LIST_KEY) + L"\\Tree";
    DeleteRegistryTree(HKEY_CURRENT_USER, tree.c_str());
}

// What starting reg.exe costs before it does anything: a query of an empty key.
void MeasureRegStart(int rounds)
{
    HKEY empty;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, EMPTY_KEY, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &empty,
                        NULL) != ERROR_SUCCESS)
        return;
    RegCloseKey(empty);
    std::vector<double> seconds;
    for (int round = 0; round < rounds; ++round)
    {
        double start = Now();
        RunReg(L"query " + Quoted(WString(L"HKCU\\") + EMPTY_KEY));
        seconds.push_back(Now() - start);
    }
    printf("\nStarting reg.exe alone (a query of an empty key) takes %.0f ms, which every reg "
           "row includes.\n",
           Median(seconds) * 1000);
    DeleteRegistryTree(HKEY_CURRENT_USER, EMPTY_KEY);
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? atoi(argv[1]) : 5;
    if (rounds < 1)
        rounds = 1;
    wchar_t temp[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    g_scratch = WString(temp) + L"dunvatel-bench\\";
    CreateDirectoryW(g_scratch.c_str(), NULL);

    printf("Interleaved rounds: %d (in each, the fastest of 5 runs of the key-file operations "
           "and of 3 copies at 1,000 items). Times are the fastest over all rounds; the ratio "
           "to the floor is given for those and as the median of the ratios taken within each "
           "round, with their range.\n\n",
           rounds);
    printf("| Operation | N | ours or reg | fastest | floor, fastest | ÷ floor, fastest "
           "| ÷ floor, median of rounds | range of rounds |\n");
    printf("|---|---:|---|---:|---:|---:|---:|---|\n");
    fflush(stdout);
    for (int count : {1000, 10000})
        MeasureKeyFiles(count, rounds, count <= 1000 ? 5 : 1);
    for (int keys : {1000, 10000})
        MeasureCopy(keys, rounds, keys <= 1000 ? 3 : 1);
    MeasureRegStart(rounds);
    printf("\n%s", g_notes.c_str());

    DeleteFileW(ScratchFile(L"keys.txt").c_str());
    DeleteFileW(ScratchFile(L"keys.reg").c_str());
    DeleteFileW(ScratchFile(L"blocks.txt").c_str());
    DeleteFileW(ScratchFile(L"walk.txt").c_str());
    DeleteFileW(ScratchFile(L"unjudged.txt").c_str());
    DeleteFileW(ScratchFile(L"least.txt").c_str());
    RemoveDirectoryW(g_scratch.c_str());
    return 0;
}
