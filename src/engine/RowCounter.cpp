#include "RowCounter.h"

void ReferenceRowCounter::CountRow(const EscapeParameters& parameters, std::span<const double> reals,
                                   double imaginary, std::span<std::int32_t> counts) {
  for (std::size_t i = 0; i < reals.size(); ++i) counts[i] = EscapeCount(parameters, {reals[i], imaginary});
}
