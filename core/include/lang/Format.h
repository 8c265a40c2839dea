#ifndef LANG_FORMAT_H
#define LANG_FORMAT_H

#include <lang/Formattable.h>
#include <lang/String.h>

namespace lang {

// A message template with numbered placeholders ("{0}", "{1,0.00}") and copies of its arguments;
// the text is produced only when asked for. Plain value, copied member by member.
class Format
{
public:
	static constexpr int MAX_ARGUMENTS = 10;

	Format() : m_argumentCount(0) {}
	template <class... Args>
	Format(const String& format, const Args&... args) : m_format(format), m_argumentCount(sizeof...(Args))
	{
		static_assert(sizeof...(Args) <= MAX_ARGUMENTS, "a Format holds at most 10 arguments");
		int i = 0;
		((m_arguments[i++] = Formattable(args)), ...);
	}

	// Writes at most size bytes including the terminator; returns the whole length plus one.
	// Throws FormatException on a malformed placeholder.
	int format(char* buffer, int size) const;
	// The whole formatted text.
	String format() const;

	const String& formatText() const { return m_format; }
	int argumentCount() const { return m_argumentCount; }
	const Formattable& argument(int index) const { return m_arguments[index]; }

private:
	String m_format;
	int m_argumentCount;
	Formattable m_arguments[MAX_ARGUMENTS];
};

} // lang

#endif
