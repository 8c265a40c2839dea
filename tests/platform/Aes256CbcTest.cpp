#include <platform/Aes256Cbc.h>
#include <platform/Digest.h>
#include <gtest/gtest.h>
#include <string>

using platform::Aes256Cbc;
using platform::Digest;

namespace
{

std::vector<uint8_t> bytes(const std::string& text)
{
	return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> fromHex(const std::string& hex)
{
	std::vector<uint8_t> out;
	for (size_t i = 0; i + 1 < hex.size(); i += 2)
		out.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
	return out;
}

// Key 00 01 02 ... 1f.
std::vector<uint8_t> testKey()
{
	std::vector<uint8_t> key;
	for (uint8_t i = 0; i < 32; ++i)
		key.push_back(i);
	return key;
}

} // namespace

// Ciphertexts made once with the command-line tool under the same key and a zero IV.
TEST(Aes256Cbc, MatchesKnownCiphertextsBothWays)
{
	struct Case
	{
		std::string plain;
		std::string cipher;
	};
	const Case cases[] = {
		{"", "9f3b7504926f8bd36e3118e903a4cd4a"},
		{"0123456789abcdef", "d8c95758e3353e530fa52bd10e73b9864f6ba30222074c4d477c3f294f12a82f"},
		{"0123456789abcdef0", "d8c95758e3353e530fa52bd10e73b98672f8e8f87c20956f32d35b3afc2b8251"},
	};
	for (const Case& c : cases)
	{
		const std::vector<uint8_t> plain = bytes(c.plain);
		std::vector<uint8_t> out;
		ASSERT_TRUE(Aes256Cbc::encrypt(testKey(), plain.data(), plain.size(), out)) << c.plain;
		EXPECT_EQ(c.cipher, Digest::hex(out));
		const std::vector<uint8_t> cipher = fromHex(c.cipher);
		ASSERT_TRUE(Aes256Cbc::decrypt(testKey(), cipher.data(), cipher.size(), out)) << c.plain;
		EXPECT_EQ(plain, out);
	}
}

TEST(Aes256Cbc, RefusesBadKeysLengthsAndPadding)
{
	const std::vector<uint8_t> plain = bytes("a saved table = { 1, 2, 3 }");
	std::vector<uint8_t> cipher;
	ASSERT_TRUE(Aes256Cbc::encrypt(testKey(), plain.data(), plain.size(), cipher));
	std::vector<uint8_t> out{1, 2, 3};
	std::vector<uint8_t> shortKey = testKey();
	shortKey.resize(16);
	EXPECT_FALSE(Aes256Cbc::encrypt(shortKey, plain.data(), plain.size(), out));
	EXPECT_TRUE(out.empty());
	EXPECT_FALSE(Aes256Cbc::decrypt(shortKey, cipher.data(), cipher.size(), out));
	for (size_t size : {size_t(15), size_t(17), cipher.size() - 1})
		EXPECT_FALSE(Aes256Cbc::decrypt(testKey(), cipher.data(), size, out)) << size;
	// A damaged last block spoils the padding; this key's ciphertext fails under the other key.
	std::vector<uint8_t> damaged = cipher;
	damaged.back() ^= 0x5a;
	EXPECT_FALSE(Aes256Cbc::decrypt(testKey(), damaged.data(), damaged.size(), out));
	std::vector<uint8_t> otherKey = testKey();
	otherKey[31] ^= 1;
	EXPECT_FALSE(Aes256Cbc::decrypt(otherKey, cipher.data(), cipher.size(), out));
	EXPECT_TRUE(out.empty());
}

TEST(Digest, KnownAnswers)
{
	EXPECT_EQ("a9993e364706816aba3e25717850c26c9cd0d89d", Digest::hex(Digest::sha1("abc", 3)));
	EXPECT_EQ("da39a3ee5e6b4b0d3255bfef95601890afd80709", Digest::hex(Digest::sha1("", 0)));
	EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", Digest::hex(Digest::md5("abc", 3)));
}
