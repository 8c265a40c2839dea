-- Fixed blocks that break when hit hard enough.
staticfragile = {
	{ definition = "static_glass", type = "box", sprite = "glass_pane", width = 0.5, height = 3.0, density = 0, friction = 0.3, restitution = 0, material = "glass", strength = 3, defence = 0, damageFactors = "block", score = 300, z = 2 },
	{ definition = "static_glass_sheet", type = "box", sprite = "glass_sheet", width = 4.0, height = 0.5, density = 0, friction = 0.3, restitution = 0, material = "glass", strength = 3, defence = 0, damageFactors = "block", score = 300, z = 2 },
}
