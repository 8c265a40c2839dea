#ifndef PLATFORM_DIGEST_H
#define PLATFORM_DIGEST_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Message digests of byte sequences; stateless.
class Digest
{
public:
	// 20 bytes.
	static std::vector<uint8_t> sha1(const void* data, size_t size);
	// 16 bytes.
	static std::vector<uint8_t> md5(const void* data, size_t size);
	// Lower-case hexadecimal, two digits a byte.
	static std::string hex(const std::vector<uint8_t>& bytes);
};

} // platform

#endif
