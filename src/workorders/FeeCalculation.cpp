#include "workorders/FeeCalculation.h"

namespace zomi {

namespace {

bool isYes(const QString& flag) { return flag == QLatin1String("I"); }

Amount emptyWhenZero(double value) { return value == 0 ? Amount() : Amount(value); }

}  // namespace

double ContractorRateFactor(const QString& contractorAfas, double afakulcs) {
    return isYes(contractorAfas) ? 1 / afakulcs : 1;
}

NetRates RatesFromContractor(const QString& contractorAfas, double oradij, double kiszdij,
                             double afakulcs) {
    const double factor = ContractorRateFactor(contractorAfas, afakulcs);
    return {emptyWhenZero(oradij * factor), emptyWhenZero(kiszdij * factor)};
}

double NetLabourFee(Amount rate, Amount hours) { return rate.value_or(0) * hours.value_or(0); }

double NetCallOutFee(Amount fee, Amount occasions) {
    return fee.value_or(0) * occasions.value_or(0);
}

GrossAmounts GrossAndTotal(Amount munkadij3, Amount kiszdij3, Amount anyag3, const QString& afas,
                           double afakulcs) {
    const double f = isYes(afas) ? afakulcs : 1;
    GrossAmounts gross;
    gross.munkadij4 = munkadij3.value_or(0) * f;
    gross.kiszdij4 = kiszdij3.value_or(0) * f;
    gross.anyag4 = anyag3.value_or(0) * f;
    gross.ossz = gross.munkadij4 + gross.kiszdij4 + gross.anyag4;
    return gross;
}

}  // namespace zomi
