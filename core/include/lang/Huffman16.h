#ifndef LANG_HUFFMAN16_H
#define LANG_HUFFMAN16_H

#include <lang/Array.h>

namespace lang {

// Decoder of a Huffman-coded block of 16-bit symbols that carries its own canonical code table.
// The decoder owns every node of its tree in one store that is rebuilt for each block and reused
// between blocks; node pointers stay valid until the next readTree. Not copyable; one thread at a
// time. Malformed blocks throw lang::Exception and never read or write outside the given arrays.
class Huffman16
{
public:
	// Longest code accepted, in bits.
	static constexpr int MAX_LEVEL = 31;

	struct HuffmanNode16
	{
		// Subtrees for a 0 bit and a 1 bit; null when absent.
		HuffmanNode16* child[2];
		HuffmanNode16* parent;
		// 0 to 65535 for a leaf, -1 for the root and inner nodes.
		int symbol;
		// A leaf's code over its level's bits, bit-reversed so that bit j is the j-th bit read.
		int code;
		// Distance from the root (a leaf's code length while the tree is being built).
		int depth;
		// 1 for a leaf, else 1 + the larger child height.
		int height;
		// level * 65536 + symbol: the canonical order.
		int sortKey;

		HuffmanNode16() : child{nullptr, nullptr}, parent(nullptr), symbol(-1), code(-1), depth(0), height(0), sortKey(0) {}
	};

	struct HuffmanNodeSorter16
	{
		bool operator()(const HuffmanNode16* a, const HuffmanNode16* b) const { return a->sortKey < b->sortKey; }
	};

	Huffman16();
	~Huffman16();
	Huffman16(const Huffman16&) = delete;
	Huffman16& operator=(const Huffman16&) = delete;

	// Reads the code table at the start of a block of size bytes and builds the tree; returns the
	// table's length in bytes.
	int readTree(const unsigned char* data, int size);
	// Reads the table and decodes the code bits after it into at most capacity symbols; returns the
	// number of symbols written. Bits after the last complete code are ignored.
	int decompress(const unsigned char* data, int size, unsigned short* out, int capacity);

	// Sorts the leaves into canonical order and gives each its code.
	void assignCodes(Array<HuffmanNode16*>& leaves);
	// Counts the nodes per depth into counts; returns the number of distinct depths.
	static int getLevelCounts(Array<HuffmanNode16*>& nodes, Array<int>& counts);
	// Height of the subtree at node.
	static int getDepth(HuffmanNode16* node);
	// Sets heights, depths and parents of the subtree at node, node being at the given depth.
	static void updateDepth(HuffmanNode16* node, int depth);

	const HuffmanNode16* root() const { return m_root; }

private:
	Array<HuffmanNode16*> m_leaves;
	HuffmanNode16* m_root;
	Array<int> m_levelCounts;
	Array<HuffmanNode16> m_nodes;
	int m_nodesUsed;

	HuffmanNode16* takeNode();
	void placeLeaves();
};

} // lang

#endif
