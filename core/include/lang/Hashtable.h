#ifndef LANG_HASHTABLE_H
#define LANG_HASHTABLE_H

#include <lang/Hash.h>
#include <lang/HashtablePair.h>
#include <lang/Object.h>

namespace lang
{

/** The bucket count that follows n: the next of the primes 37 .. 129403, then n + 129403 made odd. */
int Hashtable_getLargerInt(int n);

/**
 * Map from unique keys to values by separate chaining, usually held by value by its owner, which
 * owns every key and value copy in it. Absent keys read as V(). The bucket array holds the chain
 * heads themselves; removed and cleared entries leave vacant pairs that later keys of the same bucket
 * take again. The table grows to the next bucket count before an insertion that would bring the
 * count to 0.75 of the buckets. Even lookups write to the table (they take a vacant pair for the key),
 * so one thread at a time. Iteration order is unspecified.
 */
template <class K, class V, class H = Hash<K>>
class Hashtable : public Object
{
public:
	typedef HashtablePair<K, V> Pair;

	Hashtable()												{ defaults(); }

	Hashtable(const Hashtable& other) : Object()			{ defaults(); *this = other; }

	~Hashtable() override									{ destroy(); }

	/** Replaces the contents by copies of the other table's entries. */
	Hashtable& operator=(const Hashtable& other)
	{
		if (this == &other)
			return *this;
		destroy();
		if (other.m_count < 1)
			return *this;
		Pair* table = allocateTable(other.m_tableCap);
		for (int i = 0; i < other.m_tableCap; ++i)
		{
			for (const Pair* p = &other.m_table[i]; p; p = p->next)
			{
				if (p->used)
				{
					Pair* q = getPair(table, other.m_tableCap, p->key);
					q->value = p->value;
					q->used = true;
				}
			}
		}
		m_tableCap = other.m_tableCap;
		m_table = table;
		m_loadFactor = other.m_loadFactor;
		m_count = other.m_count;
		m_limit = other.m_limit;
		m_default = other.m_default;
		m_chainAllocs = 0;
		return *this;
	}

	/** The value of key's entry, created with the default value when absent. */
	V& operator[](const K& key)
	{
		if (m_count + 1 >= m_limit)
			grow();
		Pair* p = getPair(m_table, m_tableCap, key);
		if (!p->used)
		{
			p->used = true;
			++m_count;
		}
		return p->value;
	}

	void put(const K& key, const V& value)					{ (*this)[key] = value; }

	/** The value of key's entry, or the default value V() when there is none. */
	const V& get(const K& key) const
	{
		if (m_tableCap == 0)
			return m_default;
		const Pair* p = getPair(m_table, m_tableCap, key);
		return p->used ? p->value : m_default;
	}

	/** The value of key's entry, or null when there is none; unlike get, never writes to the table. */
	const V* find(const K& key) const
	{
		if (m_tableCap == 0)
			return nullptr;
		for (const Pair* p = &m_table[bucketIndex(key, m_tableCap)]; p; p = p->next)
			if (p->used && p->key == key)
				return &p->value;
		return nullptr;
	}

	bool containsKey(const K& key) const
	{
		return m_tableCap != 0 && getPair(m_table, m_tableCap, key)->used;
	}

	/** Removes key's entry if there is one; a chained pair is freed, a chain head stays vacant. */
	void remove(const K& key)
	{
		if (m_tableCap == 0)
			return;
		Pair* prev = nullptr;
		for (Pair* p = &m_table[bucketIndex(key, m_tableCap)]; p; prev = p, p = p->next)
		{
			if (p->used && p->key == key)
			{
				vacate(p);
				if (prev)
				{
					prev->next = p->next;
					delete p;
				}
				return;
			}
		}
	}

	/** Makes every entry vacant, keeping the bucket array and every chained pair for reuse. */
	void clear()
	{
		for (int i = 0; i < m_tableCap; ++i)
			for (Pair* p = &m_table[i]; p; p = p->next)
				if (p->used)
					vacate(p);
	}

	int size() const										{ return m_count; }
	bool isEmpty() const									{ return m_count == 0; }
	int bucketCount() const									{ return m_tableCap; }

	/** Chain pairs allocated since the table last grew; shows how often keys collide. */
	int chainAllocations() const							{ return m_chainAllocs; }

	/** The bucket of key in a table of tableCap buckets: the hash without its sign bit, modulo the count. */
	static int bucketIndex(const K& key, int tableCap)
	{
		return (H()(key) & 0x7FFFFFFF) % tableCap;
	}

	/** Forward iteration over the entries (used pairs), in no particular order. */
	template <class P>
	class IteratorBase
	{
	public:
		IteratorBase(P* table, int tableCap, int bucket) : m_table(table), m_tableCap(tableCap), m_bucket(bucket), m_pair(nullptr)
		{
			if (m_bucket < m_tableCap)
				m_pair = &m_table[m_bucket];
			skipVacant();
		}
		P& operator*() const								{ return *m_pair; }
		P* operator->() const								{ return m_pair; }
		IteratorBase& operator++()							{ step(); skipVacant(); return *this; }
		bool operator==(const IteratorBase& o) const		{ return m_pair == o.m_pair; }
		bool operator!=(const IteratorBase& o) const		{ return m_pair != o.m_pair; }

	private:
		P* m_table;
		int m_tableCap;
		int m_bucket;
		P* m_pair;

		void step()
		{
			m_pair = m_pair->next;
			if (!m_pair && ++m_bucket < m_tableCap)
				m_pair = &m_table[m_bucket];
		}
		void skipVacant()
		{
			while (m_pair && !m_pair->used)
				step();
		}
	};
	typedef IteratorBase<Pair> Iterator;
	typedef IteratorBase<const Pair> ConstIterator;

	Iterator begin()										{ return Iterator(m_table, m_tableCap, 0); }
	Iterator end()											{ return Iterator(m_table, m_tableCap, m_tableCap); }
	ConstIterator begin() const								{ return ConstIterator(m_table, m_tableCap, 0); }
	ConstIterator end() const								{ return ConstIterator(m_table, m_tableCap, m_tableCap); }

private:
	int m_tableCap;
	Pair* m_table;
	float m_loadFactor;
	int m_count;
	int m_limit;
	V m_default;
	/** Written by lookups too, hence mutable. */
	mutable int m_chainAllocs;

	void defaults()
	{
		m_tableCap = 0;
		m_table = nullptr;
		m_loadFactor = 0.75f;
		m_count = 0;
		m_limit = 0;
		m_default = V();
		m_chainAllocs = 0;
	}

	void destroy()
	{
		if (m_table)
		{
			deallocateTable(m_table, m_tableCap);
			defaults();
		}
	}

	void vacate(Pair* p)
	{
		p->value = V();
		p->used = false;
		p->key = K();
		--m_count;
	}

	static Pair* allocateTable(int n)						{ return new Pair[n]; }

	static void deallocateTable(Pair* table, int n)
	{
		if (!table)
			return;
		for (int i = 0; i < n; ++i)
		{
			for (Pair* p = table[i].next; p;)
			{
				Pair* next = p->next;
				delete p;
				p = next;
			}
		}
		delete[] table;
	}

	/**
	 * Find-or-take: the used pair holding key, else the last vacant pair of key's chain, else a new
	 * vacant pair linked after the head. A taken pair gets key and the default value but stays vacant.
	 */
	Pair* getPair(Pair* table, int tableCap, const K& key) const
	{
		Pair* head = &table[bucketIndex(key, tableCap)];
		Pair* vacant = nullptr;
		for (Pair* p = head; p; p = p->next)
		{
			if (!p->used)
				vacant = p;
			else if (p->key == key)
				return p;
		}
		if (!vacant)
		{
			vacant = new Pair;
			++m_chainAllocs;
			vacant->next = head->next;
			head->next = vacant;
		}
		vacant->key = key;
		vacant->value = m_default;
		return vacant;
	}

	void grow()
	{
		const int newCap = Hashtable_getLargerInt(m_tableCap);
		Pair* table = allocateTable(newCap);
		m_chainAllocs = 0;
		for (int i = 0; i < m_tableCap; ++i)
		{
			Pair* head = &m_table[i];
			for (Pair* p = head; p;)
			{
				Pair* next = p->next;
				if (p->used)
				{
					Pair* q = getPair(table, newCap, p->key);
					q->value = p->value;
					q->used = true;
				}
				p->next = nullptr;
				if (p != head)
					delete p;
				p = next;
			}
		}
		deallocateTable(m_table, m_tableCap);
		m_tableCap = newCap;
		m_table = table;
		m_limit = static_cast<int>(static_cast<float>(newCap) * m_loadFactor);
	}
};

} // lang

#endif
