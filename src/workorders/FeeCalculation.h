#pragma once

// The fee arithmetic of a work order, apart from any window: the net rates
// taken over from a contractor and what the three compute buttons of the
// editor derive. Nothing here rounds: every amount keeps full double
// precision, and only its display is rounded.

#include <QString>
#include <optional>

namespace zomi {

// An amount column of a work order: empty (NULL) or a value. An empty
// operand counts as 0 in every computation.
using Amount = std::optional<double>;

// A contractor that charges VAT ("I", exactly) keeps gross rates, while the
// work order's rate boxes hold net ones.
double ContractorRateFactor(const QString& contractorAfas, double afakulcs);

struct NetRates {
    Amount munkadij1;  // net labour rate per hour
    Amount kiszdij1;   // net call-out fee per occasion
};

// The rates a chosen contractor puts into the work order. oradij and kiszdij
// are the contractor's values as read with the default 0; a rate that comes
// out 0 is left empty, so that the box shows nothing rather than "0".
NetRates RatesFromContractor(const QString& contractorAfas, double oradij, double kiszdij,
                             double afakulcs);

// munkadij3 from munkadij1 (rate) and munkadij2 (hours).
double NetLabourFee(Amount rate, Amount hours);
// kiszdij3 from kiszdij1 (fee) and kiszdij2 (occasions).
double NetCallOutFee(Amount fee, Amount occasions);

struct GrossAmounts {
    double munkadij4 = 0;
    double kiszdij4 = 0;
    double anyag4 = 0;
    double ossz = 0;
};

// The gross amounts and the total. afas is the work order's own flag (its
// check box), not the contractor's.
GrossAmounts GrossAndTotal(Amount munkadij3, Amount kiszdij3, Amount anyag3, const QString& afas,
                           double afakulcs);

}  // namespace zomi
