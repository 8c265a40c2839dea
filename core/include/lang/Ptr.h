#ifndef LANG_PTR_H
#define LANG_PTR_H

#include <utility>

namespace lang {

// Intrusive pointer to an Object descendant: holding one keeps the object alive, and the last
// release deletes it. Exactly one pointer wide; may be null.
template <class T>
class Ptr
{
public:
	Ptr() : m_object(nullptr) {}
	Ptr(std::nullptr_t) : m_object(nullptr) {}
	Ptr(T* object) : m_object(object) { if (m_object) m_object->addReference(); }
	Ptr(const Ptr& other) : Ptr(other.m_object) {}
	template <class U>
	Ptr(const Ptr<U>& other) : Ptr(other.ptr()) {}
	Ptr(Ptr&& other) noexcept : m_object(other.m_object) { other.m_object = nullptr; }
	~Ptr() { reset(); }

	// The new reference is taken before the old one is dropped, so self-assignment is safe.
	Ptr& operator=(T* object)
	{
		if (object)
			object->addReference();
		T* old = m_object;
		m_object = object;
		if (old)
			old->release();
		return *this;
	}
	Ptr& operator=(const Ptr& other) { return *this = other.m_object; }
	template <class U>
	Ptr& operator=(const Ptr<U>& other) { return *this = other.ptr(); }
	Ptr& operator=(Ptr&& other) noexcept
	{
		Ptr taken(std::move(other));
		std::swap(m_object, taken.m_object);
		return *this;
	}

	void reset() { *this = static_cast<T*>(nullptr); }

	T* ptr() const { return m_object; }
	T* operator->() const { return m_object; }
	T& operator*() const { return *m_object; }
	operator T*() const { return m_object; }

private:
	T* m_object;
};

} // lang

#endif
