#ifndef LANG_INTEGER_H
#define LANG_INTEGER_H

namespace lang
{

/** 32-bit integer limits and the decimal integer parser; stateless. */
class Integer
{
public:
	static constexpr int MAX_VALUE = 2147483647;
	static constexpr int MIN_VALUE = -MAX_VALUE - 1;

	/** Error code of parse: the text holds no digits where the number should start. */
	static constexpr int ERROR_NO_DIGITS = 1;
	/** Error code of parse: the value is outside the int range (the result is clamped to it). */
	static constexpr int ERROR_RANGE = 2;

	/**
	 * Reads a decimal integer after optional white space and sign; 0 when there are no digits.
	 * *end, when given, receives the position after the last digit (text itself when there is none);
	 * *error, when given, receives 0 or one of the error codes above.
	 */
	static int parse(const char* text, const char** end = nullptr, int* error = nullptr);
};

} // lang

#endif
