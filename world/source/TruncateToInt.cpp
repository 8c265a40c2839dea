#include <world/TruncateToInt.h>

#include <algorithm>
#include <climits>
#include <cmath>

int truncateToInt(float value)
{
	if (std::isnan(value))
		return 0;
	if (value >= static_cast<float>(INT_MAX))
		return INT_MAX;
	if (value <= static_cast<float>(INT_MIN))
		return INT_MIN;
	return static_cast<int>(value);
}

int truncateToRange(float value, int low, int high)
{
	return std::min(std::max(truncateToInt(value), low), high);
}
