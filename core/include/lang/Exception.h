#ifndef LANG_EXCEPTION_H
#define LANG_EXCEPTION_H

#include <lang/Throwable.h>

namespace lang {

// General failure; a handler for it catches every exception the system throws; it carries only its message, by value.
class Exception : public lang::Throwable
{
public:
	Exception() = default;
	Exception(const lang::Format& message) : lang::Throwable(message) {}
};

} // lang

#endif
