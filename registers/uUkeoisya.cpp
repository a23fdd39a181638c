#include "registers/uUkeoisya.h"

#include "platform/TableEngine.h"

namespace tv {

TUkeoisya::TUkeoisya()
    : TNameRegister(QStringLiteral("Ukeoisya"), QStringLiteral("UKEOISYA"), Fields()) {}

std::vector<FieldDef> TUkeoisya::Fields() {
    return {{QStringLiteral("UKEOISYAMEI"), FieldType::String, 48},
            {QStringLiteral("JUSYO"), FieldType::String, 48},
            {QStringLiteral("KAISYA"), FieldType::String, 48},
            {QStringLiteral("DAIHYOSYA"), FieldType::String, 48},
            {QStringLiteral("JVFLAG"), FieldType::Boolean, 0}};
}

void TUkeoisya::Clear() {
    Ukeoisyamei.clear();
    Jusyo.clear();
    Kaisya.clear();
    Daihyosya.clear();
    JVFlag = false;
}

void TUkeoisya::ReadRow(const TQuery& query) {
    Ukeoisyamei = query.Fields(0).AsString();
    Jusyo = query.Fields(1).AsString();
    Kaisya = query.Fields(2).AsString();
    Daihyosya = query.Fields(3).AsString();
    JVFlag = query.Fields(4).AsBoolean();
}

void TUkeoisya::BindRow(TQuery& query) const {
    query.Params(0).SetAsString(Ukeoisyamei);
    query.Params(1).SetAsString(Jusyo);
    query.Params(2).SetAsString(Kaisya);
    query.Params(3).SetAsString(Daihyosya);
    query.Params(4).SetAsBoolean(JVFlag);
}

} // namespace tv
