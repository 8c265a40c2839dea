-- Level 5: A fortress of stone and wood in three bays, four targets, coals in front.
-- Positions are the centres of the pieces in metres; y grows downward and the ground is y = 0.
filename = "level_5.lua"
theme = "dusk"
physicsToWorld = 20
-- The orbs the launcher fires, in order.
shots = { "orb_split", "orb_heavy", "orb_boost", "orb_split" }
counts = { projectiles = 4 }
castleCameraData = { x = -160, y = -776, scale = 0.85 }
projectileCameraData = { x = -160, y = -776, scale = 0.85 }
world = {
	launcher = { name = "launcher", definition = "launcher", x = 4.0, y = -2.0, angle = 0 },
	coals = { name = "coals", definition = "hazard_coals", x = 26.0, y = -0.4, angle = 0 },
	c1 = { name = "c1", definition = "stone_column", x = 30.0, y = -1.5, angle = 0 },
	c2 = { name = "c2", definition = "stone_column", x = 34.0, y = -1.5, angle = 0 },
	slab_1 = { name = "slab_1", definition = "stone_slab", x = 32.0, y = -3.4, angle = 0 },
	target_1 = { name = "target_1", definition = "target", x = 32.0, y = -1.0, angle = 0, startNumber = 1 },
	p1 = { name = "p1", definition = "wood_pillar", x = 36.0, y = -2.0, angle = 0 },
	p2 = { name = "p2", definition = "wood_pillar", x = 40.0, y = -2.0, angle = 0 },
	floor = { name = "floor", definition = "wood_plank", x = 38.0, y = -4.3, angle = 0 },
	target_2 = { name = "target_2", definition = "target_big", x = 38.0, y = -1.4, angle = 0, startNumber = 2 },
	glass = { name = "glass", definition = "glass_block", x = 38.0, y = -5.35, angle = 0 },
	target_3 = { name = "target_3", definition = "target", x = 38.0, y = -7.1, angle = 0, startNumber = 3 },
	c3 = { name = "c3", definition = "stone_column", x = 42.0, y = -1.5, angle = 0 },
	c4 = { name = "c4", definition = "stone_column", x = 46.0, y = -1.5, angle = 0 },
	slab_2 = { name = "slab_2", definition = "stone_slab", x = 44.0, y = -3.4, angle = 0 },
	sheet = { name = "sheet", definition = "glass_sheet", x = 44.0, y = -3.95, angle = 0 },
	target_4 = { name = "target_4", definition = "target", x = 44.0, y = -1.0, angle = 0, startNumber = 4 },
}
joints = {}
