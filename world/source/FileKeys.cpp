#include <world/FileKeys.h>

#include <algorithm>

namespace {

// Seeds and steps of the byte sequences the data and save keys are made from.
constexpr unsigned DATA_SEED = 0x6b1d39e5u;
constexpr unsigned SAVE_SEED = 0x2f7ac043u;
constexpr unsigned MULTIPLIER = 1103515245u;
constexpr unsigned INCREMENT = 12345u;

lang::Array<unsigned char> keyFromSeed(unsigned seed)
{
	lang::Array<unsigned char> key;
	key.resize(FileKeys::KEY_BYTES);
	unsigned state = seed;
	for (int i = 0; i < FileKeys::KEY_BYTES; ++i)
	{
		state = state * MULTIPLIER + INCREMENT;
		key[i] = static_cast<unsigned char>(state >> 16);
	}
	return key;
}

} // namespace

lang::Array<unsigned char> FileKeys::dataKey()
{
	return keyFromSeed(DATA_SEED);
}

lang::Array<unsigned char> FileKeys::saveKey()
{
	return keyFromSeed(SAVE_SEED);
}

lang::Array<unsigned char> FileKeys::deviceKey(const lang::Array<unsigned char>& dataKey, const lang::String& identifier)
{
	lang::Array<unsigned char> key;
	key.resize(KEY_BYTES, 0);
	const int mixed = std::min(std::min(dataKey.size(), identifier.length()), static_cast<int>(KEY_BYTES));
	for (int i = 0; i < mixed; ++i)
		key[i] = static_cast<unsigned char>(dataKey[i] ^ static_cast<unsigned char>(identifier[i]));
	return key;
}
