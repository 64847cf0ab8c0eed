// The make-bracket command's core for the largest page (double elimination,
// 32 entrants): extraction to a temporary file, expansion, filling with 32
// names and writing bracket.html through the program's own files, against a
// plain write of the same finished page. The ratio of the two is the cost of
// everything the command does besides putting the bytes on disk.

#include "bracket/bracket_filler.h"
#include "qt/qt_files.h"
#include "templates/bracket_template.h"
#include "templates/builtin_items.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <string>

namespace {

constexpr int LargestPage = 162;

std::string name(int box)
{
    return "Entrant number " + std::to_string(box) + " of the club";
}

struct Folder {
    QTemporaryDir dir;
    std::string path() const { return QDir::toNativeSeparators(dir.path()).toStdString(); }
};

std::string fillLargestPage(zandrel::Files &files)
{
    zandrel::EmbeddedItems items;
    const std::string page = zandrel::extractBracketTemplate(files, items, LargestPage);
    return zandrel::fillBracketText(zandrel::readTemplateText(files, page), "Club Championship", 32,
                                    zandrel::Seeding::Seeded, name, [] { return 0.5f; });
}

void wholeCommandCore(benchmark::State &state)
{
    zandrel::QtFiles files;
    Folder output;
    const std::string target = zandrel::bracketFilePath(output.path());
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string page = fillLargestPage(files);
        zandrel::writeBracketFile(files, target, page);
        bytes = page.size();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(wholeCommandCore)->Unit(benchmark::kMicrosecond)->UseRealTime();

void plainWriteOfTheSamePage(benchmark::State &state)
{
    zandrel::QtFiles files;
    const std::string page = fillLargestPage(files);
    Folder output;
    const std::string target = output.path() + "/plain.html";
    for (auto _ : state) {
        // A new file each time, as the command makes one: truncating the old
        // one in place makes some file systems flush it on close.
        std::remove(target.c_str());
        std::FILE *file = std::fopen(target.c_str(), "wb");
        std::fwrite(page.data(), 1, page.size(), file);
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(plainWriteOfTheSamePage)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
