#include <lang/OutOfMemoryException.h>

namespace lang {

void throw_OutOfMemoryException()
{
	throwError(OutOfMemoryException());
}

} // lang
