#ifndef IO_FILTERINPUTSTREAM_H
#define IO_FILTERINPUTSTREAM_H

#include <io/InputStream.h>

namespace io {

// Input stream that passes every operation on to another stream. The wrapped stream is not
// owned and must outlive the filter.
class FilterInputStream : public InputStream
{
public:
	explicit FilterInputStream(InputStream* in);

	int read(void* data, int size) override;
	int skip(int n) override;
	bool seek(int offset, SeekMode mode) override;
	int available() const override;
	// The wrapped stream's description.
	lang::String toString() const override;

private:
	InputStream* m_in;
};

} // io

#endif
