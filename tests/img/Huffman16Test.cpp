#include <lang/Exception.h>
#include <lang/Huffman16.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Level records, symbols, bit count and code bits, in that order.
const std::vector<uint8_t> THREE_SYMBOLS = {0x02, 0x01, 0x01, 0x00, 0x02, 0x02, 0x00, 0x05, 0x00, 0x03, 0x00,
	0x09, 0x00, 0x05, 0x00, 0x00, 0x00, 0x1A};

std::vector<unsigned short> decode(lang::Huffman16& huffman, const std::vector<uint8_t>& block, int capacity = 16)
{
	std::vector<unsigned short> out(static_cast<size_t>(capacity));
	const int n = huffman.decompress(block.data(), static_cast<int>(block.size()), out.data(), capacity);
	out.resize(static_cast<size_t>(n));
	return out;
}

std::vector<unsigned short> decode(const std::vector<uint8_t>& block, int capacity = 16)
{
	lang::Huffman16 huffman;
	return decode(huffman, block, capacity);
}

const std::vector<unsigned short> FIVE_THREE_NINE = {5, 3, 9};

TEST(Huffman16, DecodesCanonicalCodesWhateverTheTableOrder)
{
	lang::Huffman16 huffman;
	EXPECT_EQ(13, huffman.readTree(THREE_SYMBOLS.data(), static_cast<int>(THREE_SYMBOLS.size())));
	EXPECT_EQ(FIVE_THREE_NINE, decode(huffman, THREE_SYMBOLS));
	// A decoder that built another tree before gives the same result.
	EXPECT_EQ(FIVE_THREE_NINE, decode(huffman, THREE_SYMBOLS));

	std::vector<uint8_t> swappedSymbols = THREE_SYMBOLS;
	std::swap(swappedSymbols[9], swappedSymbols[11]);
	EXPECT_EQ(FIVE_THREE_NINE, decode(swappedSymbols));

	const std::vector<uint8_t> swappedRecords = {0x02, 0x02, 0x02, 0x00, 0x01, 0x01, 0x00, 0x05, 0x00, 0x03, 0x00,
		0x09, 0x00, 0x05, 0x00, 0x00, 0x00, 0x1A};
	EXPECT_EQ(FIVE_THREE_NINE, decode(swappedRecords));

	// Level 2 named twice: its last count (1) holds, so only symbol 3 is at level 2 and 9 is unread.
	const std::vector<uint8_t> renamed = {0x03, 0x01, 0x01, 0x00, 0x02, 0x02, 0x00, 0x02, 0x01, 0x00, 0x05, 0x00,
		0x03, 0x00, 0x03, 0x00, 0x00, 0x00, 0x02};
	EXPECT_EQ((std::vector<unsigned short>{5, 3}), decode(renamed));
}

TEST(Huffman16, EdgeCasesOfBitsAndTables)
{
	// B = 0 or negative writes nothing; an incomplete last code is dropped.
	std::vector<uint8_t> block = THREE_SYMBOLS;
	block[13] = 0;
	EXPECT_TRUE(decode(block).empty());
	block[16] = 0x80;
	EXPECT_TRUE(decode(block).empty());
	block = THREE_SYMBOLS;
	block[13] = 4;
	EXPECT_EQ((std::vector<unsigned short>{5, 3}), decode(block));

	lang::Huffman16 empty;
	const uint8_t noLevels[1] = {0};
	EXPECT_EQ(1, empty.readTree(noLevels, 1));
	ASSERT_NE(nullptr, empty.root());
	EXPECT_EQ(nullptr, empty.root()->child[0]);
	EXPECT_EQ(nullptr, empty.root()->child[1]);

	// One symbol at level 0 is coded as a single 0 bit.
	const std::vector<uint8_t> single = {0x01, 0x00, 0x01, 0x00, 0x2A, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00};
	EXPECT_EQ((std::vector<unsigned short>{42, 42, 42}), decode(single));
}

TEST(Huffman16, RefusesMalformedBlocks)
{
	std::vector<std::vector<uint8_t>> blocks;
	blocks.emplace_back(THREE_SYMBOLS.begin(), THREE_SYMBOLS.begin() + 13); // the bit count is missing
	blocks.push_back({});                                     // no level records at all
	blocks.push_back({0x02, 0x01, 0x01});                     // records run past the block
	blocks.push_back({0x01, 0x01, 0x02, 0x00, 0x05, 0x00});   // symbols run past the block
	blocks.push_back({0x01, 0x20, 0x01, 0x00, 0x05, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00}); // level 32
	blocks.push_back({0x01, 0x01, 0x03, 0x00, 1, 0, 2, 0, 3, 0, 0x01, 0x00, 0x00, 0x00, 0x00}); // over-full level 1
	blocks.push_back({0x01, 0x01, 0x01, 0x00, 0x05, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01}); // a 1 bit leads nowhere
	blocks.push_back({0x00, 0x01, 0x00, 0x00, 0x00, 0x00});   // bits but no symbols
	blocks.push_back({0x01, 0x01, 0x01, 0x00, 0x05, 0x00, 0x09, 0x00, 0x00, 0x00, 0x00}); // bits past the block
	for (const std::vector<uint8_t>& block : blocks)
		EXPECT_THROW(decode(block), lang::Exception) << block.size() << " bytes";

	// More symbols than the output holds.
	EXPECT_THROW(decode(THREE_SYMBOLS, 2), lang::Exception);
}

TEST(Huffman16, DeepIncompleteCodeStaysInItsStore)
{
	// One symbol with a 31-bit code: 30 inner nodes for a single leaf.
	std::vector<uint8_t> block = {0x01, 31, 0x01, 0x00, 0x07, 0x00, 31, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
	EXPECT_EQ((std::vector<unsigned short>{7}), decode(block));
}

} // namespace
