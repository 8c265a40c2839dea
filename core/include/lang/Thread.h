#ifndef LANG_THREAD_H
#define LANG_THREAD_H

#include <lang/Functor.h>
#include <lang/Object.h>
#include <pthread.h>

namespace lang
{

/**
 * A thread running a copy of a functor, started on construction; held through lang::Ptr. The running
 * thread owns the functor copy and frees it when the functor returns. With the join flag the last
 * release waits for the functor to return (tell it to finish first); without it the thread is
 * detached on destruction and keeps running on its own. An exception leaving the functor ends the
 * thread quietly.
 */
class Thread : public Object
{
public:
	/** Starts a thread running a clone of functor; throws lang::Exception "Creating thread failed". */
	Thread(const Functor& functor, bool join);

	~Thread() override;

	Thread(const Thread&) = delete;
	Thread& operator=(const Thread&) = delete;

	/** The thread's current scheduling priority. */
	int priority() const;

	/** Sets the scheduling priority under the thread's current policy; failures are ignored. */
	void setPriority(int priority);

	/** Blocks the calling thread for about ms milliseconds. */
	static void sleep(unsigned int ms);

	/** Gives up the rest of the calling thread's time slice. */
	static void yield();

private:
	pthread_t m_thread;
	bool m_join;

	void startThread(const Functor& functor);
};

} // lang

#endif
