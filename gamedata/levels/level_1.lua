-- Level 1: A wooden shelter over one target, a glass pane and a second target beside it.
-- Positions are the centres of the pieces in metres; y grows downward and the ground is y = 0.
filename = "level_1.lua"
theme = "meadow"
physicsToWorld = 20
-- The orbs the launcher fires, in order.
shots = { "orb_boost", "orb_boost", "orb_boost" }
counts = { projectiles = 3 }
castleCameraData = { x = -160, y = -660, scale = 1.0 }
projectileCameraData = { x = -160, y = -660, scale = 1.0 }
world = {
	launcher = { name = "launcher", definition = "launcher", x = 4.0, y = -2.0, angle = 0 },
	pillar_left = { name = "pillar_left", definition = "wood_pillar", x = 28.5, y = -2.0, angle = 0 },
	pillar_right = { name = "pillar_right", definition = "wood_pillar", x = 33.5, y = -2.0, angle = 0 },
	roof = { name = "roof", definition = "wood_plank", x = 31.0, y = -4.3, angle = 0 },
	crate = { name = "crate", definition = "wood_crate", x = 31.0, y = -5.35, angle = 0 },
	target_1 = { name = "target_1", definition = "target", x = 31.0, y = -1.0, angle = 0, startNumber = 1 },
	pane = { name = "pane", definition = "glass_pane", x = 37.0, y = -1.5, angle = 0 },
	target_2 = { name = "target_2", definition = "target", x = 40.0, y = -1.0, angle = 0, startNumber = 2 },
	bush = { name = "bush", definition = "bush", x = 16.0, y = -0.75, angle = 0 },
	flower = { name = "flower", definition = "flower", x = 12.0, y = -0.5, angle = 0 },
}
joints = {}
