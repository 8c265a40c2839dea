#ifndef GR_GRAPHICSEXCEPTION_H
#define GR_GRAPHICSEXCEPTION_H

#include <lang/Exception.h>

namespace gr
{

/** A rendering device or texture failure; carries only its message and is thrown by value. */
class GraphicsException : public lang::Exception
{
public:
	GraphicsException() = default;
	GraphicsException(const lang::Format& message) : lang::Exception(message) {}
};

} // gr

#endif
