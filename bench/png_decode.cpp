#include <gr/SurfaceFormat.h>
#include <img/ImageReader.h>
#include <io/ByteArrayInputStream.h>
#include <lang/Ptr.h>
#include <support/PngEncoder.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

const int SIZE = 1024;

// A 1024 x 1024 RGBA image of gradients with some noise, so that it compresses like artwork
// rather than like a flat colour.
const std::vector<uint8_t>& pngFile()
{
	static const std::vector<uint8_t> file = [] {
		testsupport::PngImage image;
		image.width = SIZE;
		image.height = SIZE;
		image.pixels.resize(static_cast<size_t>(SIZE) * SIZE * 4);
		uint32_t noise = 12345;
		for (int y = 0; y < SIZE; ++y)
		{
			for (int x = 0; x < SIZE; ++x)
			{
				noise = noise * 1103515245u + 12345u;
				uint8_t* p = &image.pixels[(static_cast<size_t>(y) * SIZE + x) * 4];
				p[0] = static_cast<uint8_t>(x / 4);
				p[1] = static_cast<uint8_t>(y / 4);
				p[2] = static_cast<uint8_t>((x + y) / 8 + ((noise >> 16) & 7));
				p[3] = static_cast<uint8_t>(255 - (x ^ y) / 16);
			}
		}
		return testsupport::encodePng(image);
	}();
	return file;
}

void ImageReaderPngToA8B8G8R8(benchmark::State& state)
{
	const std::vector<uint8_t>& file = pngFile();
	io::ByteArrayInputStream stream(file.data(), static_cast<int>(file.size()));
	const gr::SurfaceFormat format(gr::SurfaceFormat::A8B8G8R8);
	std::vector<uint8_t> pixels(static_cast<size_t>(format.getMemoryUsage(SIZE, SIZE)));
	for (auto _ : state)
	{
		stream.seek(0, io::InputStream::SEEKMODE_START);
		lang::Ptr<img::ImageReader> reader = new img::ImageReader(&stream, io::FILEFORMAT_PNG);
		reader->readSurface(pixels.data(), format.getMemoryUsage(SIZE, 1), SIZE, SIZE, format, nullptr, gr::SurfaceFormat());
		benchmark::DoNotOptimize(pixels.data());
	}
	state.SetItemsProcessed(state.iterations() * SIZE * SIZE);
}
BENCHMARK(ImageReaderPngToA8B8G8R8)->Unit(benchmark::kMillisecond);

void LibpngSimplifiedToRGBA(benchmark::State& state)
{
	const std::vector<uint8_t>& file = pngFile();
	std::vector<uint8_t> pixels(static_cast<size_t>(SIZE) * SIZE * 4);
	for (auto _ : state)
	{
		png_image image{};
		image.version = PNG_IMAGE_VERSION;
		png_image_begin_read_from_memory(&image, file.data(), file.size());
		image.format = PNG_FORMAT_RGBA;
		png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
		benchmark::DoNotOptimize(pixels.data());
	}
	state.SetItemsProcessed(state.iterations() * SIZE * SIZE);
}
BENCHMARK(LibpngSimplifiedToRGBA)->Unit(benchmark::kMillisecond);

// One megapixel of A8B8G8R8 converted to R5G6B5.
void ConvertA8B8G8R8ToR5G6B5(benchmark::State& state)
{
	std::vector<uint8_t> src(static_cast<size_t>(SIZE) * SIZE * 4);
	for (size_t i = 0; i < src.size(); ++i)
		src[i] = static_cast<uint8_t>(i * 7);
	std::vector<uint8_t> dst(static_cast<size_t>(SIZE) * SIZE * 2);
	const gr::SurfaceFormat to(gr::SurfaceFormat::R5G6B5);
	for (auto _ : state)
	{
		to.copyPixels(dst.data(), SIZE * 2, gr::SurfaceFormat(), nullptr, gr::SurfaceFormat::A8B8G8R8, src.data(), SIZE * 4,
			gr::SurfaceFormat(), nullptr, SIZE, SIZE);
		benchmark::DoNotOptimize(dst.data());
	}
	state.SetItemsProcessed(state.iterations() * SIZE * SIZE);
}
BENCHMARK(ConvertA8B8G8R8ToR5G6B5)->Unit(benchmark::kMillisecond);

} // namespace
