#include <lang/Format.h>
#include <lang/String.h>
#include <lang/TempBuffer.h>
#include <benchmark/benchmark.h>

static void StringAppendChars(benchmark::State& state)
{
	for (auto _ : state)
	{
		lang::String s;
		for (int i = 0; i < state.range(0); ++i)
			s.append('x');
		benchmark::DoNotOptimize(s.c_str());
	}
	state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(StringAppendChars)->Arg(15)->Arg(1000);

static void ShortStringCopy(benchmark::State& state)
{
	const lang::String name("sprite_name");
	for (auto _ : state)
	{
		lang::String copy(name);
		benchmark::DoNotOptimize(copy.c_str());
	}
}
BENCHMARK(ShortStringCopy);

static void FormatMessage(benchmark::State& state)
{
	const lang::Format message("Failed to open {0} at {1,0.00} ({2,x})", "levels/level01.lua", 3.14159, 255);
	for (auto _ : state)
	{
		lang::String text = message.format();
		benchmark::DoNotOptimize(text.c_str());
	}
}
BENCHMARK(FormatMessage);

static void TempBufferTakeAndRelease(benchmark::State& state)
{
	for (auto _ : state)
	{
		lang::ByteTempBuffer row(4096);
		benchmark::DoNotOptimize(row.data());
	}
}
BENCHMARK(TempBufferTakeAndRelease);
