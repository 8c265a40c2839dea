#include <platform/Aes256Cbc.h>
#include <openssl/evp.h>
#include <climits>
#include <memory>

namespace platform {

namespace {

bool crypt(bool encrypting, const std::vector<uint8_t>& key, const uint8_t* data, size_t size, std::vector<uint8_t>& out)
{
	out.clear();
	if (key.size() != Aes256Cbc::KEY_BYTES || size > INT_MAX - Aes256Cbc::BLOCK_BYTES)
		return false;
	if (!encrypting && size % Aes256Cbc::BLOCK_BYTES != 0)
		return false;
	const std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
	const uint8_t iv[Aes256Cbc::BLOCK_BYTES] = {};
	if (!context || EVP_CipherInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, key.data(), iv, encrypting ? 1 : 0) != 1)
		return false;
	std::vector<uint8_t> result(size + Aes256Cbc::BLOCK_BYTES);
	int written = 0;
	int last = 0;
	if (EVP_CipherUpdate(context.get(), result.data(), &written, data, static_cast<int>(size)) != 1 ||
		EVP_CipherFinal_ex(context.get(), result.data() + written, &last) != 1)
		return false;
	result.resize(static_cast<size_t>(written + last));
	out.swap(result);
	return true;
}

} // namespace

bool Aes256Cbc::encrypt(const std::vector<uint8_t>& key, const uint8_t* data, size_t size, std::vector<uint8_t>& out)
{
	return crypt(true, key, data, size, out);
}

bool Aes256Cbc::decrypt(const std::vector<uint8_t>& key, const uint8_t* data, size_t size, std::vector<uint8_t>& out)
{
	return crypt(false, key, data, size, out);
}

} // platform
