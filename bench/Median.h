#ifndef BENCH_MEDIAN_H
#define BENCH_MEDIAN_H

#include <algorithm>
#include <vector>

// The middle of the samples (of two middle ones, the greater); there must be at least one.
inline double median(std::vector<double> samples)
{
	std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
	return samples[samples.size() / 2];
}

#endif
