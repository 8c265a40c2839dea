#ifndef LANG_OBJECT_H
#define LANG_OBJECT_H

#include <atomic>

namespace lang {

// Base of reference-counted engine objects. A new object has count 0 and belongs to its creator
// until a Ptr takes it; from then on the holders own it and the last release deletes it.
// The count is atomic so objects may be shared with the audio mixing thread.
class Object
{
public:
	Object() : m_references(0) {}
	// A copy is a new, unowned object: the count is never copied.
	Object(const Object&) : m_references(0) {}
	// Assignment leaves the target's count unchanged.
	Object& operator=(const Object&) { return *this; }
	virtual ~Object() = default;

	void addReference() const { m_references.fetch_add(1, std::memory_order_relaxed); }
	// Drops one reference; the release that reaches 0 deletes the object.
	void release() const
	{
		if (m_references.fetch_sub(1, std::memory_order_acq_rel) == 1)
			delete this;
	}
	int references() const { return m_references.load(std::memory_order_relaxed); }

private:
	mutable std::atomic<int> m_references;
};

} // lang

#endif
