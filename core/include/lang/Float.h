#ifndef LANG_FLOAT_H
#define LANG_FLOAT_H

#include <initializer_list>

namespace lang {

// Single-precision limits and the number parser; stateless.
class Float
{
public:
	// The largest finite float.
	static constexpr float MAX_VALUE = 3.40282347e+38f;
	// The smallest positive normal float.
	static constexpr float MIN_VALUE = 1.17549435e-38f;

	// Parses one decimal number after optional white space; *end receives the position after it.
	// Without an error pointer a malformed number throws FormatException.
	static float parse(const char* text, const char** end = nullptr, int* error = nullptr);

	// True when no value is infinite or NaN.
	static bool allFinite(std::initializer_list<float> values);
};

} // lang

#endif
