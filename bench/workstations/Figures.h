#pragma once

// The run's figures: per action its count, rate and latencies, the errors
// by kind with the server's number, and what the users would have read.

#include <QString>

#include "Journal.h"

namespace zomi::load {

// The value below which the share q (0..1) of the sorted values lies.
double Percentile(const std::vector<double>& sorted, double q);

void PrintFigures(const Journal& journal, double seconds);

}  // namespace zomi::load
