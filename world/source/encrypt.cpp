#include <world/encrypt.h>

#include <algorithm>
#include <platform/Aes256Cbc.h>
#include <vector>

namespace {

enum class Direction
{
	ENCIPHER,
	DECIPHER
};

bool crypt(Direction direction, const lang::Array<unsigned char>& key, const lang::Array<unsigned char>& data, lang::Array<unsigned char>& out)
{
	std::vector<uint8_t> fullKey(platform::Aes256Cbc::KEY_BYTES, 0);
	const size_t copied = std::min(static_cast<size_t>(key.size()), fullKey.size());
	std::copy(key.begin(), key.begin() + copied, fullKey.begin());

	std::vector<uint8_t> result;
	const size_t size = static_cast<size_t>(data.size());
	const bool done = direction == Direction::ENCIPHER
		? platform::Aes256Cbc::encrypt(fullKey, data.begin(), size, result)
		: platform::Aes256Cbc::decrypt(fullKey, data.begin(), size, result);
	if (!done)
	{
		// Sized for the input and one block of padding, as the call had it; the contents mean nothing.
		out.resize(static_cast<int>(size + platform::Aes256Cbc::BLOCK_BYTES), 0);
		return false;
	}
	out.resize(static_cast<int>(result.size()));
	std::copy(result.begin(), result.end(), out.begin());
	return true;
}

} // namespace

bool encrypt(const lang::Array<unsigned char>& key, const lang::Array<unsigned char>& data, lang::Array<unsigned char>& out)
{
	return crypt(Direction::ENCIPHER, key, data, out);
}

bool decrypt(const lang::Array<unsigned char>& key, const lang::Array<unsigned char>& data, lang::Array<unsigned char>& out)
{
	return crypt(Direction::DECIPHER, key, data, out);
}
