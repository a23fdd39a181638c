#include "tests/support/Measurements.h"

#include "measurement/uRokuma.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"

namespace tv::test {

void StoreWork(const QString& code, const QString& name, int yoshiki) {
    TKoji work;
    work.CheckTable();
    work.Code = code;
    work.Kojimei = name;
    work.Yoshiki = yoshiki;
    work.Save();
}

void StoreWorkTypes(const QStringList& names) {
    TKosyu kosyu;
    kosyu.CheckTable();
    for (int i = 0; i < names.size(); ++i) {
        kosyu.ID = i + 1;
        kosyu.FindByName(names[i]);
        kosyu.Save();
    }
}

void StoreStandard(TKikakuti4& entry, int kubun, const QString& kosyumei, const QString& item,
                   const QString& upper, const QString& lower, bool hantei, const QString& joken) {
    entry.Kubun = kubun;
    entry.Kosyu->FindByName(kosyumei);
    entry.Koumokumei = item;
    entry.KikakutiU1 = upper;
    entry.KikakutiD1 = lower;
    entry.KikakutiU2 = upper + QStringLiteral("0");
    entry.KikakutiD2 = lower + QStringLiteral("0");
    entry.GokakuHantei = hantei;
    entry.Joken = joken;
    entry.Save();
}

void ChooseMeasurement(TRokumaKanri& header, const QString& code, const QString& kosyu,
                       const QString& workName) {
    header.CheckTable();
    TRokumaLine().CheckTable();
    header.Koji->CheckTable();
    header.Kosyu->CheckTable();
    header.Koji->LoadByCode(code);
    if (!workName.isEmpty()) {
        header.Koji->Kojimei = workName;
        header.Koji->Save();
    }
    header.Kosyu->FindByName(kosyu);
    header.LoadByWork();
}

} // namespace tv::test
