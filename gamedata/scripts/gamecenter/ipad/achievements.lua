-- The game's own achievement definitions; the game service adds progress to them.
achievementDefinitions = {
	first_clear = { id = "game2d.first_clear", title = "First clear", achievedText = "Cleared a level", icon = "target" },
	one_shot = { id = "game2d.one_shot", title = "One shot", achievedText = "Cleared a level with one shot", icon = "projectile" },
}
