// Work-type register: writing the whole list back (delete, then find and save each line in one
// transaction, as "登録(&O)" does), listing it, and the five settings the settings window reads on
// activation. Runs in a private temporary data folder. Prints the median of several runs.
#include "platform/TableEngine.h"
#include "registers/uKosyu.h"
#include "settings/RegistryUtility.h"
#include "tests/support/TestEnv.h"

#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double MedianMillis(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void WriteBack(tv::TKosyu& kosyu, const QStringList& lines) {
    tv::TTransaction transaction(QStringLiteral("KESTRAN"), {QStringLiteral("Kosyu4")});
    kosyu.DeleteAll();
    for (int i = 0; i < lines.size(); ++i) {
        kosyu.ID = i + 1;
        kosyu.FindByName(lines[i]);
        kosyu.Save();
    }
    transaction.Commit();
}

} // namespace

int main() {
    tv::test::TestEnv env;
    tv::TKosyu kosyu;
    kosyu.CheckTable();
    for (int count : {20, 200, 1000}) {
        QStringList lines;
        for (int i = 0; i < count; ++i)
            lines << QStringLiteral("工種%1").arg(i);
        const double write = MedianMillis(7, [&] { WriteBack(kosyu, lines); });
        QStringList names;
        const double list = MedianMillis(15, [&] { kosyu.ListNames(names); });
        const double find = MedianMillis(15, [&] { kosyu.FindByName(lines[count / 2]); });
        std::printf("%5d work types: write back %8.2f ms, list %6.2f ms, find one %5.2f ms\n",
                    count, write, list, find);
    }
    const QStringList names{QStringLiteral("UnUseInkan"), QStringLiteral("ColorOndoNeriRange"),
                            QStringLiteral("ColorOndoSikiRange"), QStringLiteral("UseSiyou"),
                            QStringLiteral("UseRate")};
    for (const QString& name : names)
        tv::WriteSetting(name, QStringLiteral("FALSE"));
    const double read = MedianMillis(15, [&] {
        for (const QString& name : names)
            tv::ReadSetting(name);
    });
    const double write = MedianMillis(15, [&] {
        for (const QString& name : names)
            tv::WriteSetting(name, QStringLiteral("TRUE"));
    });
    std::printf("five settings: read %.2f ms, write %.2f ms\n", read, write);
    return 0;
}
