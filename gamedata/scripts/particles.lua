-- Particle templates; velocities in pixels per second, angles in degrees, times in seconds.
particles = {
	splinters = {
		sprites = { "particle_splinter" },
		minVel = 60, maxVel = 220, minAngleVel = -8, maxAngleVel = 8,
		minScaleBegin = 0.8, maxScaleBegin = 1.3, minScaleEnd = 0.4, maxScaleEnd = 0.7,
		lifeTime = 1.0, gravityX = 0, gravityY = 400,
		minAngleEmitter = 200, maxAngleEmitter = 340, minAngle = 0, maxAngle = 360,
	},
	rubble = {
		sprites = { "particle_rubble", "particle_dust" },
		minVel = 40, maxVel = 160, minAngleVel = -4, maxAngleVel = 4,
		minScaleBegin = 0.8, maxScaleBegin = 1.4, minScaleEnd = 0.5, maxScaleEnd = 0.8,
		lifeTime = 1.0, gravityX = 0, gravityY = 420,
		minAngleEmitter = 200, maxAngleEmitter = 340, minAngle = 0, maxAngle = 360,
	},
	shards = {
		sprites = { "particle_shard" },
		minVel = 80, maxVel = 260, minAngleVel = -10, maxAngleVel = 10,
		minScaleBegin = 0.7, maxScaleBegin = 1.2, minScaleEnd = 0.2, maxScaleEnd = 0.5,
		lifeTime = 0.9, gravityX = 0, gravityY = 380,
		minAngleEmitter = 180, maxAngleEmitter = 360, minAngle = 0, maxAngle = 360,
	},
	sparks = {
		sprites = { "particle_spark_1", "particle_spark_2", "particle_spark_3" },
		animation = "lifeTime",
		minVel = 80, maxVel = 240, minAngleVel = -3, maxAngleVel = 3,
		minScaleBegin = 1.0, maxScaleBegin = 1.5, minScaleEnd = 0.3, maxScaleEnd = 0.5,
		lifeTime = 0.8, gravityX = 0, gravityY = 120,
		minAngleEmitter = 0, maxAngleEmitter = 360, minAngle = 0, maxAngle = 360,
	},
	puff = {
		sprites = { "particle_dust" },
		minVel = 30, maxVel = 90, minAngleVel = -1, maxAngleVel = 1,
		minScaleBegin = 1.5, maxScaleBegin = 2.2, minScaleEnd = 0.2, maxScaleEnd = 0.4,
		lifeTime = 0.5, gravityX = 0, gravityY = 0,
		minAngleEmitter = 0, maxAngleEmitter = 360, minAngle = 0, maxAngle = 360,
	},
	embers = {
		sprites = { "particle_ember" },
		minVel = 20, maxVel = 60, minAngleVel = -2, maxAngleVel = 2,
		minScaleBegin = 0.8, maxScaleBegin = 1.2, minScaleEnd = 0.1, maxScaleEnd = 0.3,
		lifeTime = 1.2, gravityX = 0, gravityY = -40,
		minAngleEmitter = 250, maxAngleEmitter = 290, minAngle = 0, maxAngle = 360,
	},
	-- Menu particles: speeds for a screen 768 pixels high.
	bubbles = {
		sprites = { "particle_bubble" },
		minVel = 40, maxVel = 90, minAngleVel = -1, maxAngleVel = 1,
		minScaleBegin = 0.6, maxScaleBegin = 1.4, minScaleEnd = 1.0, maxScaleEnd = 1.8,
		lifeTime = 9.0, gravityX = 0, gravityY = 0,
		minAngleEmitter = 260, maxAngleEmitter = 280, minAngle = 0, maxAngle = 0,
	},
}
