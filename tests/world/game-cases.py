"""Headless cases of the game program: each plays an input script with documents of its own (and,
where it breaks or writes data, its own copy of the data directory) and checks the log, the exit
code and the captured frames.
    game-cases.py CASE GAME DATA DATACIPHER OUTPUT [LEVEL]
GAME: the game program; DATA: its built data directory (data_ipad); DATACIPHER: the data tool;
OUTPUT: a directory of the case's own, emptied first; LEVEL: the level that won_level plays."""

import os
import re
import shutil
import subprocess
import sys

from PIL import Image, ImageStat

# The recorded input scripts that win the levels, one for each level of the load list, named by it.
WINNING_SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "level-wins")

# Screen centres of the buttons the cases press: the menu's Play, the level select's tiles by
# level number, the level's pause button and the pause screen's Resume.
PLAY = (512, 354)
TILES = {1: (302, 260), 2: (512, 260), 3: (722, 260)}
PAUSE_BUTTON = (974, 44)
RESUME = (512, 306)
# Where the pause screen's "Save and quit" stands, a place of no button in a level in play.
QUIT_PLACE = (512, 546)
# A pull back from the launcher's launch point that lands the first orb on level 1's shelter.
FIRST_SHOT = [(240, 576), (200, 588), (160, 600)]


def tap(frame, point, finger=0):
    x, y = point
    return f"{frame} touch began {finger} {x} {y}\n{frame + 4} touch ended {finger} {x} {y}\n"


def key(frame, name):
    return f"{frame} key down {name}\n{frame + 1} key up {name}\n"


def drag(frame, points, end="ended"):
    """A finger down at the first point and moved through the others, 4 frames apart; it ends (or
    is cancelled) 6 frames after the last move."""
    lines = [f"{frame + 4 * i} touch {'moved' if i else 'began'} 0 {x} {y}\n" for i, (x, y) in enumerate(points)]
    x, y = points[-1]
    return "".join(lines) + f"{frame + 4 * len(points) + 2} touch {end} 0 {x} {y}\n"


def into_level(level):
    """From the menu into a level: the level is loaded by frame 80."""
    return tap(40, PLAY) + tap(70, TILES[level])


class Case:
    def __init__(self, game, data, datacipher, out):
        self.game, self.data, self.datacipher, self.out = game, data, datacipher, out
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)
        self.documents = self.path("documents")
        os.makedirs(self.documents)
        self.bundle = None

    def path(self, name):
        return os.path.join(self.out, name)

    def own_data(self):
        """A copy of the data directory that the case may break or write into; its path."""
        self.bundle = self.path("bundle")
        shutil.copytree(self.data, os.path.join(self.bundle, "data_ipad"))
        return os.path.join(self.bundle, "data_ipad")

    def cipher(self, command, key, source, target):
        subprocess.run([self.datacipher, command, "--key", key, source, target], check=True)

    def run(self, script, frames):
        """The game's exit code and its log (standard output and error, the debug log included)."""
        script_file = self.path("input.script")
        with open(script_file, "w") as f:
            f.write(script)
        os.makedirs(self.path("library"), exist_ok=True)
        command = [self.game, "--headless", "--frames", str(frames), "--script", script_file, "--output", self.out,
                   "--documents", self.documents, "--library", self.path("library"), "--caches", self.path("library")]
        if self.bundle:
            command += ["--data", self.bundle]
        environment = dict(os.environ, GAME_LOG="1")
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=environment, timeout=500)
        log = done.stdout.decode("utf-8", "replace")
        with open(self.path("game.log"), "w") as f:
            f.write(log)
        return done.returncode, log

    def brightness(self, capture):
        return ImageStat.Stat(Image.open(self.path(capture)).convert("L")).mean[0]


def expect(condition, what, log=""):
    if not condition:
        raise AssertionError(what + ("\n--- log (last lines) ---\n" + "\n".join(log.splitlines()[-40:]) if log else ""))


def lines_in_order(log, wanted):
    """Whether the wanted lines appear in the log in this order (other lines between them)."""
    lines = iter(log.splitlines())
    return all(any(line.startswith(w) for line in lines) for w in wanted)


def pause_and_resume(case):
    """Every way into the pause screen and out of it leaves the level as it was: its pause button
    works, no button of the pause screen is left behind, and the pause screen is drawn only
    while the level is paused."""
    script = (into_level(1) + "110 capture level.png\n"
              + key(120, "KEY_MENU") + "125 capture paused-by-key.png\n"
              + key(130, "KEY_MENU") + "135 capture resumed-by-key.png\n"
              + tap(140, QUIT_PLACE)
              + key(150, "KEY_MENU") + "155 capture paused-again.png\n"
              + key(160, "KEY_BACK") + "165 capture resumed-by-back.png\n"
              + tap(170, PAUSE_BUTTON) + "180 capture paused-by-button.png\n"
              + tap(190, RESUME) + "200 capture resumed-by-button.png\n"
              + "210 resign\n220 become\n230 capture paused-by-focus.png\n"
              + key(240, "KEY_MENU") + "245 capture resumed-after-focus.png\n"
              + tap(250, QUIT_PLACE) + "270 capture end.png\n")
    code, log = case.run(script, 280)
    expect(code == 0, f"exit code {code}", log)
    expect(lines_in_order(log, ["Level level_1 loaded"] + ["Level paused", "Level resumed"] * 4), "the pauses and resumes", log)
    played = log[:log.index("applicationWillTerminate")]
    expect(played.count("Level paused") == 4 and played.count("Level resumed") == 4, "four pauses and four resumes", log)
    level = case.brightness("level.png")
    for capture in ["paused-by-key.png", "paused-again.png", "paused-by-button.png", "paused-by-focus.png"]:
        expect(case.brightness(capture) < 0.8 * level, f"{capture} shows no pause screen")
    for capture in ["resumed-by-key.png", "resumed-by-back.png", "resumed-by-button.png", "resumed-after-focus.png", "end.png"]:
        expect(case.brightness(capture) > 0.9 * level, f"{capture} still shows the pause screen")


def broken_level(case):
    """A level file cut in half, and one of random bytes: each start goes back to the level select
    with a message, the game goes on to play a sound level, and the saved high scores stay."""
    data = case.own_data()
    level_1 = os.path.join(data, "levels", "level_1.lua")
    with open(level_1, "rb") as f:
        whole = f.read()
    with open(level_1, "wb") as f:
        f.write(whole[:len(whole) // 2])
    with open(os.path.join(data, "levels", "level_2.lua"), "wb") as f:
        f.write(bytes((i * 7919 + 13) % 256 for i in range(len(whole))))
    plain = case.path("highscores.txt")
    with open(plain, "w") as f:
        f.write("level_3 = { score = 12345, stars = 1 }\n")
    saved = os.path.join(case.documents, "highscores.lua")
    case.cipher("encrypt", "save", plain, saved)
    with open(saved, "rb") as f:
        before = f.read()

    script = (tap(40, PLAY) + tap(70, TILES[1]) + "90 capture not-loaded.png\n"
              + tap(100, TILES[2]) + tap(130, TILES[3]) + "250 capture level_3.png\n")
    code, log = case.run(script, 260)
    expect(code == 0, f"exit code {code}", log)
    expect(lines_in_order(log, ["Level level_1 did not load", "Level level_2 did not load", "Level level_3 loaded"]),
           "the broken levels go back to the level select and the next one plays", log)
    expect(log.count("Unable to load level.") == 2 and "Level file levels/level_1.lua: " in log, "the load failures logged", log)
    expect("High score level_3: 12345, 1 stars" in log, "the saved high score read", log)
    with open(saved, "rb") as f:
        expect(f.read() == before, "the saved high scores changed")


def unwritable_documents(case):
    """With a file where the documents folder should be, winning level 1 shows its end screen;
    the save failure is logged with the file and tried again at the next pause."""
    os.rmdir(case.documents)
    with open(case.documents, "w") as f:
        f.write("not a folder")
    script = (into_level(1) + drag(140, FIRST_SHOT) +
              "1000 touch began 0 240 576\n1006 touch moved 0 182 634\n1010 touch ended 0 182 634\n"
              "1400 capture end.png\n1410 resign\n1420 become\n")
    code, log = case.run(script, 1430)
    expect(code == 0, f"exit code {code}", log)
    expect("Level complete: level_1" in log, "level 1 was not won", log)
    expect(lines_in_order(log, ["Level complete: level_1", "Unable to save highscores.lua: ", "Game paused",
                                "Unable to save highscores.lua: "]), "the save failure and its retry", log)


def cancelled_touch(case):
    """A drag from the launcher that the system cancels fires nothing; the next drag does. A pause
    and a resume between the two mark in the log where the first one ended."""
    script = (into_level(1) + drag(140, FIRST_SHOT, "cancelled") + key(170, "KEY_MENU") + key(180, "KEY_MENU")
              + drag(200, FIRST_SHOT))
    code, log = case.run(script, 230)
    expect(code == 0, f"exit code {code}", log)
    launches = [line for line in log.splitlines() if "name=shot " in line]
    expect(len(launches) == 1 and lines_in_order(log, ["Level level_1 loaded", "Level paused", "Level resumed", launches[0]]),
           "one orb launched, by the drag that ended", log)


def failing_update(case):
    """A game logic whose "update" fails on every frame after the tenth: the game still draws its
    frames and runs to its frame limit, the failure is logged once with the callback's name and
    the script line, and how often it came again is logged as the game ends."""
    data = case.own_data()
    logic = os.path.join(data, "scripts", "gamelogic.lua")
    plain = case.path("gamelogic.txt")
    case.cipher("decrypt", "data", logic, plain)
    with open(plain) as f:
        text = f.read()
    if not text.endswith("\n"):
        text += "\n"
    failing_line = text.count("\n") + 4
    text += ("local updates, playedUpdate = 0, update\n"
             "function update(dt, dt2)\n"
             "  updates = updates + 1\n"
             "  if updates > 10 then local broken = nil broken.field = 1 end\n"
             "  playedUpdate(dt, dt2)\n"
             "end\n")
    with open(plain, "w") as f:
        f.write(text)
    case.cipher("encrypt", "data", plain, logic)

    code, log = case.run("5 capture before.png\n200 capture after.png\n", 210)
    expect(code == 0, f"exit code {code}", log)
    expect("Exception from game" not in log, "the failure ended the game", log)
    # The interpreter names the file by the start of its path, cut to its own length.
    failure = f'"]:{failing_line}: attempt to index local \'broken\' (a nil value)'
    first = [line for line in log.splitlines() if line.startswith('Script error in "update": ')]
    expect(len(first) == 1 and failure in first[0], "the failure logged once, with its script line", log)
    repeats = [line for line in log.splitlines() if line.startswith('Script error in "update" repeated ')]
    expect(len(repeats) == 1 and int(repeats[0].split()[5]) > 150, "the repeats counted once", log)
    expect(len([line for line in log.splitlines() if line.startswith("Script error")]) == 2, "other script errors", log)
    expect(abs(case.brightness("after.png") - case.brightness("before.png")) < 1, "the menu is no longer drawn")


def saved_highscore(case, level):
    """The score and stars that the high scores saved in the documents folder hold for a level,
    deciphered under the save key as the game reads them."""
    plain = case.path("highscores.txt")
    case.cipher("decrypt", "save", os.path.join(case.documents, "highscores.lua"), plain)
    with open(plain) as f:
        text = f.read()
    entry = re.search(r"^" + re.escape(level) + r" = \{(.*?)^\}", text, re.M | re.S)
    expect(entry is not None, f"no entry for {level} in the saved high scores:\n{text}")
    values = dict(re.findall(r"^\s*(\w+) = ([-+.0-9eE]+),?$", entry.group(1), re.M))
    expect("score" in values and "stars" in values, f"the saved entry of {level} lacks its score or stars:\n{text}")
    return float(values["score"]), float(values["stars"])


def won_level(case, level):
    """A level played from the menu to its end screen by its recorded input script, which ends with
    a capture of that screen: the level is won on the way, with no script error, and the saved high
    scores hold the score and stars the end screen shows."""
    with open(os.path.join(WINNING_SCRIPTS, level + ".script")) as f:
        script = f.read()
    frames = [int(line.split()[0]) for line in script.splitlines() if line.split() and not line.lstrip().startswith("#")]
    code, log = case.run(script, frames[-1] + 1)
    expect(code == 0, f"exit code {code}", log)
    won = re.findall(r"^Level complete: " + re.escape(level) + r" score (\d+), (\d) stars$", log, re.M)
    expect(len(won) == 1, f"{level} was not won", log)
    for failure in ["Level failed", "Script error", "EXCEPTION", "Unable to"]:
        expect(failure not in log, f"\"{failure}\" in the log", log)
    score, stars = (int(value) for value in won[0])
    expect(saved_highscore(case, level) == (score, stars), f"the saved high score of {level} is not the {score} with {stars} stars shown")


CASES = {f.__name__: f for f in [pause_and_resume, broken_level, unwritable_documents, cancelled_touch, failing_update, won_level]}


def main(argv):
    """Cases that take more (won_level: the level's name) find it after OUTPUT."""
    name, game, data, datacipher, out = argv[1:6]
    CASES[name](Case(game, data, datacipher, out), *argv[6:])
    print(f"{name}: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
