#include <lang/Formattable.h>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace lang {

namespace {

// Scratch size of one printed number and of the printf format built for it (bytes, terminator included).
constexpr int NUMBER_SCRATCH = 32;
// Widths and decimals beyond this cannot show in the scratch anyway; bounding them keeps printf cheap.
constexpr int MAX_FIELD_DIGITS = 64;

// The number as a 32-bit signed integer: truncated toward zero, saturated at the limits, NaN as 0.
int toInt32(double number)
{
	if (std::isnan(number))
		return 0;
	if (number >= 2147483648.0)
		return INT_MAX;
	if (number <= -2147483649.0)
		return INT_MIN;
	return static_cast<int>(number);
}

// Prints number as the format specifier [begin, end) asks; returns the text length (at most NUMBER_SCRATCH - 1).
int printNumber(double number, const char* begin, const char* end, char* out)
{
	char format[NUMBER_SCRATCH];
	int width = 0;
	int decimals = 0;
	bool fixed = false;
	bool afterPoint = false;
	int printed = -1;
	for (const char* p = begin; p < end && printed < 0; ++p)
	{
		switch (*p)
		{
		case 'x':
		case 'X':
		case 'd':
		case 'i':
			std::snprintf(format, sizeof(format), "%%%c", *p);
			if (*p == 'x' || *p == 'X')
				printed = std::snprintf(out, NUMBER_SCRATCH, format, static_cast<unsigned int>(toInt32(number)));
			else
				printed = std::snprintf(out, NUMBER_SCRATCH, format, toInt32(number));
			break;
		case '.':
			afterPoint = true;
			break;
		case '0':
			if (afterPoint)
				++decimals;
			else
			{
				++width;
				fixed = true;
			}
			break;
		case '#':
			if (afterPoint)
				++decimals;
			else
				fixed = true;
			break;
		default:
			break;
		}
	}
	if (printed < 0)
	{
		width = width < MAX_FIELD_DIGITS ? width : MAX_FIELD_DIGITS;
		decimals = decimals < MAX_FIELD_DIGITS ? decimals : MAX_FIELD_DIGITS;
		if (decimals == 0 && !fixed)
			std::snprintf(format, sizeof(format), "%%g");
		else if (width >= 1)
			std::snprintf(format, sizeof(format), "%%0%i.%if", width, decimals);
		else
			std::snprintf(format, sizeof(format), "%%.%if", decimals);
		printed = std::snprintf(out, NUMBER_SCRATCH, format, number);
	}
	if (printed < 0)
		printed = 0;
	return printed < NUMBER_SCRATCH ? printed : NUMBER_SCRATCH - 1;
}

} // namespace

int Formattable::format(char* buffer, int size, const String& format, int position) const
{
	char number[NUMBER_SCRATCH];
	const char* text = nullptr;
	int n = 0;
	switch (m_type)
	{
	case VALUE_STRING:
		text = m_text.c_str();
		n = m_text.length();
		break;
	case VALUE_NUMBER:
	{
		const char* begin = format.c_str() + (position < format.length() ? position : format.length());
		const char* end = format.c_str() + format.length();
		const char* close = static_cast<const char*>(std::memchr(begin, '}', static_cast<size_t>(end - begin)));
		n = printNumber(m_number, begin, close != nullptr ? close : end, number);
		text = number;
		break;
	}
	default:
		return 0;
	}
	if (size >= 1)
	{
		const int k = n < size - 1 ? n : size - 1;
		std::memcpy(buffer, text, static_cast<size_t>(k));
		buffer[k] = 0;
	}
	return n;
}

} // lang
