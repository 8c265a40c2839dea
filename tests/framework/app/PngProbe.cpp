// Checks pixels of a PNG file: png_probe <file> (<x> <y> <rrggbb>)...; exit code 1 on a mismatch.
#include <png.h>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
	if (argc < 2 || (argc - 2) % 3 != 0)
	{
		std::fprintf(stderr, "usage: %s <file> (<x> <y> <rrggbb>)...\n", argv[0]);
		return 2;
	}
	png_image image{};
	image.version = PNG_IMAGE_VERSION;
	if (!png_image_begin_read_from_file(&image, argv[1]))
	{
		std::fprintf(stderr, "png_probe: can't read %s\n", argv[1]);
		return 1;
	}
	image.format = PNG_FORMAT_RGB;
	std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
	if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
		return 1;
	int failures = 0;
	for (int i = 2; i + 2 < argc; i += 3)
	{
		const int x = std::atoi(argv[i]);
		const int y = std::atoi(argv[i + 1]);
		const unsigned expected = static_cast<unsigned>(std::strtoul(argv[i + 2], nullptr, 16));
		if (x < 0 || y < 0 || x >= static_cast<int>(image.width) || y >= static_cast<int>(image.height))
		{
			std::fprintf(stderr, "png_probe: (%d, %d) is outside %ux%u\n", x, y, image.width, image.height);
			++failures;
			continue;
		}
		const unsigned char* p = &pixels[(static_cast<size_t>(y) * image.width + x) * 3];
		const unsigned actual = (p[0] << 16) | (p[1] << 8) | p[2];
		if (actual != expected)
		{
			std::fprintf(stderr, "png_probe: (%d, %d) is %06x, not %06x\n", x, y, actual, expected);
			++failures;
		}
	}
	return failures ? 1 : 0;
}
