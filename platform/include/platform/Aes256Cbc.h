#ifndef PLATFORM_AES256CBC_H
#define PLATFORM_AES256CBC_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// AES with a 256-bit key in CBC mode under an all-zero initialisation vector, with PKCS#7
// padding: whole small files enciphered in one call, no header. Stateless.
class Aes256Cbc
{
public:
	// Key size (bytes) and block size (bytes).
	static constexpr size_t KEY_BYTES = 32;
	static constexpr size_t BLOCK_BYTES = 16;

	// The output is replaced by the ciphertext: the input rounded up to the next whole block,
	// always at least one byte of padding. False (output empty) when the key is not KEY_BYTES long.
	static bool encrypt(const std::vector<uint8_t>& key, const uint8_t* data, size_t size, std::vector<uint8_t>& out);
	// The output is replaced by the plain bytes. False (output empty) for a key of the wrong size,
	// an input that is not whole blocks, or padding that does not check out (as a wrong key
	// usually gives).
	static bool decrypt(const std::vector<uint8_t>& key, const uint8_t* data, size_t size, std::vector<uint8_t>& out);
};

} // platform

#endif
