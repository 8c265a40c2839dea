#ifndef TESTS_HGR_PARTICLEFILES_H
#define TESTS_HGR_PARTICLEFILES_H

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

/** The keys and values of a valid particle property file, in file order; tests edit a copy. */
inline std::vector<std::pair<std::string, std::string>> validParticleKeys()
{
	return {
		{"systemMaxEmissions", "4"},
		{"systemRate", "CONSTANT 2"},
		{"systemStopTime", "CONSTANT 0"},
		{"systemLifeTime", "CONSTANT 0"},
		{"emissionMaxParticles", "16"},
		{"emissionRate", "CONSTANT 10"},
		{"emissionStopTime", "CONSTANT 1"},
		{"emissionLifeTime", "CONSTANT 3"},
		{"emissionPosition", "POINT 0 0 0"},
		{"particleLifeTime", "RANGE 1 2"},
		{"particleStartVelocity", "BOX -1 -1 0 1 1 0"},
		{"particleStartPosition", "POINT 0 0 0"},
		{"particleStartSize", "CONSTANT 1"},
		{"particleEndSize", "CONSTANT 2"},
		{"particleStartAlpha", "CONSTANT 1"},
		{"particleEndAlpha", "CONSTANT 0"},
		{"particleStartColor", "POINT 1 1 1"},
		{"particleEndColor", "POINT 1 0.5 0"},
		{"particleSpriteElasticity", "CONSTANT 0"},
		{"particleSpriteRotation", "CONSTANT 0"},
		{"particleSpriteStartRotationSpeed", "CONSTANT 0"},
		{"particleSpriteEndRotationSpeed", "CONSTANT 0"},
		{"gravity", "9.8"},
		{"wind", "0 0 0"},
		{"textureFrameRate", "10"},
		{"textureFrames", "4"},
		{"textureName", "spark.png"},
		{"shaderName", "particle-add"},
		{"textureAnimation", "LOOP"},
		{"textureView", "CAMERAUP"},
		{"emissionLimitKill", "OLDEST"},
		{"systemLimitKill", "NONE"},
		{"particleUpdateAlways", "false"},
	};
}

/** The valid keys with one key's value replaced, or the key left out when value is null. */
inline std::string particleText(const std::string& key = "", const char* value = "")
{
	std::string text;
	for (const auto& pair : validParticleKeys())
	{
		if (pair.first == key && !value)
			continue;
		text += pair.first + " = " + (pair.first == key ? std::string(value) : pair.second) + "\n";
	}
	return text;
}

/** A temporary directory of property files, removed with everything written into it. */
class ParticleFiles
{
public:
	ParticleFiles()
	{
		char pattern[] = "/tmp/hgr-particles-XXXXXX";
		m_root = mkdtemp(pattern);
	}

	~ParticleFiles()
	{
		for (auto it = m_created.rbegin(); it != m_created.rend(); ++it)
			std::remove(it->c_str());
		rmdir(m_root.c_str());
	}

	ParticleFiles(const ParticleFiles&) = delete;
	ParticleFiles& operator=(const ParticleFiles&) = delete;

	/** Writes text to the relative path (one directory level at most) and returns the full path. */
	std::string write(const std::string& path, const std::string& text)
	{
		const size_t slash = path.find('/');
		if (slash != std::string::npos)
		{
			const std::string directory = m_root + "/" + path.substr(0, slash);
			if (mkdir(directory.c_str(), 0700) == 0)
				m_created.push_back(directory);
		}
		const std::string full = m_root + "/" + path;
		FILE* file = std::fopen(full.c_str(), "wb");
		std::fwrite(text.data(), 1, text.size(), file);
		std::fclose(file);
		m_created.push_back(full);
		return full;
	}

	const std::string& root() const							{ return m_root; }

private:
	std::string m_root;
	std::vector<std::string> m_created;
};

#endif
