#include "Stats.h"

#include <algorithm>
#include <cmath>

double Percentile(std::vector<double> samples, double dFraction)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const double dRank = std::ceil(dFraction * static_cast<double>(samples.size()));
    const size_t i = dRank < 1 ? 0 : static_cast<size_t>(dRank) - 1;
    return samples[std::min(i, samples.size() - 1)];
}
