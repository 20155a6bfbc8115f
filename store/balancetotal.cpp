#include "store/balancetotal.h"

#include <string>

#include "store/datamodule.h"

namespace quillet {

std::optional<float> TotalRate(const Variant& lookedUpRate) {
  if (lookedUpRate.isEmpty()) return std::nullopt;
  const float rate = static_cast<float>(lookedUpRate.toFloat());
  // Compared in double precision; NaN fails too.
  if (!(static_cast<double>(rate) >= kMinimumTotalRate)) return std::nullopt;
  return rate;
}

float BalanceTotalIn(TDM& dm, std::int32_t currency) {
  const std::optional<float> rate = TotalRate(dm.Currency->Lookup("ID", Variant::fromInteger(currency), "RATE"));
  if (!rate) return 0.0f;

  TKADaoTable& trans = *dm.BalanceTrans;
  // BalanceTrans has no bound controls: it stays in batch mode once switched.
  if (!trans.BatchMode()) trans.F_SetBatchMode(true);
  // The Transaction view's rows, read afresh: its expression when its filter is on, else
  // none. BalanceTrans keeps its own switch on, so that setting the expression always
  // re-reads (rows may have come or gone since the last total).
  const std::string expression = dm.Transaction->Filtered() ? dm.Transaction->Filter() : std::string();
  if (trans.Filtered()) {
    trans.SetFilter(expression);
  } else {
    trans.SetFilter(expression);
    trans.SetFiltered(true);
    if (expression.empty()) trans.Refresh();
  }
  trans.First();

  const TField& amount = *dm.BalanceTransAMOUNT;
  const TField& currencyId = *dm.BalanceTransCURRENCY_ID;
  const TField& ownRate = *dm.BalanceTransCURRENCY_RATE;
  const TField& ownCurrency = *dm.BalanceTransFOWNCURRENCY;
  const TField& lookedUp = *dm.BalanceTransLookupCurrencyRate;
  CurrencyTotal total(currency, *rate);
  while (!trans.Eof()) {
    const bool own = ownCurrency.AsBoolean();
    total.add(amount.AsFloat(), currencyId.AsInteger(), own, own ? ownRate.AsFloat() : 0.0,
              [&] { return lookedUp.AsFloat(); });
    trans.Next();
  }
  return total.total();
}

float TDM::BalanceTotal() { return BalanceTotalIn(*this, AllFiltersBALANCE_CURRENCY->AsInteger()); }

}  // namespace quillet
