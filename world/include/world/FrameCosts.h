#ifndef WORLD_FRAMECOSTS_H
#define WORLD_FRAMECOSTS_H

#include <chrono>

/**
 * Seconds the game's frames have spent in each of their phases, summed since the game world was
 * made, for profiling; a plain value owned by the game world.
 */
struct FrameCosts
{
	/** Adds the seconds from its making to its end to the total it borrows. */
	class Timer
	{
	public:
		explicit Timer(double& total) : m_total(total), m_start(std::chrono::steady_clock::now()) {}
		~Timer()										{ m_total += std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count(); }
		Timer(const Timer&) = delete;
		Timer& operator=(const Timer&) = delete;

	private:
		double& m_total;
		std::chrono::steady_clock::time_point m_start;
	};

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
