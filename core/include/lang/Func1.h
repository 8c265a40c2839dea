#ifndef LANG_FUNC1_H
#define LANG_FUNC1_H

#include <lang/FuncBase.h>

namespace lang
{

/**
 * A member function F (taking no arguments, returning R) bound to an object pointer P. The object is
 * not owned: it must outlive every call.
 */
template <class R, class F, class P>
class Func1 : public FuncBase
{
public:
	Func1(F function, P object) : m_function(function), m_object(object) {}

	void operator()() override							{ (m_object->*m_function)(); }
	FuncBase* clone() const override					{ return new Func1(m_function, m_object); }

private:
	F m_function;
	P m_object;
};

} // lang

#endif
