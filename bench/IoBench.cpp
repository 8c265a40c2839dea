#include <io/ByteArrayInputStream.h>
#include <io/DataInputStream.h>
#include <io/PathName.h>
#include <io/PropertyParser.h>
#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

// A chunk-file-like block: per record a 32-bit id, a 16-bit value and a short name.
std::vector<unsigned char> makeRecords(int count)
{
	std::vector<unsigned char> bytes;
	for (int i = 0; i < count; ++i)
	{
		const unsigned char record[] = {0, 0, 1, static_cast<unsigned char>(i), 0, 7, 0, 6, 's', 'p', 'r', 'i', 't', 'e'};
		bytes.insert(bytes.end(), record, record + sizeof(record));
	}
	return bytes;
}

void BM_DataInputStreamRecords(benchmark::State& state)
{
	const int count = static_cast<int>(state.range(0));
	const std::vector<unsigned char> bytes = makeRecords(count);
	io::ByteArrayInputStream stream(bytes.data(), static_cast<int>(bytes.size()));
	for (auto _ : state)
	{
		stream.seek(0, io::InputStream::SEEKMODE_START);
		io::DataInputStream in(&stream);
		for (int i = 0; i < count; ++i)
		{
			benchmark::DoNotOptimize(in.readInt());
			benchmark::DoNotOptimize(in.readShort());
			benchmark::DoNotOptimize(in.readUTF());
		}
	}
	state.SetBytesProcessed(state.iterations() * static_cast<long long>(bytes.size()));
}
BENCHMARK(BM_DataInputStreamRecords)->Arg(1000);

void BM_PathNameJoin(benchmark::State& state)
{
	const lang::String directory("data_ipad/images/");
	const lang::String name("../levels/theme1/./background_layer.png");
	for (auto _ : state)
		benchmark::DoNotOptimize(io::PathName(directory, name).basename());
}
BENCHMARK(BM_PathNameJoin);

void BM_PropertyParserParse(benchmark::State& state)
{
	std::string text;
	for (int i = 0; i < 40; ++i)
		text += "key" + std::to_string(i) + " = " + std::to_string(i * 3) + ".5 -- comment\n;";
	const lang::String source(text.c_str());
	for (auto _ : state)
	{
		io::PropertyParser parser(source, "bench");
		benchmark::DoNotOptimize(parser.getFloat("key17"));
	}
}
BENCHMARK(BM_PropertyParserParse);

} // namespace
