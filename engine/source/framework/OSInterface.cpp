#include <framework/OSInterface.h>

namespace framework
{

OSInterface::OSInterface()
{
}

OSInterface::~OSInterface()
{
}

} // framework
