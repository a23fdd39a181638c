// The works register at the size of a long-used data folder: saving a work with three new parties
// (four rows in one transaction), listing the works for the main window's box and the search,
// loading a work by code, and the person names listed for the measuring-person box.
#include "registers/uKoji.h"
#include "tests/support/TestEnv.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWorks = 1000;
constexpr int kRuns = 7;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class F> double TimeMs(F&& f) {
    QElapsedTimer timer;
    timer.start();
    f();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main() {
    tv::test::TestEnv env;
    tv::TKoji koji;
    koji.CheckTable();

    // Every work gets its own client, contractor and site agent: the worst case for a save.
    std::vector<double> saves;
    for (int i = 0; i < kWorks; ++i) {
        koji.Code = QStringLiteral("K%1").arg(i, 5, 10, QLatin1Char('0'));
        koji.Kojimei = QStringLiteral("一般国道%1号 舗装工事").arg(i);
        koji.Hacchusya->FindByName(QStringLiteral("発注者%1").arg(i));
        koji.Ukeoisya->FindByName(QStringLiteral("請負者%1").arg(i));
        koji.Dairinin->FindByName(QStringLiteral("代理人%1").arg(i));
        koji.Yoshiki = i % 3;
        saves.push_back(TimeMs([&] { koji.Save(); }));
    }
    const double firstSaves = Median({saves.begin(), saves.begin() + 50});
    const double lastSaves = Median({saves.end() - 50, saves.end()});

    std::vector<double> update, list, load, names;
    QStringList lines;
    for (int run = 0; run < kRuns; ++run) {
        koji.LoadByCode(QStringLiteral("K00500"));
        koji.Kojimei = QStringLiteral("変更 %1").arg(run);
        update.push_back(TimeMs([&] { koji.Save(); }));
        list.push_back(TimeMs([&] { koji.ListWorks(lines); }));
        load.push_back(TimeMs([&] { koji.LoadByCode(QStringLiteral("K00777")); }));
        names.push_back(TimeMs([&] { koji.Dairinin->ListNames(lines); }));
    }
    if (koji.Kojimei != QStringLiteral("一般国道777号 舗装工事")) {
        std::fprintf(stderr, "loaded work differs\n");
        return 1;
    }

    std::printf("works register, %d works each with its own three parties\n", kWorks);
    std::printf("save a new work with 3 new parties (first 50):   %8.2f ms\n", firstSaves);
    std::printf("save a new work with 3 new parties (last 50):    %8.2f ms\n", lastSaves);
    std::printf("save an existing work, parties known (median):   %8.2f ms\n", Median(update));
    std::printf("list the works, code descending (median):        %8.2f ms\n", Median(list));
    std::printf("load a work by code with its parties (median):   %8.2f ms\n", Median(load));
    std::printf("list %d person names by reading (median):      %8.2f ms\n", kWorks, Median(names));
    return 0;
}
