#include <lang/Hashtable.h>
#include <climits>

namespace lang
{

int Hashtable_getLargerInt(int n)
{
	static const int PRIMES[] = {37, 67, 131, 257, 521, 1031, 2053, 4099, 8209, 16411, 32771, 65543, 129403};
	for (int prime : PRIMES)
		if (prime > n)
			return prime;
	// Past the ladder the table grows by a fixed step, kept odd.
	const long long next = (static_cast<long long>(n) + 129403) | 1;
	return next > INT_MAX ? INT_MAX : static_cast<int>(next);
}

} // lang
