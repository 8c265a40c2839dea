#ifndef LANG_FUNCTOR_H
#define LANG_FUNCTOR_H

#include <lang/Func1.h>

namespace lang
{

/**
 * A value owning one heap FuncBase (or none), deleted with the functor; copies clone it.
 * Typical use: lang::Functor(new lang::Func1<void, void (T::*)(), T*>(&T::run, this)),
 * or lang::Functor::bind(this, &T::run).
 */
class Functor
{
public:
	Functor() : m_function(nullptr) {}

	/** Takes ownership of function. */
	explicit Functor(FuncBase* function) : m_function(function) {}

	Functor(const Functor& other) : m_function(other.m_function ? other.m_function->clone() : nullptr) {}

	Functor(Functor&& other) noexcept : m_function(other.m_function)	{ other.m_function = nullptr; }

	~Functor()											{ delete m_function; }

	Functor& operator=(Functor other) noexcept
	{
		FuncBase* old = m_function;
		m_function = other.m_function;
		other.m_function = old;
		return *this;
	}

	/** A functor calling the member function on object, which it does not own. */
	template <class T, class R>
	static Functor bind(T* object, R (T::*function)())
	{
		return Functor(new Func1<R, R (T::*)(), T*>(function, object));
	}

	/** Runs the callable; an empty functor does nothing. */
	void operator()() const
	{
		if (m_function)
			(*m_function)();
	}

	FuncBase* function() const							{ return m_function; }

private:
	FuncBase* m_function;
};

} // lang

#endif
