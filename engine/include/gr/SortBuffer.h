#ifndef GR_SORTBUFFER_H
#define GR_SORTBUFFER_H

#include <vector>

namespace gr
{

/**
 * Scratch memory for triangle sorting: a float area followed by a 16-bit area and a 4-byte end
 * marker. The device owns one and lends it to every sort; it only grows.
 */
class SortBuffer
{
public:
	SortBuffer() : m_shorts(nullptr), m_floats(nullptr) {}

	/** Makes room for shortCount 16-bit entries and floatCount floats; grows to max(2 x capacity, 32, needed) bytes. */
	void reset(int shortCount, int floatCount);

	unsigned short* shorts()							{ return m_shorts; }
	float* floats()										{ return m_floats; }
	/** Bytes held. */
	int capacity() const								{ return (int)m_bytes.size(); }
	const unsigned char* data() const					{ return m_bytes.data(); }

private:
	std::vector<unsigned char> m_bytes;
	unsigned short* m_shorts;
	float* m_floats;
};

/** Orders triangle indices by ascending distance. */
struct SortLess
{
	const float* distances;
	bool operator()(unsigned short a, unsigned short b) const	{ return distances[a] < distances[b]; }
};

/** Orders triangle indices by descending distance. */
struct SortGreater
{
	const float* distances;
	bool operator()(unsigned short a, unsigned short b) const	{ return distances[a] > distances[b]; }
};

} // gr

#endif
