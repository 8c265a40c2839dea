-- Particle templates; velocities in pixels per second, angles in degrees, times in seconds.
particles = {
	dust = {
		sprites = { "particle_dust" },
		minVel = 20, maxVel = 80,
		minAngleVel = -2, maxAngleVel = 2,
		minScaleBegin = 0.8, maxScaleBegin = 1.2,
		minScaleEnd = 0.2, maxScaleEnd = 0.4,
		lifeTime = 0.8,
		gravityX = 0, gravityY = 60,
		minAngleEmitter = 200, maxAngleEmitter = 340,
		minAngle = 0, maxAngle = 360,
	},
}
