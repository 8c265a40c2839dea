-- The game service's leaderboards: one per level, by level file name.
level_1 = { id = "game2d.level_1", title = "Level 1" }
