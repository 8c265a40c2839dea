#include <platform/Digest.h>
#include <openssl/evp.h>

namespace platform {

namespace {

std::vector<uint8_t> digest(const EVP_MD* type, const void* data, size_t size)
{
	unsigned char bytes[EVP_MAX_MD_SIZE];
	unsigned int length = 0;
	if (EVP_Digest(data, size, bytes, &length, type, nullptr) != 1)
		return {};
	return std::vector<uint8_t>(bytes, bytes + length);
}

} // namespace

std::vector<uint8_t> Digest::sha1(const void* data, size_t size)
{
	return digest(EVP_sha1(), data, size);
}

std::vector<uint8_t> Digest::md5(const void* data, size_t size)
{
	return digest(EVP_md5(), data, size);
}

std::string Digest::hex(const std::vector<uint8_t>& bytes)
{
	static const char digits[] = "0123456789abcdef";
	std::string text;
	for (uint8_t b : bytes)
	{
		text += digits[b >> 4];
		text += digits[b & 15];
	}
	return text;
}

} // platform
