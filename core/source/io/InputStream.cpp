#include <io/InputStream.h>

namespace io {

namespace {
// Bytes read and discarded per step of the default skip.
constexpr int SKIP_CHUNK_SIZE = 256;
}

int InputStream::skip(int n)
{
	unsigned char chunk[SKIP_CHUNK_SIZE];
	int skipped = 0;
	while (skipped < n)
	{
		const int wanted = n - skipped < SKIP_CHUNK_SIZE ? n - skipped : SKIP_CHUNK_SIZE;
		const int got = read(chunk, wanted);
		if (got <= 0)
			break;
		skipped += got;
	}
	return skipped;
}

} // io
