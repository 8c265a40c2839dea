#include <lang/Thread.h>
#include <lang/Exception.h>
#include <cxxabi.h>
#include <memory>
#include <sched.h>
#include <unistd.h>

namespace lang
{

namespace
{
	// The entry of every thread; it owns the functor copy it is given.
	void* runFunctor(void* arg)
	{
		std::unique_ptr<Functor> functor(static_cast<Functor*>(arg));
		try
		{
			(*functor)();
		}
		catch (abi::__forced_unwind&)
		{
			// Thread cancellation or pthread_exit unwinds through here and must go on.
			throw;
		}
		catch (...)
		{
		}
		return nullptr;
	}

	// usleep takes at most one second in one call.
	const unsigned int MAX_USLEEP_MICROS = 1000000;
}

Thread::Thread(const Functor& functor, bool join) :
	m_thread(),
	m_join(join)
{
	startThread(functor);
}

void Thread::startThread(const Functor& functor)
{
	// Once the thread is created the copy belongs to it.
	Functor* copy = new Functor(functor);
	if (pthread_create(&m_thread, nullptr, runFunctor, copy) != 0)
	{
		delete copy;
		throwError(Exception(Format("Creating thread failed")));
	}
}

Thread::~Thread()
{
	// A thread dropping the last reference to itself cannot join itself.
	if (m_join && !pthread_equal(m_thread, pthread_self()))
		pthread_join(m_thread, nullptr);
	else
		pthread_detach(m_thread);
}

int Thread::priority() const
{
	int policy = 0;
	sched_param param = {};
	pthread_getschedparam(m_thread, &policy, &param);
	return param.sched_priority;
}

void Thread::setPriority(int priority)
{
	int policy = 0;
	sched_param param = {};
	if (pthread_getschedparam(m_thread, &policy, &param) != 0)
		return;
	param.sched_priority = priority;
	pthread_setschedparam(m_thread, policy, &param);
}

void Thread::sleep(unsigned int ms)
{
	unsigned long long micros = static_cast<unsigned long long>(ms) * 1000u;
	while (micros > MAX_USLEEP_MICROS)
	{
		usleep(MAX_USLEEP_MICROS);
		micros -= MAX_USLEEP_MICROS;
	}
	usleep(static_cast<useconds_t>(micros));
}

void Thread::yield()
{
	sched_yield();
}

} // lang
