#include <audio/AudioMixer.h>

#include <audio/AudioBufferPump.h>
#include <audio/AudioClip.h>
#include <audio/AudioClipCursor.h>
#include <lang/Debug.h>
#include <lang/Exception.h>
#include <lang/Truncate.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

namespace audio {

namespace {

// How one sample width is mixed. Gains are fixed point with unity at 1 << GAIN_SHIFT; the
// largest (just under 16 x unity) keeps sample x gain within 32 bits.
struct Signed16Pcm
{
	static constexpr int BYTES = 2;
	static constexpr int GAIN_SHIFT = 12;
	// Only the 16-bit mix plays a mono clip on both channels of a stereo output.
	static constexpr bool SPREADS_MONO = true;

	static int32_t sample(const uint8_t* data, int index)
	{
		int16_t value;
		std::memcpy(&value, data + 2 * index, sizeof(value));
		return value;
	}

	static void store(void* out, int index, int32_t sum)
	{
		static_cast<int16_t*>(out)[index] = static_cast<int16_t>(std::clamp<int32_t>(sum, INT16_MIN, INT16_MAX));
	}
};

struct Unsigned8Pcm
{
	static constexpr int BYTES = 1;
	static constexpr int GAIN_SHIFT = 8;
	static constexpr bool SPREADS_MONO = false;

	static int32_t sample(const uint8_t* data, int index) { return data[index] - 128; }

	static void store(void* out, int index, int32_t sum)
	{
		static_cast<uint8_t*>(out)[index] = static_cast<uint8_t>(std::clamp<int32_t>(sum + 128, 0, 255));
	}
};

// volume x unity x track volume as an integer gain; NaN and negative products give 0.
template <class Pcm>
int fixedGain(float volume, float trackVolume)
{
	constexpr int maxGain = (16 << Pcm::GAIN_SHIFT) - 1;
	return lang::truncateToRange(volume * static_cast<float>(1 << Pcm::GAIN_SHIFT) * trackVolume, 0, maxGain);
}

// Adds without leaving the 32-bit range, however many instances play.
void accumulate(int32_t& sum, int32_t value)
{
	const int64_t total = static_cast<int64_t>(sum) + value;
	sum = static_cast<int32_t>(std::clamp<int64_t>(total, INT32_MIN, INT32_MAX));
}

// Mixes the next block of bytes of every playing instance that is neither paused nor ended into
// out, through the cleared accumulator sum. fetchNext(instance, bytes) puts the instance's next
// bytes into fetched and returns how many it got. Only the mixing thread changes the playing
// list's length, so it is walked without the lock.
template <class Pcm, class FetchNext>
void mixPlaying(lang::Array<AudioClipInstance>& playing, const std::atomic<float>* trackVolumes, bool stereoOutput,
	const uint8_t* fetched, FetchNext fetchNext, int32_t* sum, void* out, int bytes)
{
	for (int i = 0; i < playing.size(); ++i)
	{
		AudioClipInstance& instance = playing[i];
		if (instance.paused || instance.ended)
			continue;
		const int gain = fixedGain<Pcm>(instance.volume, trackVolumes[instance.track]);
		const bool monoOnStereo = Pcm::SPREADS_MONO && stereoOutput && instance.clip->channels() == 1;
		const int got = fetchNext(instance, monoOnStereo ? bytes / 2 : bytes);
		if (gain <= 0)
			continue;
		const int n = got / Pcm::BYTES;
		if (monoOnStereo)
		{
			for (int k = 0; k < n; ++k)
			{
				const int32_t d = (Pcm::sample(fetched, k) * gain) >> Pcm::GAIN_SHIFT;
				accumulate(sum[2 * k], d);
				accumulate(sum[2 * k + 1], d);
			}
		}
		else
		{
			for (int k = 0; k < n; ++k)
				accumulate(sum[k], (Pcm::sample(fetched, k) * gain) >> Pcm::GAIN_SHIFT);
		}
	}

	const int samples = bytes / Pcm::BYTES;
	for (int k = 0; k < samples; ++k)
		Pcm::store(out, k, sum[k]);
}

} // namespace

AudioMixer::AudioMixer() : m_bufferPump(nullptr), m_nextId(0), m_running(false)
{
	for (int i = 0; i < TRACK_COUNT; ++i)
	{
		m_trackVolumes[i] = 1.0f;
		m_clipCountLimits[i] = -1;
	}
}

AudioMixer::~AudioMixer()
{
	std::lock_guard<lang::Mutex> guard(m_lock);
	m_running = false;
	if (m_bufferPump)
		m_bufferPump->stop();
}

void AudioMixer::start()
{
	m_running = true;
	if (m_bufferPump)
		m_bufferPump->start();
}

void AudioMixer::stop()
{
	m_running = false;
	if (m_bufferPump)
		m_bufferPump->stop();
}

void AudioMixer::setBufferPump(AudioBufferPump* pump)
{
	m_bufferPump = pump;
}

void AudioMixer::checkTrack(int track) const
{
	if (track < 0 || track >= TRACK_COUNT)
		lang::throwError(lang::Exception(lang::Format("Track {0} out of bounds! Range [0-{1}]", track, TRACK_COUNT - 1)));
}

int AudioMixer::playClip(AudioClip* clip, float volume, bool loop, int track)
{
	if (!m_running || !clip)
		return -1;
	const int count = getPlayingClipCount(track);
	if (static_cast<unsigned int>(count) >= static_cast<unsigned int>(m_clipCountLimits[track].load()))
		return -1;
	AudioClipInstance instance;
	instance.clip = clip;
	instance.cursor = new AudioClipCursor;
	instance.volume = volume;
	instance.id = m_nextId++;
	instance.track = track;
	instance.loop = loop;
	std::lock_guard<lang::Mutex> guard(m_lock);
	m_queued.add(instance);
	return instance.id;
}

int AudioMixer::getPlayingClipCount(int track)
{
	checkTrack(track);
	std::lock_guard<lang::Mutex> guard(m_lock);
	int count = 0;
	for (const lang::Array<AudioClipInstance>* list : {&m_playing, &m_queued})
		for (int i = 0; i < list->size(); ++i)
			if ((*list)[i].track == track && !(*list)[i].ended)
				++count;
	return count;
}

void AudioMixer::stopClip(AudioClip* clip)
{
	std::lock_guard<lang::Mutex> guard(m_lock);
	for (lang::Array<AudioClipInstance>* list : {&m_playing, &m_queued})
		for (int i = 0; i < list->size(); ++i)
			if ((*list)[i].clip == clip)
				(*list)[i].ended = true;
}

void AudioMixer::stopClips()
{
	std::lock_guard<lang::Mutex> guard(m_lock);
	for (lang::Array<AudioClipInstance>* list : {&m_playing, &m_queued})
		for (int i = 0; i < list->size(); ++i)
			(*list)[i].ended = true;
}

bool AudioMixer::isClipPlaying(int id)
{
	std::lock_guard<lang::Mutex> guard(m_lock);
	for (const lang::Array<AudioClipInstance>* list : {&m_playing, &m_queued})
		for (int i = 0; i < list->size(); ++i)
			if ((*list)[i].id == id && !(*list)[i].ended)
				return true;
	return false;
}

bool AudioMixer::isClipPlaying(AudioClip* clip)
{
	std::lock_guard<lang::Mutex> guard(m_lock);
	for (const lang::Array<AudioClipInstance>* list : {&m_playing, &m_queued})
		for (int i = 0; i < list->size(); ++i)
			if ((*list)[i].clip == clip && !(*list)[i].ended)
				return true;
	return false;
}

void AudioMixer::setClipVolume(int id, float volume)
{
	std::lock_guard<lang::Mutex> guard(m_lock);
	for (lang::Array<AudioClipInstance>* list : {&m_playing, &m_queued})
		for (int i = 0; i < list->size(); ++i)
			if ((*list)[i].id == id)
				(*list)[i].volume = volume;
}

float AudioMixer::getTrackVolume(int track) const
{
	checkTrack(track);
	return m_trackVolumes[track];
}

void AudioMixer::setTrackVolume(float volume, int track)
{
	checkTrack(track);
	m_trackVolumes[track] = std::isnan(volume) ? 1.0f : std::clamp(volume, 0.0f, 1.0f);
}

void AudioMixer::setClipCountLimit(int track, int limit)
{
	checkTrack(track);
	m_clipCountLimits[track] = limit;
}

void AudioMixer::flushQueueAndRemoveEndedClips()
{
	std::lock_guard<lang::Mutex> guard(m_lock);
	for (int i = 0; i < m_queued.size(); ++i)
		m_playing.add(m_queued[i]);
	for (int i = m_playing.size() - 1; i >= 0; --i)
		if (m_playing[i].ended)
			m_playing.remove(i);
	m_queued.clear();
}

void AudioMixer::prepareBlock(int bytes, int samples)
{
	m_fetchBuffer.resize(bytes, 0);
	if (m_accumulator.size() < samples)
		m_accumulator.resize(samples, 0);
	std::fill(m_accumulator.data(), m_accumulator.data() + samples, 0);
}

int AudioMixer::fetch(AudioClipInstance& instance, int bytes)
{
	try
	{
		return instance.fetchData(m_fetchBuffer.data(), bytes);
	}
	catch (const lang::Throwable& error)
	{
		// A sound that can no longer be read ends alone; the other instances play on.
		instance.ended = true;
		lang::Debug::printf("Audio clip %d stopped by a read error: %s\n", instance.id, error.getMessage().format().c_str());
	}
	return 0;
}

void AudioMixer::mixUnlimited16(const AudioConfiguration& config, void* out, int bytes)
{
	const int samples = bytes / Signed16Pcm::BYTES;
	if (samples <= 0)
		return;
	prepareBlock(bytes, samples);
	flushQueueAndRemoveEndedClips();
	mixPlaying<Signed16Pcm>(m_playing, m_trackVolumes, config.channels == 2, m_fetchBuffer.data(),
		[this](AudioClipInstance& instance, int wanted) { return fetch(instance, wanted); }, m_accumulator.data(), out, bytes);
}

void AudioMixer::mixUnlimited8(const AudioConfiguration& config, void* out, int bytes)
{
	const int samples = bytes / Unsigned8Pcm::BYTES;
	if (samples <= 0)
		return;
	prepareBlock(bytes, samples);
	flushQueueAndRemoveEndedClips();
	mixPlaying<Unsigned8Pcm>(m_playing, m_trackVolumes, config.channels == 2, m_fetchBuffer.data(),
		[this](AudioClipInstance& instance, int wanted) { return fetch(instance, wanted); }, m_accumulator.data(), out, bytes);
}

} // audio
