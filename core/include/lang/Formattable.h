#ifndef LANG_FORMATTABLE_H
#define LANG_FORMATTABLE_H

#include <lang/String.h>
#include <type_traits>

namespace lang {

// One argument of a Format: a number or a copy of a text, held by value.
class Formattable
{
public:
	enum Type
	{
		VALUE_NONE = 0,
		VALUE_NUMBER = 1,
		VALUE_STRING = 2
	};

	Formattable() : m_number(0.0), m_integer(0), m_integral(INTEGRAL_NONE), m_type(VALUE_NONE) {}
	Formattable(double number) : m_number(number), m_integer(0), m_integral(INTEGRAL_NONE), m_type(VALUE_NUMBER) {}
	// Integers (booleans included) keep their exact value beside the double, so that they print
	// as whole numbers at any size.
	template <class T, std::enable_if_t<std::is_integral<T>::value, int> = 0>
	Formattable(T number)
		: m_number(static_cast<double>(number)), m_integer(static_cast<unsigned long long>(number)),
		  m_integral(std::is_signed<T>::value ? INTEGRAL_SIGNED : INTEGRAL_UNSIGNED), m_type(VALUE_NUMBER)
	{
	}
	template <class T, std::enable_if_t<std::is_enum<T>::value, int> = 0>
	Formattable(T value) : Formattable(static_cast<std::underlying_type_t<T>>(value))
	{
	}
	template <class T, std::enable_if_t<std::is_floating_point<T>::value, int> = 0>
	Formattable(T number) : Formattable(static_cast<double>(number))
	{
	}
	Formattable(const char* text) : m_number(0.0), m_text(text), m_integer(0), m_integral(INTEGRAL_NONE), m_type(VALUE_STRING) {}
	Formattable(const String& text) : m_number(0.0), m_text(text), m_integer(0), m_integral(INTEGRAL_NONE), m_type(VALUE_STRING) {}

	// Writes this argument's text for the placeholder specification starting at position in
	// format (at most size - 1 bytes and a terminator); returns the full length of the text.
	int format(char* buffer, int size, const String& format, int position) const;

	Type type() const { return m_type; }
	// The number, also for integers (exact up to 2^53).
	double number() const { return m_number; }
	const String& string() const { return m_text; }

private:
	// Whether the number came from an integer, and how its 64 bits are read.
	enum Integral
	{
		INTEGRAL_NONE,
		INTEGRAL_SIGNED,
		INTEGRAL_UNSIGNED
	};

	double m_number;
	String m_text;
	// Two's complement bits of an integer argument.
	unsigned long long m_integer;
	Integral m_integral;
	Type m_type;
};

} // lang

#endif
