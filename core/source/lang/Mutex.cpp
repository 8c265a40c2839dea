#include <lang/Mutex.h>
#include <lang/Object.h>
#include <pthread.h>

namespace lang
{

/** The shared pthread mutex of the Mutex copies; destroyed with the last reference. */
class Mutex::MutexImpl : public Object
{
public:
	pthread_mutex_t mutex;

	MutexImpl()
	{
		pthread_mutexattr_t attr;
		pthread_mutexattr_init(&attr);
		pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
		pthread_mutex_init(&mutex, &attr);
		pthread_mutexattr_destroy(&attr);
	}

	~MutexImpl() override
	{
		pthread_mutex_destroy(&mutex);
	}
};

Mutex::Mutex() :
	m_impl(new MutexImpl)
{
}

Mutex::Mutex(const Mutex& other) = default;

Mutex& Mutex::operator=(const Mutex& other) = default;

Mutex::~Mutex() = default;

void Mutex::lock()
{
	pthread_mutex_lock(&m_impl->mutex);
}

void Mutex::unlock()
{
	pthread_mutex_unlock(&m_impl->mutex);
}

bool Mutex::tryLock()
{
	return pthread_mutex_trylock(&m_impl->mutex) == 0;
}

} // lang
