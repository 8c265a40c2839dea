#include "WorldFiles.h"
#include <world/FileKeys.h>
#include <world/encrypt.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <string>

namespace {

std::string hex(const lang::Array<unsigned char>& bytes)
{
	static const char DIGITS[] = "0123456789abcdef";
	std::string text;
	for (unsigned char byte : bytes)
	{
		text += DIGITS[byte >> 4];
		text += DIGITS[byte & 15];
	}
	return text;
}

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

// Shipped files and saves were enciphered under these keys: the answers come from
// "openssl enc -aes-256-cbc -K <key> -iv 0", which pads the same way.
TEST(Encrypt, KnownAnswersUnderTheDataAndSaveKeys)
{
	const struct
	{
		lang::Array<unsigned char> key;
		const char* keyHex;
		const char* plain;
		const char* cipherHex;
	} cases[] = {
		{FileKeys::dataKey(), "3396036cee056d01ddcc5dbefe34aaa90cb0706744b6c279f5610f38cac85091",
			"level = { filename = \"castle_1.lua\" }\n",
			"438fcafcddf90f111bb16e9767540ff7a973d515b65b4a4296a2a96e6aba93c1143dc3f9fdf9ad99125dd5fbe650e742"},
		{FileKeys::dataKey(), "3396036cee056d01ddcc5dbefe34aaa90cb0706744b6c279f5610f38cac85091", "",
			"c22c6e4f33eff9af0f4ee74f62d3d60a"},
		{FileKeys::saveKey(), "aa43b67f206e47414877ae91d125063ca977a970275e3ad5fa3f6e67d5279d15",
			"settings = { volume = 0.5, audioEnabled = true }",
			"7c9d7c0131dad54236c08db41b99f947889cf9d2188106c60e7cd071f6f35baffd80612f38b7e9235144f415990f7f4cceccd877c878de3d29fcd650150d7ceb"},
		{FileKeys::saveKey(), "aa43b67f206e47414877ae91d125063ca977a970275e3ad5fa3f6e67d5279d15", "",
			"6da7a88f8cf4890a6c959d752d59b043"},
	};
	for (const auto& c : cases)
	{
		EXPECT_EQ(c.keyHex, hex(c.key));
		lang::Array<unsigned char> cipher;
		ASSERT_TRUE(encrypt(c.key, WorldFiles::bytes(c.plain), cipher)) << c.plain;
		EXPECT_EQ(c.cipherHex, hex(cipher)) << c.plain;
		lang::Array<unsigned char> plain;
		ASSERT_TRUE(decrypt(c.key, cipher, plain)) << c.plain;
		EXPECT_EQ(c.plain, std::string(plain.begin(), plain.end()));
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
