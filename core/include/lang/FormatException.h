#ifndef LANG_FORMATEXCEPTION_H
#define LANG_FORMATEXCEPTION_H

#include <lang/Exception.h>

namespace lang {

// A malformed message template or number text; it carries only its message, by value.
class FormatException : public lang::Exception
{
public:
	FormatException() = default;
	FormatException(const lang::Format& message) : lang::Exception(message) {}
};

} // lang

#endif
