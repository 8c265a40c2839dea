#ifndef LANG_FUNCBASE_H
#define LANG_FUNCBASE_H

namespace lang
{

/** A callable object taking no arguments; owned by the Functor that holds it. */
class FuncBase
{
public:
	virtual ~FuncBase() = default;

	/** Runs the callable. */
	virtual void operator()() = 0;

	/** A new heap copy of the same callable, owned by the caller. */
	virtual FuncBase* clone() const = 0;
};

} // lang

#endif
