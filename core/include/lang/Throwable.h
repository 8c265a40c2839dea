#ifndef LANG_THROWABLE_H
#define LANG_THROWABLE_H

#include <lang/Format.h>

namespace lang {

// Root of every failure: a message template with copies of its arguments, owned by value, so it
// stays valid however far the exception travels.
class Throwable
{
public:
	Throwable() = default;
	// Formats the message once for the debug log: a malformed template throws FormatException here.
	Throwable(const Format& message);

	const Format& getMessage() const { return m_message; }
	// Writes "EXCEPTION: <message>" and a newline to standard output.
	void showExceptionDialog() const;

private:
	Format m_message;
};

// Throws a copy of the given exception; every throw site of the system goes through here.
template <class E>
[[noreturn]] void throwError(const E& exception)
{
	throw exception;
}

} // lang

#endif
