-- A level of shipped pieces held by every kind of joint, in the shipped levels' form: a bridge
-- of four planks hinged to each other and to two towers, a crate welded on a pillar, a stone
-- block driven along a ledge, a target hung from a ledge on a spring, two crates held apart by a
-- rod and a destroy link from one of them to a target.
-- Positions are the centres of the pieces in metres; y grows downward and the ground is y = 0.
filename = "joined.lua"
world = {
	tower_left = { name = "tower_left", definition = "static_tower", x = 0.0, y = -3.0, angle = 0 },
	tower_right = { name = "tower_right", definition = "static_tower", x = 25.5, y = -3.0, angle = 0 },
	plank_1 = { name = "plank_1", definition = "wood_plank", x = 3.75, y = -6.3, angle = 0 },
	plank_2 = { name = "plank_2", definition = "wood_plank", x = 9.75, y = -6.3, angle = 0 },
	plank_3 = { name = "plank_3", definition = "wood_plank", x = 15.75, y = -6.3, angle = 0 },
	plank_4 = { name = "plank_4", definition = "wood_plank", x = 21.75, y = -6.3, angle = 0 },
	pillar = { name = "pillar", definition = "wood_pillar", x = 40.0, y = -2.0, angle = 0 },
	crate = { name = "crate", definition = "wood_crate", x = 40.0, y = -4.75, angle = 0 },
	ledge = { name = "ledge", definition = "static_ledge", x = 55.0, y = -0.5, angle = 0 },
	block = { name = "block", definition = "stone_block", x = 55.0, y = -1.75, angle = 0 },
	hook = { name = "hook", definition = "static_ledge", x = 70.0, y = -12.0, angle = 0 },
	target_1 = { name = "target_1", definition = "target", x = 70.0, y = -8.0, angle = 0, startNumber = 1 },
	crate_a = { name = "crate_a", definition = "wood_crate", x = 80.0, y = -0.75, angle = 0 },
	crate_b = { name = "crate_b", definition = "wood_crate", x = 84.0, y = -0.75, angle = 0 },
	target_2 = { name = "target_2", definition = "target", x = 90.0, y = -1.0, angle = 0, startNumber = 2 },
}
joints = {
	hinge_left = { type = 3, name = "hinge_left", end1 = "plank_1", end2 = "tower_left", x1 = -3, y1 = 0, x2 = 0, y2 = 0 },
	hinge_1 = { type = 3, name = "hinge_1", end1 = "plank_1", end2 = "plank_2", x1 = 3, y1 = 0, x2 = -3, y2 = 0 },
	hinge_2 = { type = 3, name = "hinge_2", end1 = "plank_2", end2 = "plank_3", x1 = 3, y1 = 0, x2 = -3, y2 = 0 },
	hinge_3 = { type = 3, name = "hinge_3", end1 = "plank_3", end2 = "plank_4", x1 = 3, y1 = 0, x2 = -3, y2 = 0 },
	hinge_right = { type = 3, name = "hinge_right", end1 = "plank_4", end2 = "tower_right", x1 = 3, y1 = 0, x2 = 0, y2 = 0 },
	weld = { type = 2, name = "weld", end1 = "crate", end2 = "pillar", x1 = 0, y1 = 0.75, x2 = 0, y2 = -2 },
	slider = { type = 4, name = "slider", end1 = "ledge", end2 = "block", x1 = 0, y1 = -1.25, x2 = 0, y2 = 0,
		worldAxisX = 1, worldAxisY = 0, lowerLimit = -2, upperLimit = 2, motorSpeed = 1, maxTorque = 1000 },
	spring = { type = 1, name = "spring", end1 = "hook", end2 = "target_1", coordType = 2, x1 = 0, y1 = 0.5, x2 = 0, y2 = -1,
		frequency = 2, dampingRatio = 0.3 },
	rod = { type = 1, name = "rod", end1 = "crate_a", end2 = "crate_b", coordType = 1, x1 = 80, y1 = -0.75, x2 = 84, y2 = -0.75, frequency = 0 },
	link = { type = 5, name = "link", end1 = "crate_b", end2 = "target_2", x1 = 0, y1 = 0, x2 = 0, y2 = 0, destroyTimer = 2 },
}
