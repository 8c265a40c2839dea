#ifndef GR_GRAPHICSEXCEPTION_H
#define GR_GRAPHICSEXCEPTION_H

#include <lang/Exception.h>

namespace gr {

// A rendering device or texture failure; it carries only its message, by value.
class GraphicsException : public lang::Exception
{
public:
	GraphicsException() = default;
	GraphicsException(const lang::Format& message) : lang::Exception(message) {}
};

} // gr

#endif
