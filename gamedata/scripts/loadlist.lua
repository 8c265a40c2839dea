-- The levels in playing order, as paths under the data directory without ".lua".
levelList = { "levels/level_1" }
