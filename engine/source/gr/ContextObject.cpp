#include <gr/ContextObject.h>

namespace gr
{

ContextObject::Lock::Lock(ContextObject* object, int lockType) :
	m_object(object)
{
	m_object->lock(lockType);
}

ContextObject::Lock::~Lock()
{
	m_object->unlock();
}

} // gr
