#include <lang/Math.h>
#include <cstdlib>

namespace lang {

float Math::random()
{
	// 2^-31: maps rand()'s 0 .. 2147483647 onto [0, 1].
	return static_cast<float>(std::rand() * (1.0 / 2147483648.0));
}

} // lang
