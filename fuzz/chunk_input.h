#ifndef FUZZ_CHUNK_INPUT_H
#define FUZZ_CHUNK_INPUT_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

/**
 * The chunk readers open their files by name, so each input is written to one temporary file of
 * this process (made on first use, removed at exit) and its path handed to the reader.
 */
inline const std::string& chunkInputFile(const uint8_t* data, size_t size)
{
	static const std::string path = [] {
		char pattern[] = "/tmp/chunk-fuzz-XXXXXX";
		const int fd = mkstemp(pattern);
		if (fd < 0)
			std::abort();
		close(fd);
		static std::string name = pattern;
		std::atexit([] { std::remove(name.c_str()); });
		return name;
	}();
	FILE* file = std::fopen(path.c_str(), "wb");
	if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
		std::abort();
	return path;
}

#endif
