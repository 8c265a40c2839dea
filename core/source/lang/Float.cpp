#include <lang/Float.h>
#include <lang/FormatException.h>
#include <lang/String.h>
#include <cfloat>
#include <cmath>

namespace lang
{

namespace
{
	// Error codes of the number scanner.
	const int ERROR_POINT_WITHOUT_DIGITS = 623;
	const int ERROR_EXPONENT_WITHOUT_DIGITS = 648;

	// Weights of the first 18 fraction digits; later digits scale the last one by 0.1 each.
	const double FRACTION_WEIGHTS[] = {
		1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7, 1e-8, 1e-9,
		1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15, 1e-16, 1e-17, 1e-18};
	const int FRACTION_WEIGHT_COUNT = sizeof(FRACTION_WEIGHTS) / sizeof(FRACTION_WEIGHTS[0]);

	bool isWhiteSpace(char c)
	{
		return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
	}

	bool isDigit(char c)
	{
		return c >= '0' && c <= '9';
	}

	// A magnitude at or past the largest double counts as an overflow to infinity.
	double saturate(double sign, double value)
	{
		return std::fabs(value) >= DBL_MAX ? sign * HUGE_VAL : value;
	}

	// Reads an optional '+' or '-' at s into sign; false when the text ends right after it.
	bool scanSign(const char*& s, double* sign)
	{
		if (*s != '+' && *s != '-')
			return true;
		*sign = *s == '-' ? -1.0 : 1.0;
		if (!s[1])
			return false;
		++s;
		return true;
	}

	/*
	 * The scanner proper. s is the current character; the caller reports it as the end position.
	 * When the text ends right after a character of the number, s stays on that character.
	 */
	double scan(const char*& s, int* error)
	{
		if (!*s)
			return 0.0;
		while (isWhiteSpace(*s))
			if (!*++s)
				return 0.0;

		double sign = 1.0;
		if (!scanSign(s, &sign))
			return 0.0;

		double mantissa = 0.0;
		bool digitRead = false;
		for (; isDigit(*s); ++s)
		{
			mantissa = mantissa * 10.0 + (*s - '0');
			digitRead = true;
			if (!s[1])
				return saturate(sign, sign * mantissa);
		}

		if (*s == '.')
		{
			if (!s[1])
				return digitRead ? saturate(sign, sign * mantissa) : 0.0;
			++s;
			if (!isDigit(*s) && !digitRead)
			{
				*error = ERROR_POINT_WITHOUT_DIGITS;
				return 0.0;
			}
			double weight = 1.0;
			for (int k = 0; isDigit(*s); ++s, ++k)
			{
				weight = k < FRACTION_WEIGHT_COUNT ? FRACTION_WEIGHTS[k] : weight * 0.1;
				mantissa += (*s - '0') * weight;
				digitRead = true;
				if (!s[1])
					return saturate(sign, sign * mantissa);
			}
		}

		double exponent = 0.0;
		if (*s == 'e' || *s == 'E' || *s == 'd' || *s == 'D')
		{
			if (!s[1])
				return 0.0;
			++s;
			double exponentSign = 1.0;
			if (!scanSign(s, &exponentSign))
				return 0.0;
			if (!isDigit(*s))
			{
				*error = ERROR_EXPONENT_WITHOUT_DIGITS;
				return 0.0;
			}
			for (; isDigit(*s); ++s)
			{
				exponent = exponent * 10.0 + (*s - '0');
				if (!s[1])
					break;
			}
			// An exponent too long to hold overflows like the value, whatever its sign.
			if (exponent >= DBL_MAX)
				return sign * HUGE_VAL;
			exponent *= exponentSign;
		}
		else if (!digitRead)
		{
			return 0.0;
		}

		if (mantissa >= DBL_MAX)
			return sign * HUGE_VAL;
		const double p = std::pow(10.0, exponent);
		if (p >= DBL_MAX)
			return sign * HUGE_VAL;
		return saturate(sign, (sign * p) * mantissa);
	}

	// Round-to-nearest conversion that saturates to infinity instead of leaving the float range.
	float toFloat(double value)
	{
		// Half a unit in the last place above the largest float: the rounding boundary to infinity.
		const double overflowBoundary = static_cast<double>(FLT_MAX) + std::ldexp(1.0, 103);
		if (std::fabs(value) >= overflowBoundary && !std::isinf(value))
			return value < 0 ? -HUGE_VALF : HUGE_VALF;
		if (std::fabs(value) > FLT_MAX && !std::isinf(value))
			return value < 0 ? -FLT_MAX : FLT_MAX;
		return static_cast<float>(value);
	}
}

double String::scanDouble(const char* text, const char** end, int* error)
{
	int localError = 0;
	if (!error)
		error = &localError;
	*error = 0;
	const char* s = text;
	const double value = scan(s, error);
	if (end)
		*end = s;
	return value;
}

float Float::parse(const char* text, const char** end, int* error)
{
	int localError = 0;
	const double value = String::scanDouble(text, end, error ? error : &localError);
	if (!error && localError != 0)
		throwError(FormatException(Format("Double::parse({0}) failed", text)));
	return toFloat(value);
}

bool Float::allFinite(std::initializer_list<float> values)
{
	for (float value : values)
		if (!std::isfinite(value))
			return false;
	return true;
}

} // lang
