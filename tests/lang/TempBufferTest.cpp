#include <lang/TempBuffer.h>
#include <lang/Globals.h>
#include <lang/GlobalStorage.h>
#include <lang/Math.h>
#include <lang/System.h>
#include <gtest/gtest.h>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

using lang::ByteTempBuffer;
using lang::lang_Globals;

namespace {

lang_Globals& arena()
{
	return lang_Globals::get();
}

} // namespace

TEST(ByteTempBuffer, SizesRoundUpToSixteen)
{
	struct Case
	{
		int request;
		int size;
	};
	for (const Case& c : {Case{0, 0}, Case{1, 16}, Case{16, 16}, Case{17, 32}, Case{-5, 0}})
	{
		const int before = arena().used();
		ByteTempBuffer buffer(c.request);
		EXPECT_EQ(c.size, buffer.size()) << c.request;
		EXPECT_EQ(before + c.size, arena().used());
		EXPECT_NE(nullptr, buffer.data());
		EXPECT_FALSE(buffer.fromHeap());
	}
	EXPECT_EQ(0, arena().used());
	EXPECT_EQ(0, arena().slotsInUse());
}

TEST(ByteTempBuffer, OutOfOrderReleaseKeepsBytesUntilTopIsFree)
{
	auto p = std::make_unique<ByteTempBuffer>(10);
	auto q = std::make_unique<ByteTempBuffer>(20);
	auto r = std::make_unique<ByteTempBuffer>(30);
	EXPECT_EQ(16 + 32 + 32, arena().used());
	EXPECT_EQ(p->data() + 16, q->data());

	q.reset();
	p.reset();
	EXPECT_EQ(80, arena().used());
	EXPECT_EQ(3, arena().slotsInUse());
	r.reset();
	EXPECT_EQ(0, arena().used());
	EXPECT_EQ(0, arena().slotsInUse());

	ByteTempBuffer unused;
	EXPECT_EQ(nullptr, unused.data());
}

TEST(ByteTempBuffer, ExhaustedArenaFallsBackToHeap)
{
	std::vector<std::unique_ptr<ByteTempBuffer>> buffers;
	for (int i = 0; i < lang_Globals::SLOT_COUNT; ++i)
		buffers.push_back(std::make_unique<ByteTempBuffer>(1));
	ByteTempBuffer thirtyThird(64);
	EXPECT_TRUE(thirtyThird.fromHeap());
	EXPECT_EQ(64, thirtyThird.size());
	std::memset(thirtyThird.data(), 0x5A, 64);
	EXPECT_EQ(lang_Globals::SLOT_COUNT * 16, arena().used());
	buffers.clear();
	EXPECT_EQ(0, arena().used());

	ByteTempBuffer half(lang_Globals::ARENA_SIZE / 2);
	ByteTempBuffer tooMuch(lang_Globals::ARENA_SIZE / 2 + 1);
	EXPECT_FALSE(half.fromHeap());
	EXPECT_TRUE(tooMuch.fromHeap());
	ByteTempBuffer huge(lang_Globals::ARENA_SIZE * 4);
	EXPECT_TRUE(huge.fromHeap());
	EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(huge.data()) % 16);
	huge.data()[lang_Globals::ARENA_SIZE * 4 - 1] = 1;
	ByteTempBuffer rest(lang_Globals::ARENA_SIZE / 2);
	EXPECT_FALSE(rest.fromHeap());
	EXPECT_EQ(lang_Globals::ARENA_SIZE, arena().used());
}

TEST(GlobalStorage, ArenaLivesInSlotOne)
{
	arena();
	EXPECT_EQ(&arena(), lang::GlobalStorage::sm_instance[lang::GlobalStorage::SLOT_LANG_GLOBALS]);
}

TEST(Math, RandomStaysInUnitInterval)
{
	for (int i = 0; i < 1000; ++i)
	{
		const float r = lang::Math::random();
		EXPECT_GE(r, 0.0f);
		EXPECT_LE(r, 1.0f);
	}
}

TEST(System, CurrentTimeMicrosIsWallClock)
{
	const int64_t micros = lang::System::currentTimeMicros();
	const int64_t seconds = static_cast<int64_t>(time(nullptr));
	EXPECT_NEAR(static_cast<double>(seconds), static_cast<double>(micros / 1000000), 2.0);
}
