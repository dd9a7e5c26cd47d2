// The handlings' cost: List1_Click on plain in-memory lists (the baseline),
// and a user's selection and the clear button on the real window (offscreen),
// each of which runs its handling.

#include "catalogue.h"
#include "linkedselection.h"
#include "mainform.h"
#include "memorylists.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

void abortOnFailure(QWidget *, const QString &message)
{
    std::fprintf(stderr, "%s\n", qUtf8Printable(message));
    std::abort();
}

void List1ClickInMemory(benchmark::State &state)
{
    MemoryLists lists;
    std::int16_t row = 0;
    for (auto _ : state) {
        lists.selection[0] = row;
        lists::List1_Click(lists, 0);
        benchmark::DoNotOptimize(lists.selection);
        row = std::int16_t((row + 1) % lists::rowCount);
    }
}
BENCHMARK(List1ClickInMemory);

void List1ClickOnWindow(benchmark::State &state)
{
    MainForm form(lists::Catalogue::builtIn(), abortOnFailure);
    form.show();
    auto *peaks = form.findChild<QListWidget *>(QStringLiteral("List1(0)"));
    int row = 0;
    for (auto _ : state) {
        // The selection's change notification runs List1_Click.
        peaks->setCurrentRow(row);
        row = (row + 1) % lists::rowCount;
        // What a running event loop does between two clicks (layout, paint).
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(List1ClickOnWindow);

void Command1ClickOnWindow(benchmark::State &state)
{
    MainForm form(lists::Catalogue::builtIn(), abortOnFailure);
    form.show();
    auto *peaks = form.findChild<QListWidget *>(QStringLiteral("List1(0)"));
    auto *button = form.findChild<QPushButton *>(QStringLiteral("Command1"));
    int row = 0;
    for (auto _ : state) {
        state.PauseTiming();
        peaks->setCurrentRow(row);
        row = (row + 1) % lists::rowCount;
        QCoreApplication::processEvents();
        state.ResumeTiming();
        button->click();
    }
}
BENCHMARK(Command1ClickOnWindow);

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
