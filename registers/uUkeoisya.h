#pragma once
// The contractor register: table Ukeoisya, one row per contractor, identified by its name. The
// class holds one current record and reads and writes it by that name.
#include "registers/NameRegister.h"

#include <QString>
#include <vector>

namespace tv {

class TUkeoisya : public TNameRegister {
public:
    TUkeoisya();

    QString Ukeoisyamei; // contractor name, the key of every operation
    QString Jusyo;       // address
    QString Kaisya;      // company name
    QString Daihyosya;   // representative
    bool JVFlag = false; // the contractor is the representative company of a joint venture

    // The columns of the table in order, as CheckTable creates them.
    static std::vector<FieldDef> Fields();
    // Empties every text and clears JVFlag.
    void Clear() override;

protected:
    const QString& Name() const override { return Ukeoisyamei; }
    void SetName(const QString& name) override { Ukeoisyamei = name; }
    void ReadRow(const TQuery& query) override;
    void BindRow(TQuery& query) const override;
};

} // namespace tv
