#include <lang/Huffman16.h>

#include <lang/Debug.h>
#include <lang/Exception.h>

#include <algorithm>
#include <cstdint>

namespace lang {

namespace {

// Largest level-count array and node store met so far, for the debug log only.
int maxlevelcounts = 0;
int maxallocnodes = 0;

[[noreturn]] void corrupt(const char* reason)
{
	throwError(Exception(Format("Corrupt Huffman16 block: {0}", reason)));
}

int readUInt16(const unsigned char* p)
{
	return p[0] | (p[1] << 8);
}

uint32_t readUInt32(const unsigned char* p)
{
	return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
		(static_cast<uint32_t>(p[3]) << 24);
}

uint32_t reverseBits(uint32_t value, int bits)
{
	uint32_t reversed = 0;
	for (int j = 0; j < bits; ++j)
		reversed |= ((value >> j) & 1u) << (bits - 1 - j);
	return reversed;
}

} // namespace

Huffman16::Huffman16() : m_root(nullptr), m_nodesUsed(0)
{
}

Huffman16::~Huffman16() = default;

Huffman16::HuffmanNode16* Huffman16::takeNode()
{
	if (m_nodesUsed >= m_nodes.size())
		corrupt("the code table needs more nodes than its symbols allow");
	return &m_nodes[m_nodesUsed++];
}

int Huffman16::readTree(const unsigned char* data, int size)
{
	m_leaves.clear();
	m_levelCounts.clear();
	m_root = nullptr;
	m_nodes.clear();
	m_nodesUsed = 0;

	if (size < 1)
		corrupt("no level records");
	const int records = data[0];
	int pos = 1;
	if (3 * records > size - pos)
		corrupt("level records run past the block");
	for (int i = 0; i < records; ++i, pos += 3)
	{
		const int level = data[pos];
		if (level > MAX_LEVEL)
			corrupt("code longer than 31 bits");
		while (m_levelCounts.size() <= level)
			m_levelCounts.add(0);
		m_levelCounts[level] = readUInt16(data + pos + 1);
	}
	if (m_levelCounts.size() > maxlevelcounts)
	{
		maxlevelcounts = m_levelCounts.size();
		Debug::printf("maxlevelcounts = %d\n", maxlevelcounts);
	}

	int symbols = 0;
	for (int level = 0; level < m_levelCounts.size(); ++level)
		symbols += m_levelCounts[level];
	if (2 * static_cast<int64_t>(symbols) > size - pos)
		corrupt("symbols run past the block");

	// A complete code needs fewer than 2 x P nodes; an incomplete one may need more inner nodes,
	// at most min(2^d, leaves below d) at each depth d.
	int64_t power = 2;
	while (power < symbols)
		power *= 2;
	int64_t bounded = symbols + 1;
	int deeper = symbols;
	for (int level = 0; level < m_levelCounts.size(); ++level)
	{
		deeper -= m_levelCounts[level];
		if (level >= 1)
			bounded += std::min<int64_t>(int64_t(1) << level, deeper);
	}
	const int storeSize = static_cast<int>(std::max(2 * power, bounded));
	if (storeSize > maxallocnodes)
	{
		maxallocnodes = storeSize;
		Debug::printf("maxallocnodes = %d\n", maxallocnodes);
	}
	m_nodes.resize(storeSize);

	for (int level = 0; level < m_levelCounts.size(); ++level)
	{
		const int count = m_levelCounts[level];
		for (int k = 0; k < count; ++k, pos += 2)
		{
			HuffmanNode16* leaf = takeNode();
			leaf->depth = level;
			leaf->symbol = readUInt16(data + pos);
			m_leaves.add(leaf);
		}
	}
	assignCodes(m_leaves);

	m_root = takeNode();
	m_root->depth = -1;
	placeLeaves();
	m_root->height = getDepth(m_root);
	m_root->depth = 0;
	for (HuffmanNode16* child : m_root->child)
	{
		if (child)
		{
			child->parent = m_root;
			updateDepth(child, 1);
		}
	}
	return pos;
}

void Huffman16::assignCodes(Array<HuffmanNode16*>& leaves)
{
	for (HuffmanNode16* leaf : leaves)
		leaf->sortKey = leaf->depth * 65536 + leaf->symbol;
	std::sort(leaves.begin(), leaves.end(), HuffmanNodeSorter16());
	getLevelCounts(leaves, m_levelCounts);

	// Beside a level-0 symbol nothing else is coded, so only longer codes can overflow.
	const bool singleSymbol = !leaves.isEmpty() && leaves[0]->depth == 0;
	uint64_t code = 0;
	for (int i = 0; i < leaves.size(); ++i)
	{
		const int level = leaves[i]->depth;
		if (i > 0)
		{
			const int previous = leaves[i - 1]->depth;
			code = (code + 1) << (level > previous ? level - previous : 0);
		}
		if (!singleSymbol && (code >> level) != 0)
			corrupt("more codes than their lengths allow");
		leaves[i]->code = static_cast<int>(reverseBits(static_cast<uint32_t>(code), level));
	}
}

void Huffman16::placeLeaves()
{
	for (HuffmanNode16* leaf : m_leaves)
	{
		const int level = leaf->depth;
		if (level == 0)
		{
			m_root->child[0] = leaf;
			leaf->parent = m_root;
			leaf->depth = 1;
			return;
		}
		HuffmanNode16* node = m_root;
		for (int j = 0; j < level; ++j)
		{
			HuffmanNode16*& slot = node->child[(leaf->code >> j) & 1];
			if (slot && (j == level - 1 || slot->symbol != -1))
				corrupt("two codes overlap");
			if (j == level - 1)
			{
				slot = leaf;
				leaf->parent = node;
			}
			else
			{
				if (!slot)
				{
					slot = takeNode();
					slot->depth = -1;
				}
				node = slot;
			}
		}
	}
}

int Huffman16::getLevelCounts(Array<HuffmanNode16*>& nodes, Array<int>& counts)
{
	counts.clear();
	int distinct = 0;
	for (HuffmanNode16* node : nodes)
	{
		while (counts.size() <= node->depth)
			counts.add(0);
		if (counts[node->depth]++ == 0)
			++distinct;
	}
	return distinct;
}

int Huffman16::getDepth(HuffmanNode16* node)
{
	const int h0 = node->child[0] ? getDepth(node->child[0]) : 0;
	const int h1 = node->child[1] ? getDepth(node->child[1]) : 0;
	return 1 + std::max(h0, h1);
}

void Huffman16::updateDepth(HuffmanNode16* node, int depth)
{
	node->height = getDepth(node);
	node->depth = depth;
	for (HuffmanNode16* child : node->child)
	{
		if (child)
		{
			child->parent = node;
			updateDepth(child, depth + 1);
		}
	}
}

int Huffman16::decompress(const unsigned char* data, int size, unsigned short* out, int capacity)
{
	int pos = readTree(data, size);
	if (size - pos < 4)
		corrupt("bit count missing");
	const int32_t bits = static_cast<int32_t>(readUInt32(data + pos));
	pos += 4;
	if (bits <= 0)
		return 0;
	if ((static_cast<int64_t>(bits) + 7) / 8 > size - pos)
		corrupt("code bits run past the block");

	const unsigned char* stream = data + pos;
	const HuffmanNode16* node = m_root;
	int written = 0;
	for (int32_t i = 0; i < bits; ++i)
	{
		node = node->child[(stream[i >> 3] >> (i & 7)) & 1];
		if (!node)
			corrupt("a code leads to no symbol");
		if (node->symbol != -1)
		{
			if (written >= capacity)
				corrupt("more symbols than the output holds");
			out[written++] = static_cast<unsigned short>(node->symbol);
			node = m_root;
		}
	}
	return written;
}

} // lang
