#ifndef WORLD_FRAMECOSTS_H
#define WORLD_FRAMECOSTS_H

#include <chrono>

/**
 * Seconds the game's frames have spent in each of their phases, summed while measuring is on,
 * for profiling; a plain value owned by the game world.
 */
struct FrameCosts
{
	/** While the costs are measured, adds the seconds from its making to its end to one phase. */
	class Timer
	{
	public:
		Timer(FrameCosts& costs, double FrameCosts::*phase) :
			m_total(costs.measuring ? &(costs.*phase) : nullptr)
		{
			if (m_total)
				m_start = std::chrono::steady_clock::now();
		}

		~Timer()
		{
			if (m_total)
				*m_total += std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
		}

		Timer(const Timer&) = delete;
		Timer& operator=(const Timer&) = delete;

	private:
		double* m_total;
		std::chrono::steady_clock::time_point m_start;
	};

	// Off by default: the clock is read only for a profile that asks for it.
	bool measuring = false;
	// The physics library's steps.
	double step = 0.0;
	// Storing, interpolating and publishing the objects' poses, flags and joint anchors.
	double publishing = 0.0;
	// Clearing and the scripts' "draw", through the 2D batcher.
	double drawing = 0.0;
	// The present, with the batcher's last flush.
	double present = 0.0;
};

#endif
