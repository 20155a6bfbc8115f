#pragma once
// The total of the shown transactions in one chosen currency, summed in single precision as
// the handheld application sums it. The conversion is its own small class so that other
// totals (sums by group) convert every transaction by the very same steps.
#include <cstdint>
#include <optional>

#include "store/variant.h"

namespace quillet {

class TDM;

// A chosen currency's rate below this converts nothing (the total is 0).
inline constexpr double kMinimumTotalRate = 0.0001;

// The chosen currency's rate R as a total uses it: the looked-up RATE in single precision;
// nothing when the lookup found no currency or R is not at least kMinimumTotalRate (a rate
// stored as exactly 0.0001 is slightly less in single precision, so it counts nothing too).
std::optional<float> TotalRate(const Variant& lookedUpRate);

// Adds transactions, one at a time, to a single-precision total in the chosen currency B.
// A transaction in B without an own rate adds its amount; one with an own rate adds
// amount x own rate / R (also when it is in B); any other adds amount x factor, where the
// factor (its currency's rate / R, in single precision) is kept for the last currency seen.
// Every new partial sum is rounded to single precision.
class CurrencyTotal {
 public:
  CurrencyTotal(std::int32_t chosenCurrency, float chosenRate) : chosen_(chosenCurrency), rate_(chosenRate) {}

  // rateOf() answers the looked-up rate of the transaction's currency (0 when it has none);
  // it is asked only when the kept factor is for another currency.
  template <typename RateOf>
  void add(double amount, std::int32_t currency, bool ownCurrency, double ownRate, RateOf&& rateOf) {
    double next;
    if (currency == chosen_ && !ownCurrency) {
      next = static_cast<double>(total_) + amount;
    } else if (ownCurrency) {
      next = ownRate * amount / static_cast<double>(rate_) + static_cast<double>(total_);
    } else {
      if (!cached_ || currency != cacheId_) {
        cacheFactor_ = static_cast<float>(static_cast<double>(rateOf()) / static_cast<double>(rate_));
        cacheId_ = currency;
        cached_ = true;
      }
      next = amount * static_cast<double>(cacheFactor_) + static_cast<double>(total_);
    }
    total_ = static_cast<float>(next);
  }

  float total() const { return total_; }

  // ---- Sums by group: one transaction's amount in the chosen currency, converted by the
  // steps add() takes (the same kept factor), before it joins any sum.
  template <typename RateOf>
  double converted(double amount, std::int32_t currency, bool ownCurrency, double ownRate, RateOf&& rateOf) {
    if (currency == chosen_ && !ownCurrency) return amount;
    if (ownCurrency) return ownRate * amount / static_cast<double>(rate_);
    if (!cached_ || currency != cacheId_) {
      cacheFactor_ = static_cast<float>(static_cast<double>(rateOf()) / static_cast<double>(rate_));
      cacheId_ = currency;
      cached_ = true;
    }
    return amount * static_cast<double>(cacheFactor_);
  }
  // ---- end of sums by group

  std::int32_t chosenCurrency() const { return chosen_; }
  float chosenRate() const { return rate_; }

 private:
  std::int32_t chosen_;
  float rate_;
  float total_ = 0.0f;
  // The one-entry cache. It starts with the identifier -2 and the factor -123456789 (held
  // as -123456792), but counts as empty until the first conversion: a currency whose
  // identifier happens to be -2 still gets its own factor.
  bool cached_ = false;
  std::int32_t cacheId_ = -2;
  float cacheFactor_ = -123456789.0f;
};

// The total of the rows the Transaction view shows, in the given currency, read through
// BalanceTrans in batch mode with the Transaction view's filter. 0 when the currency is
// missing or its rate is too small. Raises the engine's error when BalanceTrans cannot be
// re-read.
float BalanceTotalIn(TDM& dm, std::int32_t currency);

}  // namespace quillet
