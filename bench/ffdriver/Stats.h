#pragma once

#include <vector>

// Order statistics of a sample, nearest-rank; 0 for an empty sample.
double Percentile(std::vector<double> samples, double dFraction);
