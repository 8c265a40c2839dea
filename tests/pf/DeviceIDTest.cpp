#include <pf/DeviceID.h>
#include <pf/DeviceIDImpl.h>
#include <gtest/gtest.h>
#include <cstring>

using pf::DeviceIDImpl;

TEST(DeviceID, EncodesTheDigestAsTheIdentifierDemands)
{
	const std::pair<const char*, const char*> golden[] = {
		{"", ""}, {"abc", "EozY"}, {"abcd", "vuUaZCsm"},
	};
	for (const auto& g : golden)
		EXPECT_STREQ(g.second, DeviceIDImpl::hash(lang::String(g.first)).c_str()) << g.first;

	// Length rule: 4 symbols per 3 bytes of the identifier's length rounded up to a multiple of 3.
	const std::pair<int, int> lengths[] = {{1, 4}, {2, 4}, {3, 4}, {4, 8}, {18, 24}, {40, 56}};
	for (const auto& l : lengths)
		EXPECT_EQ(l.second, DeviceIDImpl::hash(lang::String(std::string(static_cast<size_t>(l.first), 'x').c_str())).length()) << l.first;

	// Bytes after the 20 digest bytes are zero: "0" symbols.
	const lang::String id40 = DeviceIDImpl::hash(lang::String("0123456789abcdef0123456789abcdef01234567"));
	EXPECT_STREQ(std::string(29, '0').c_str(), id40.substring(27).c_str());
}

TEST(DeviceID, IsStableAndUsesOnlyTheFirst64Symbols)
{
	pf::DeviceID device;
	const lang::String id = device.getDeviceIDHash();
	EXPECT_FALSE(id.isEmpty());
	EXPECT_EQ(id, device.getDeviceIDHash());
	EXPECT_EQ(nullptr, std::strpbrk(id.c_str(), "-_"));
}
