#include "tests/support/Measurements.h"

#include "measurement/uRokuma.h"
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
