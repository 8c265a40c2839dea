#include <audio/AudioSession.h>

#include <atomic>

namespace audio {

namespace {

std::atomic<AudioSession::Category> s_category(AudioSession::CATEGORY_NONE);
std::atomic<bool> s_active(false);

} // namespace

void AudioSession::initialize(Category category)
{
	s_category = category;
}

void AudioSession::setActive(bool active)
{
	s_active = active;
}

AudioSession::Category AudioSession::category()
{
	return s_category;
}

bool AudioSession::isActive()
{
	return s_active;
}

} // audio
