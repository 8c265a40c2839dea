// Reads arbitrary bytes as a game service store file; what it reads must write back to text that
// reads to the same records.
#include <platform/GameServiceStore.h>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	std::vector<platform::GameScore> scores;
	std::vector<platform::GameAchievement> achievements;
	platform::GameServiceStore::parse(std::string(reinterpret_cast<const char*>(data), size), scores, achievements);
	const std::string text = platform::GameServiceStore::serialize(scores, achievements);
	platform::GameServiceStore::parse(text, scores, achievements);
	if (platform::GameServiceStore::serialize(scores, achievements) != text)
		std::abort();
	return 0;
}
