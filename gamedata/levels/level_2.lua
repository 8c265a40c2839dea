-- Level 2: Two wooden towers with glass between them; three targets, one on each roof and one below.
-- Positions are the centres of the pieces in metres; y grows downward and the ground is y = 0.
filename = "level_2.lua"
theme = "meadow"
physicsToWorld = 20
-- The orbs the launcher fires, in order.
shots = { "orb_boost", "orb_split", "orb_boost" }
counts = { projectiles = 3 }
castleCameraData = { x = -160, y = -660, scale = 1.0 }
projectileCameraData = { x = -160, y = -660, scale = 1.0 }
world = {
	launcher = { name = "launcher", definition = "launcher", x = 4.0, y = -2.0, angle = 0 },
	a_left = { name = "a_left", definition = "wood_pillar", x = 25.8, y = -2.0, angle = 0 },
	a_right = { name = "a_right", definition = "wood_pillar", x = 28.2, y = -2.0, angle = 0 },
	a_roof = { name = "a_roof", definition = "wood_short", x = 27.0, y = -4.3, angle = 0 },
	target_1 = { name = "target_1", definition = "target", x = 27.0, y = -5.6, angle = 0, startNumber = 1 },
	glass_low = { name = "glass_low", definition = "glass_block", x = 31.0, y = -0.75, angle = 0 },
	glass_high = { name = "glass_high", definition = "glass_block", x = 31.0, y = -2.25, angle = 0 },
	b_left = { name = "b_left", definition = "wood_pillar", x = 34.5, y = -2.0, angle = 0 },
	b_right = { name = "b_right", definition = "wood_pillar", x = 39.5, y = -2.0, angle = 0 },
	b_floor = { name = "b_floor", definition = "wood_plank", x = 37.0, y = -4.3, angle = 0 },
	b_post_left = { name = "b_post_left", definition = "wood_post", x = 35.5, y = -5.6, angle = 0 },
	b_post_right = { name = "b_post_right", definition = "wood_post", x = 38.5, y = -5.6, angle = 0 },
	b_roof = { name = "b_roof", definition = "wood_short", x = 37.0, y = -6.9, angle = 0 },
	target_2 = { name = "target_2", definition = "target", x = 37.0, y = -1.0, angle = 0, startNumber = 2 },
	target_3 = { name = "target_3", definition = "target", x = 37.0, y = -8.2, angle = 0, startNumber = 3 },
	flower = { name = "flower", definition = "flower", x = 14.0, y = -0.5, angle = 0 },
}
joints = {}
