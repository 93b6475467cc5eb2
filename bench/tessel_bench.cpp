// Times the foundation library on the work the program gives it: short formats (file names,
// registry paths), text conversions at every platform call, string copies, the history list
// sorted by name and the open-with command set. Figures per item that stay flat as the counts
// grow show that nothing is quadratic.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "tessel/encoding.h"
#include "tessel/format.h"
#include "tessel/list.h"
#include "tessel/map.h"

namespace {

using Tessel::Format;
using Tessel::String;

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void Report(const char* name, double seconds, int items) {
    std::printf("%s: %.1f ns per item (%d items)\n", name, seconds * 1e9 / items, items);
}

// Keeps results alive so the work cannot be optimised away.
size_t sink = 0;

void BenchFormat(int count) {
    double start = Now();
    for (int i = 0; i < count; ++i) {
        sink += Format("Glimpser %i.png", i).Length();
    }
    Report("format_short", Now() - start, count);
    const std::string long200(200, 'x');
    start = Now();
    for (int i = 0; i < count; ++i) {
        sink += Format("\"%s\" %s %04X", long200.c_str(), long200.c_str(), i).Length();
    }
    Report("format_420_chars", Now() - start, count);
}

void BenchConversions(int bytes) {
    std::string text;
    while (static_cast<int>(text.size()) < bytes) {
        text += "C:\\Users\\Zo\xC3\xAB\\My Glimpser Images\\Glimpser \xF0\x9F\x98\x80.png ";
    }
    double start = Now();
    const Tessel::WString wide = Tessel::Utf8ToWide(text.c_str());
    Report("utf8_to_wide_per_byte", Now() - start, static_cast<int>(text.size()));
    start = Now();
    const String back = Tessel::WideToUtf8(wide.Text());
    Report("wide_to_utf8_per_unit", Now() - start, wide.Length());
    sink += back.Length();
    const char* path = "C:\\Users\\Zo\xC3\xAB\\My Glimpser Images\\Glimpser 12.png";
    const int calls = 200000;
    start = Now();
    for (int i = 0; i < calls; ++i) {
        sink += Tessel::Utf8ToWide(path).Length();
    }
    Report("utf8_to_wide_path", Now() - start, calls);
}

void BenchCopies(int count) {
    const String original("Software\\Tarrowby Software\\Glimpser\\Settings");
    Tessel::List<String> copies;
    double start = Now();
    for (int i = 0; i < count; ++i) {
        copies.Append(original);
    }
    Report("string_copy_append", Now() - start, count);
    sink += static_cast<size_t>(copies.Count());
}

int CompareNames(const String& a, const String& b) {
    return std::strcmp(a.CStr(), b.CStr());
}

void BenchList(int count) {
    Tessel::List<String> names;
    double start = Now();
    for (int i = 0; i < count; ++i) {
        names.Append(Format("Glimpser %i.png", (i * 7919) % count));
    }
    Report(Format("list_append_%i", count).CStr(), Now() - start, count);
    start = Now();
    names.Sort(CompareNames);
    Report(Format("list_sort_%i", count).CStr(), Now() - start, count);
    start = Now();
    sink += static_cast<size_t>(names.IndexOf(String("no such name")));
    Report(Format("list_index_of_miss_%i", count).CStr(), Now() - start, count);
}

void BenchMap(int count) {
    Tessel::Map<String, bool, Tessel::SCaseI> commands;
    double start = Now();
    for (int i = 0; i < count; ++i) {
        commands.Set(Format("\"C:\\Program Files\\App %i\\app.exe\" \"%%1\"", i), true, false);
    }
    Report(Format("map_set_%i", count).CStr(), Now() - start, count);
    start = Now();
    for (int i = 0; i < count; ++i) {
        sink += commands.Find(Format("\"C:\\PROGRAM FILES\\APP %i\\APP.EXE\" \"%%1\"", i)) ? 1 : 0;
    }
    Report(Format("map_find_folded_%i", count).CStr(), Now() - start, count);
}

}  // namespace

int main() {
    BenchFormat(200000);
    BenchConversions(1 << 20);
    BenchCopies(1000000);
    BenchList(10000);
    BenchList(100000);
    BenchMap(10000);
    BenchMap(100000);
    std::printf("checksum: %zu\n", sink);
    return 0;
}
