#include "WorldFiles.h"
#include <world/FileKeys.h>
#include <world/encrypt.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <string>

namespace {

lang::Array<unsigned char> key(int size, unsigned char first)
{
	lang::Array<unsigned char> bytes;
	for (int i = 0; i < size; ++i)
		bytes.add(static_cast<unsigned char>(first + i));
	return bytes;
}

TEST(Encrypt, CiphertextIsThePlainLengthPaddedToTheNextWholeBlock)
{
	const struct
	{
		int plain;
		int enciphered;
	} cases[] = {{0, 16}, {1, 16}, {15, 16}, {16, 32}, {17, 32}, {100, 112}};
	for (const auto& c : cases)
	{
		const std::string text(static_cast<size_t>(c.plain), 'x');
		lang::Array<unsigned char> ciphertext;
		ASSERT_TRUE(encrypt(FileKeys::dataKey(), WorldFiles::bytes(text), ciphertext));
		EXPECT_EQ(c.enciphered, ciphertext.size()) << c.plain << " plain bytes";
		lang::Array<unsigned char> plain;
		ASSERT_TRUE(decrypt(FileKeys::dataKey(), ciphertext, plain));
		EXPECT_EQ(text, std::string(plain.begin(), plain.end()));
	}
}

TEST(Encrypt, ShortKeysArePaddedWithZerosAndLongOnesCutTo32Bytes)
{
	lang::Array<unsigned char> padded = key(10, 1);
	padded.resize(32, 0);
	lang::Array<unsigned char> cut = key(40, 7);
	cut.resize(32);
	const std::string text = "settings = { volume = 1 }";
	EXPECT_EQ(WorldFiles::encipher(padded, text), WorldFiles::encipher(key(10, 1), text));
	EXPECT_EQ(WorldFiles::encipher(cut, text), WorldFiles::encipher(key(40, 7), text));
	EXPECT_NE(WorldFiles::encipher(key(32, 1), text), WorldFiles::encipher(key(32, 2), text));
}

// A refused input leaves the output sized for the call, input length + 16, never the old contents.
TEST(Encrypt, InputsOfPartialBlocksDoNotDecipher)
{
	for (int size : {15, 17})
	{
		lang::Array<unsigned char> plain = key(3, 0);
		EXPECT_FALSE(decrypt(FileKeys::dataKey(), key(size, 0), plain)) << size << " bytes";
		EXPECT_EQ(size + 16, plain.size()) << size << " bytes";
	}
}

// Only the padding check can notice a wrong key, so by chance it may pass: then the bytes differ.
TEST(Encrypt, AWrongKeyIsRefusedOrGivesOtherBytes)
{
	const std::string text = "highscores = { level1 = 1200 }";
	const std::string ciphertext = WorldFiles::encipher(FileKeys::saveKey(), text);
	EXPECT_NE(text, WorldFiles::decipher(FileKeys::dataKey(), ciphertext));
	EXPECT_EQ(text, WorldFiles::decipher(FileKeys::saveKey(), ciphertext));
}

TEST(FileKeys, TheDeviceKeyMixesTheIdentifierIntoTheDataKey)
{
	const lang::Array<unsigned char> dataKey = FileKeys::dataKey();
	const struct
	{
		std::string identifier;
		int mixed;
	} cases[] = {{std::string(40, 'a'), 32}, {"abcde", 5}, {"", 0}};
	for (const auto& c : cases)
	{
		const lang::Array<unsigned char> deviceKey = FileKeys::deviceKey(dataKey, c.identifier.c_str());
		ASSERT_EQ(32, deviceKey.size());
		for (int i = 0; i < 32; ++i)
		{
			const int expected = i < c.mixed ? (dataKey[i] ^ static_cast<unsigned char>(c.identifier[i])) : 0;
			EXPECT_EQ(expected, deviceKey[i]) << "byte " << i << " of an identifier of " << c.identifier.size();
		}
	}
}

TEST(FileKeys, TheDataAndSaveKeysAre32DifferentBytesEveryTime)
{
	EXPECT_EQ(32, FileKeys::dataKey().size());
	EXPECT_EQ(32, FileKeys::saveKey().size());
	const lang::Array<unsigned char> data = FileKeys::dataKey();
	const lang::Array<unsigned char> again = FileKeys::dataKey();
	const lang::Array<unsigned char> save = FileKeys::saveKey();
	EXPECT_TRUE(std::equal(data.begin(), data.end(), again.begin()));
	EXPECT_FALSE(std::equal(data.begin(), data.end(), save.begin()));
}

} // namespace
