#ifndef LANG_THREADINTERRUPTEDEXCEPTION_H
#define LANG_THREADINTERRUPTEDEXCEPTION_H

#include <lang/Exception.h>

namespace lang {

// Ends a thread's work early; caught by the thread entry routine; it carries only its message, by value.
class ThreadInterruptedException : public lang::Exception
{
public:
	ThreadInterruptedException() = default;
	ThreadInterruptedException(const lang::Format& message) : lang::Exception(message) {}
};

} // lang

#endif
