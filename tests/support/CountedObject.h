#ifndef TESTS_SUPPORT_COUNTEDOBJECT_H
#define TESTS_SUPPORT_COUNTEDOBJECT_H

#include <lang/Object.h>

/** A reference-counted test object that counts its live instances, to show releases and leaks. */
class CountedObject : public lang::Object
{
public:
	static int& live()										{ static int count = 0; return count; }

	explicit CountedObject(int v = 0) : value(v)			{ ++live(); }
	~CountedObject() override								{ --live(); }

	int value;
};

#endif
