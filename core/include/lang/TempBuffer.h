#ifndef LANG_TEMPBUFFER_H
#define LANG_TEMPBUFFER_H

namespace lang {

// Short-lived scratch bytes, taken from the process-wide arena on construction and given back on
// destruction (in reverse order of construction in the ordinary case). When the arena's slots or
// bytes are used up the buffer comes from the heap instead. Main thread only; bytes not cleared.
class ByteTempBuffer
{
public:
	ByteTempBuffer() : m_data(nullptr), m_size(0), m_slot(0) {}
	// At least n bytes, n rounded up to a multiple of 16.
	explicit ByteTempBuffer(int n);
	~ByteTempBuffer();
	ByteTempBuffer(const ByteTempBuffer&) = delete;
	ByteTempBuffer& operator=(const ByteTempBuffer&) = delete;

	unsigned char* data() const { return reinterpret_cast<unsigned char*>(m_data); }
	int size() const { return m_size; }
	bool fromHeap() const { return m_slot == HEAP_SLOT; }

private:
	static constexpr int HEAP_SLOT = -1;

	char* m_data;
	int m_size;
	int m_slot;
};

} // lang

#endif
