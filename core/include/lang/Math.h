#ifndef LANG_MATH_H
#define LANG_MATH_H

namespace lang {

// Scalar constants and the shared pseudo-random sequence; stateless.
class Math
{
public:
	static constexpr float PI = 3.14159265358979323846f;

	// rand() scaled by 2^-31, in [0, 1]; shares the C library's single unseeded sequence.
	static float random();
};

} // lang

#endif
