#ifndef LANG_OUTOFMEMORYEXCEPTION_H
#define LANG_OUTOFMEMORYEXCEPTION_H

#include <lang/Exception.h>

namespace lang {

// An allocation failed; always carries an empty message; it carries only its message, by value.
class OutOfMemoryException : public lang::Exception
{
public:
	OutOfMemoryException() = default;
	OutOfMemoryException(const lang::Format& message) : lang::Exception(message) {}
};

// Throws an OutOfMemoryException with an empty message; called where an allocation returned null.
[[noreturn]] void throw_OutOfMemoryException();

} // lang

#endif
