#include "IoTestSupport.h"
#include <io/ByteArrayInputStream.h>
#include <io/ByteArrayOutputStream.h>
#include <algorithm>

using io::ByteArrayInputStream;
using io::InputStream;

namespace {

// Delivers length bytes, at most step per read, so the default skip has to loop.
class TrickleStream : public InputStream
{
public:
	TrickleStream(int length, int step) : m_left(length), m_step(step) {}
	int read(void*, int size) override
	{
		const int n = std::min({size, m_left, m_step});
		m_left -= n;
		m_largestRequest = std::max(m_largestRequest, size);
		return n;
	}
	bool seek(int, SeekMode) override { return false; }
	int available() const override { return m_left; }
	lang::String toString() const override { return "TrickleStream"; }
	int m_largestRequest = 0;

private:
	int m_left;
	int m_step;
};

TEST(InputStreamTest, DefaultSkipStopsAtTheEndInPiecesOf256)
{
	TrickleStream stream(300, 100);
	EXPECT_EQ(300, stream.skip(1000));
	EXPECT_EQ(256, stream.m_largestRequest);
	EXPECT_EQ(0, stream.skip(10));
	EXPECT_EQ(0, stream.skip(-5));
}

TEST(ByteArrayInputStreamTest, SeekStaysWithinTheStream)
{
	struct Case
	{
		int from;
		int offset;
		InputStream::SeekMode mode;
		bool accepted;
		int available;
	};
	const Case cases[] = {
		{4, 0, InputStream::SEEKMODE_START, true, 10},
		{4, 10, InputStream::SEEKMODE_START, true, 0},
		{4, 11, InputStream::SEEKMODE_START, false, 6},
		{4, -1, InputStream::SEEKMODE_START, false, 6},
		{4, -4, InputStream::SEEKMODE_CURRENT, true, 10},
		{4, -5, InputStream::SEEKMODE_CURRENT, false, 6},
		{4, 6, InputStream::SEEKMODE_CURRENT, true, 0},
		{4, 7, InputStream::SEEKMODE_CURRENT, false, 6},
		{4, 0, InputStream::SEEKMODE_END, true, 0},
		{4, -10, InputStream::SEEKMODE_END, true, 10},
		{4, -11, InputStream::SEEKMODE_END, false, 6},
		{4, 1, InputStream::SEEKMODE_END, false, 6},
		{4, 5, static_cast<InputStream::SeekMode>(3), true, 6},
		{4, 2147483647, InputStream::SEEKMODE_CURRENT, false, 6},
	};
	const char bytes[] = "0123456789";
	for (const Case& c : cases)
	{
		ByteArrayInputStream stream(bytes, 10);
		ASSERT_TRUE(stream.seek(c.from, InputStream::SEEKMODE_START));
		EXPECT_EQ(c.accepted, stream.seek(c.offset, c.mode)) << c.offset << " mode " << c.mode;
		EXPECT_EQ(c.available, stream.available()) << c.offset << " mode " << c.mode;
	}
}

TEST(ByteArrayInputStreamTest, ReadAndSkipNeverGoBelowZeroOrPastTheEnd)
{
	const char bytes[] = "abcdef";
	ByteArrayInputStream stream(bytes, 6);
	char out[8] = {};
	EXPECT_EQ(0, stream.read(out, -3));
	EXPECT_EQ(0, stream.skip(-3));
	EXPECT_EQ(2, stream.skip(2));
	EXPECT_EQ(4, stream.read(out, 8));
	EXPECT_STREQ("cdef", out);
	EXPECT_EQ(0, stream.read(out, 8));
	EXPECT_EQ(0, stream.skip(1));
	EXPECT_EQ(0, stream.available());

	ByteArrayInputStream empty;
	EXPECT_EQ(0, empty.available());
	EXPECT_EQ(0, empty.read(out, 1));
	EXPECT_STREQ("ByteArrayInputStream", empty.toString().c_str());
}

TEST(ByteArrayInputStreamTest, NullDataGivesZeroBytesToFillThroughData)
{
	ByteArrayInputStream stream(nullptr, 100);
	EXPECT_EQ(100, stream.available());
	EXPECT_EQ(100, std::count(stream.data(), stream.data() + 100, 0));

	stream.data()[0] = 'x';
	stream.skip(50);
	stream.reset(nullptr, 3);
	EXPECT_EQ(3, stream.available());
	EXPECT_EQ('x', stream.data()[0]);
}

TEST(ByteArrayOutputStreamTest, CollectsWritesAndGrowsByDoubling)
{
	io::ByteArrayOutputStream out(0);
	EXPECT_EQ(0, out.array().capacity());
	out.write("a", 1);
	EXPECT_EQ(32, out.array().capacity());
	out.write(std::string(31, 'b').data(), 31);
	EXPECT_EQ(32, out.array().capacity());
	out.write("c", 1);
	EXPECT_EQ(64, out.array().capacity());
	EXPECT_EQ("a" + std::string(31, 'b') + "c", std::string(reinterpret_cast<const char*>(out.data()), out.size()));

	io::ByteArrayOutputStream large(0);
	large.write(std::string(100, 'x').data(), 100);
	EXPECT_EQ(100, large.array().capacity());
	EXPECT_EQ(40, io::ByteArrayOutputStream(40).array().capacity());
	EXPECT_EQ(32, io::ByteArrayOutputStream(5).array().capacity());
}

} // namespace
