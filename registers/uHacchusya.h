#pragma once
// The client register: table Hacchusya, one row per client (ordering authority), identified by
// its name. The class holds one current record and reads and writes it by that name.
#include "registers/NameRegister.h"

#include <QString>
#include <vector>

namespace tv {

class THacchusya : public TNameRegister {
public:
    THacchusya();

    QString Hacchusyamei; // client name, the key of every operation
    QString SyokuSimei;   // official title and name of the client's representative

    // The columns of the table in order, as CheckTable creates them.
    static std::vector<FieldDef> Fields();
    // Empties both texts.
    void Clear() override;

protected:
    const QString& Name() const override { return Hacchusyamei; }
    void SetName(const QString& name) override { Hacchusyamei = name; }
    void ReadRow(const TQuery& query) override;
    void BindRow(TQuery& query) const override;
};

} // namespace tv
