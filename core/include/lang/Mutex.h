#ifndef LANG_MUTEX_H
#define LANG_MUTEX_H

#include <lang/Ptr.h>

namespace lang
{

/**
 * A recursive mutex: the owning thread may lock it again and must unlock it as often. Copies share
 * one underlying mutex, destroyed with the last copy. Works with std::lock_guard.
 */
class Mutex
{
public:
	Mutex();
	Mutex(const Mutex& other);
	Mutex& operator=(const Mutex& other);
	~Mutex();

	/** Blocks until the calling thread holds the mutex. */
	void lock();

	void unlock();

	/** Takes the mutex if that is possible without blocking; true when taken. */
	bool tryLock();

	class MutexImpl;

private:
	Ptr<MutexImpl> m_impl;
};

} // lang

#endif
