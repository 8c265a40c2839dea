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

	Formattable() : m_number(0.0), m_type(VALUE_NONE) {}
	Formattable(double number) : m_number(number), m_type(VALUE_NUMBER) {}
	// Integers, floats, booleans and enumerations format as numbers.
	template <class T, class = std::enable_if_t<std::is_arithmetic<T>::value || std::is_enum<T>::value>>
	Formattable(T number) : Formattable(static_cast<double>(number)) {}
	Formattable(const char* text) : m_number(0.0), m_text(text), m_type(VALUE_STRING) {}
	Formattable(const String& text) : m_number(0.0), m_text(text), m_type(VALUE_STRING) {}

	// Writes this argument's text for the placeholder specification starting at position in
	// format (at most size - 1 bytes and a terminator); returns the full length of the text.
	int format(char* buffer, int size, const String& format, int position) const;

	Type type() const { return m_type; }
	double number() const { return m_number; }
	const String& string() const { return m_text; }

private:
	double m_number;
	String m_text;
	Type m_type;
};

} // lang

#endif
