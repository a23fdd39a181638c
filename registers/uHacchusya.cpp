#include "registers/uHacchusya.h"

#include "platform/TableEngine.h"

namespace tv {

THacchusya::THacchusya()
    : TNameRegister(QStringLiteral("Hacchusya"), QStringLiteral("Hacchusya"), Fields()) {}

std::vector<FieldDef> THacchusya::Fields() {
    return {{QStringLiteral("HACCHUSYAMEI"), FieldType::String, 32},
            {QStringLiteral("SYOKUSIMEI"), FieldType::String, 32}};
}

void THacchusya::Clear() {
    Hacchusyamei.clear();
    SyokuSimei.clear();
}

void THacchusya::ReadRow(const TQuery& query) {
    Hacchusyamei = query.Fields(0).AsString();
    SyokuSimei = query.Fields(1).AsString();
}

void THacchusya::BindRow(TQuery& query) const {
    query.Params(0).SetAsString(Hacchusyamei);
    query.Params(1).SetAsString(SyokuSimei);
}

} // namespace tv
