#include <pf/DeviceID.h>
#include <pf/DeviceIDImpl.h>
#include <platform/Device.h>
#include <platform/Digest.h>
#include <vector>

namespace pf
{

const char base64Codes[] = "01234566789abcdefghijklmnopqrstuvwxyzaABCDEFGHIJKLMNOPQRSTUVWXYZ-_";

// Bytes of a SHA-1 digest, and the least size of the buffer that holds it with its padding.
static const int DIGEST_BYTES = 20;
static const int MIN_BUFFER_BYTES = 32;

DeviceID::DeviceID() :
	m_impl(new DeviceIDImpl)
{
}

DeviceID::~DeviceID()
{
}

lang::String DeviceID::getDeviceIDHash()
{
	return m_impl->getDeviceIDHash();
}

lang::String DeviceIDImpl::getDeviceIDHash()
{
	const std::string id = platform::Device::uniqueIdentifier();
	return hash(lang::String(id.c_str(), static_cast<int>(id.size())));
}

lang::String DeviceIDImpl::hash(const lang::String& identifier)
{
	const int length = identifier.length();
	const int padded = (length + 2) / 3 * 3;
	std::vector<unsigned char> bytes(static_cast<size_t>(padded > MIN_BUFFER_BYTES ? padded : MIN_BUFFER_BYTES), 0);
	const std::vector<uint8_t> digest = platform::Digest::sha1(identifier.c_str(), static_cast<size_t>(length));
	for (int i = 0; i < DIGEST_BYTES; ++i)
		bytes[i] = digest[i];

	lang::String text;
	for (int i = 0; i < padded; i += 3)
	{
		const unsigned b0 = bytes[i], b1 = bytes[i + 1], b2 = bytes[i + 2];
		text.append(base64Codes[b0 >> 2]);
		text.append(base64Codes[((b0 & 3) << 4) | (b1 >> 4)]);
		text.append(base64Codes[((b1 & 15) << 2) | (b2 >> 6)]);
		text.append(base64Codes[b2 & 63]);
	}
	return text;
}

} // pf
