#ifndef LANG_ARRAY_H
#define LANG_ARRAY_H

#include <lang/OutOfMemoryException.h>
#include <climits>
#include <new>

namespace lang
{

/**
 * Growable contiguous array of T, held by value; it owns its buffer and every element in it.
 * T must be default-constructible and copy-assignable, and T() is its empty value: slots past the
 * element count always hold T(), so a vacated lang::Ptr slot holds no reference.
 * Indices are not checked: keeping them in range is the caller's duty.
 */
template <class T>
class Array
{
public:
	Array() : m_a(nullptr), m_size(0), m_cap(0) {}

	Array(const Array& other) : Array()						{ *this = other; }

	/** Takes over the other array's buffer; the other array is left empty. */
	Array(Array&& other) noexcept : m_a(other.m_a), m_size(other.m_size), m_cap(other.m_cap)
	{
		other.m_a = nullptr;
		other.m_size = other.m_cap = 0;
	}

	~Array()												{ delete[] m_a; }

	/** Element-by-element copy; a large enough existing buffer is kept. */
	Array& operator=(const Array& other)
	{
		resize(other.m_size, T());
		for (int i = 0; i < other.m_size; ++i)
			m_a[i] = other.m_a[i];
		return *this;
	}

	Array& operator=(Array&& other) noexcept
	{
		if (this != &other)
		{
			delete[] m_a;
			m_a = other.m_a;
			m_size = other.m_size;
			m_cap = other.m_cap;
			other.m_a = nullptr;
			other.m_size = other.m_cap = 0;
		}
		return *this;
	}

	T& operator[](int index)								{ return m_a[index]; }
	const T& operator[](int index) const					{ return m_a[index]; }

	int size() const										{ return m_size; }
	int capacity() const									{ return m_cap; }
	bool isEmpty() const									{ return m_size == 0; }

	T* data()												{ return m_a; }
	const T* data() const									{ return m_a; }
	T* begin()												{ return m_a; }
	T* end()												{ return m_a + m_size; }
	const T* begin() const									{ return m_a; }
	const T* end() const									{ return m_a + m_size; }

	T& first()												{ return m_a[0]; }
	const T& first() const									{ return m_a[0]; }
	T& last()												{ return m_a[m_size - 1]; }
	const T& last() const									{ return m_a[m_size - 1]; }

	/** Sets the count to n: new elements become fill (which may be an element of this array), dropped ones T(). */
	void resize(int n, const T& fill = T())
	{
		const T value(fill);
		if (m_cap < n)
			setNewCapacity(n);
		// Through a local pointer: byte elements may alias the members, which would stop the
		// loop from being vectorised.
		T* const a = m_a;
		for (int i = m_size; i < n; ++i)
			a[i] = value;
		for (int i = n; i < m_size; ++i)
			m_a[i] = T();
		m_size = n;
	}

	/** Drops every element, keeping the buffer. */
	void clear()											{ resize(0); }

	/** Appends a copy of x, which may be an element of this array. */
	void add(const T& x)
	{
		const T value(x);
		if (m_size >= m_cap)
			setNewCapacity(m_size + 1);
		m_a[m_size++] = value;
	}

	/** Inserts a copy of x at index (0..size), moving the later elements up by one. */
	void add(int index, const T& x)
	{
		const T value(x);
		resize(m_size + 1, T());
		for (int i = m_size - 2; i >= index; --i)
			m_a[i + 1] = m_a[i];
		m_a[index] = value;
	}

	/** Removes the element at index (0..size-1), moving the later elements down by one. */
	void remove(int index)
	{
		for (int i = index; i + 1 < m_size; ++i)
			m_a[i] = m_a[i + 1];
		--m_size;
		m_a[m_size] = T();
	}

	/** Index of the first element equal to x, or -1. */
	int indexOf(const T& x) const
	{
		for (int i = 0; i < m_size; ++i)
			if (m_a[i] == x)
				return i;
		return -1;
	}

	/** A new buffer of n default-constructed elements; throws OutOfMemoryException when allocation fails. */
	static T* newArray(int n)
	{
		T* a = new (std::nothrow) T[n];
		if (!a)
			throw_OutOfMemoryException();
		return a;
	}

	/**
	 * Moves the elements into a buffer of at least n elements: twice the capacity, but at least 32
	 * bytes' worth of elements while the doubled capacity holds fewer.
	 */
	void setNewCapacity(int n)
	{
		long long candidate = 2LL * m_cap;
		if (static_cast<unsigned long long>(candidate) * sizeof(T) <= 31u)
			candidate = (32 + sizeof(T) - 1) / sizeof(T);
		if (candidate > INT_MAX)
			candidate = INT_MAX;
		const int newCap = n > candidate ? n : static_cast<int>(candidate);

		T* a = newArray(newCap);
		const int moved = m_size < newCap ? m_size : newCap;
		for (int i = 0; i < moved; ++i)
		{
			a[i] = m_a[i];
			m_a[i] = T();
		}
		delete[] m_a;
		m_a = a;
		m_cap = newCap;
	}

private:
	T* m_a;
	int m_size;
	int m_cap;
};

} // lang

#endif
