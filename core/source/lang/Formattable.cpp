#include <lang/Formattable.h>
#include <lang/Truncate.h>
#include <climits>
#include <cstdio>
#include <cstring>

namespace lang {

namespace {

// Scratch size of one printed number and of the printf format built for it (bytes, terminator included).
constexpr int NUMBER_SCRATCH = 32;
// Widths and decimals beyond this cannot show in the scratch anyway; bounding them keeps printf cheap.
constexpr int MAX_FIELD_DIGITS = 64;

// What a placeholder specification asks of a number.
struct NumberSpec
{
	// 'x', 'X', 'd' or 'i' when the specifier names one, else 0.
	char conversion = 0;
	// Leading zeros before the point.
	int width = 0;
	int decimals = 0;
	bool fixed = false;
};

NumberSpec parseSpec(const char* begin, const char* end)
{
	NumberSpec spec;
	bool afterPoint = false;
	for (const char* p = begin; p < end; ++p)
	{
		switch (*p)
		{
		case 'x':
		case 'X':
		case 'd':
		case 'i':
			// Whatever came before the letter is ignored.
			return NumberSpec{*p, 0, 0, false};
		case '.':
			afterPoint = true;
			break;
		case '0':
			if (afterPoint)
				++spec.decimals;
			else
			{
				++spec.width;
				spec.fixed = true;
			}
			break;
		case '#':
			if (afterPoint)
				++spec.decimals;
			else
				spec.fixed = true;
			break;
		default:
			break;
		}
	}
	spec.width = spec.width < MAX_FIELD_DIGITS ? spec.width : MAX_FIELD_DIGITS;
	spec.decimals = spec.decimals < MAX_FIELD_DIGITS ? spec.decimals : MAX_FIELD_DIGITS;
	return spec;
}

// Prints number as spec asks; returns what snprintf returns.
int printReal(double number, const NumberSpec& spec, char* out)
{
	char format[NUMBER_SCRATCH];
	if (spec.conversion == 'x' || spec.conversion == 'X')
		return std::snprintf(out, NUMBER_SCRATCH, spec.conversion == 'x' ? "%x" : "%X", static_cast<unsigned int>(truncateTo<int>(number)));
	if (spec.conversion != 0)
		return std::snprintf(out, NUMBER_SCRATCH, "%i", truncateTo<int>(number));
	if (spec.decimals == 0 && !spec.fixed)
		std::snprintf(format, sizeof(format), "%%g");
	else if (spec.width >= 1)
		std::snprintf(format, sizeof(format), "%%0%i.%if", spec.width, spec.decimals);
	else
		std::snprintf(format, sizeof(format), "%%.%if", spec.decimals);
	return std::snprintf(out, NUMBER_SCRATCH, format, number);
}

// Prints an integer given as its two's complement bits: whole and exact where the specifier
// asks for no decimals or names a letter, through the double where it asks for fixed point.
int printInteger(unsigned long long bits, bool isSigned, double number, const NumberSpec& spec, char* out)
{
	const long long value = static_cast<long long>(bits);
	if (spec.conversion == 'x' || spec.conversion == 'X')
	{
		const bool upper = spec.conversion == 'X';
		// A negative value within 32 bits shows its 32-bit pattern, as a 32-bit integer prints.
		if (isSigned && value < 0 && value >= INT_MIN)
			return std::snprintf(out, NUMBER_SCRATCH, upper ? "%X" : "%x", static_cast<unsigned int>(value));
		return std::snprintf(out, NUMBER_SCRATCH, upper ? "%llX" : "%llx", bits);
	}
	if (spec.conversion != 0 || (spec.decimals == 0 && !spec.fixed))
		return isSigned ? std::snprintf(out, NUMBER_SCRATCH, "%lld", value) : std::snprintf(out, NUMBER_SCRATCH, "%llu", bits);
	return printReal(number, spec, out);
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
		const NumberSpec spec = parseSpec(begin, close != nullptr ? close : end);
		const int printed = m_integral == INTEGRAL_NONE ? printReal(m_number, spec, number)
			: printInteger(m_integer, m_integral == INTEGRAL_SIGNED, m_number, spec, number);
		n = printed < 0 ? 0 : (printed < NUMBER_SCRATCH ? printed : NUMBER_SCRATCH - 1);
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
