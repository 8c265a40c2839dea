#include <world/EncipheredFile.h>

#include <io/ByteArrayInputStream.h>
#include <io/DataCorruptedException.h>
#include <world/encrypt.h>
#include <algorithm>

lang::Array<unsigned char> EncipheredFile::readAll(io::InputStream* in)
{
	lang::Array<unsigned char> bytes;
	bytes.resize(std::max(0, in->available()));
	int filled = 0;
	while (filled < bytes.size())
	{
		const int count = in->read(bytes.begin() + filled, bytes.size() - filled);
		if (count <= 0)
			break;
		filled += count;
	}
	bytes.resize(filled);
	return bytes;
}

void EncipheredFile::decipher(const lang::Array<unsigned char>& key, const char* keyName, const lang::Array<unsigned char>& ciphertext, io::ByteArrayInputStream& plain)
{
	lang::Array<unsigned char> text;
	if (!decrypt(key, ciphertext, text))
		lang::throwError(io::DataCorruptedException(lang::Format("it does not decipher under the {0} key", keyName)));
	plain.reset(text.begin(), text.size());
}
