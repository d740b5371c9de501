// The two compositions. Each bar of a lead is eight eighth notes; '.' holds, '-' stops.
#include "tools/xmgen/song.hpp"

namespace vantorel::xm {
namespace {

// ---------------------------------------------------------------------------------
// Race: A minor, 150 BPM. A pumping octave bass under a pulse lead; the theme comes
// back higher and harmonised, and the turnaround on E drops back into the first theme.

const TGroove RaceIntro = {"x...x...x...x...", "", "..x...x...x...x."};
const TGroove RaceDrive = {"x...x...x...x...", "....X.......X...", "o.x.o.xoo.x.o.xo"};
const TGroove RaceChorus = {"x...x...x...x.x.", "....X.......X..o", "oxXxoxXxoxXxoxXx"};
const TGroove RaceFill = {"x...x...x...x...", "....X...x.x.XxXX", "o.x.o.x.o......."};
const TGroove RaceBigFill = {"x.....x.x.x.x...", "..o.x.o.xxxxXXXX", "o.x.o.x........."};
const TGroove RaceBreak = {"", "", "..o...o...o...o."};
const TGroove RaceBuild = {"x...x...x...x...", "o...o...x.x.xxXX", "..o...o...o...o."};

const std::vector<std::string> RaceChordsA = {"Am", "F", "C", "G", "Am", "F", "G", "E"};
const std::vector<std::string> RaceChordsB = {"F", "G", "Em", "Am", "F", "G", "E", "E"};

const std::vector<std::string> RaceThemeA = {
    "A4 . C5 . E5 . D5 C5", "C5 . A4 . F4 . A4 C5", "E5 . G5 . E5 . D5 C5", "D5 . . . B4 . G4 .",
    "A4 . C5 . E5 . A5 .",  "G5 . F5 . E5 . C5 .",  "D5 . E5 . D5 . B4 G4", "G#4 . . . B4 . E5 .",
};
// The answer: same opening, then it climbs to the top of the range.
const std::vector<std::string> RaceThemeA2 = {
    "A4 . C5 . E5 . D5 C5", "C5 . A4 . F4 . A4 C5", "E5 . G5 . C6 . B5 G5", "A5 . G5 . - . D5 .",
    "E5 . A5 . C6 . B5 A5", "A5 . . . F5 . A5 .",   "G5 . F5 . E5 . D5 .",  "E5 . . . . . - .",
};
const std::vector<std::string> RaceChorus1 = {
    "A5 . . . G5 . A5 .", "B5 . . . A5 . G5 .", "G5 . . . E5 . . .",  "C6 . B5 . A5 . E5 .",
    "A5 . . . G5 . A5 .", "B5 . . . D6 . B5 .", "G#5 . . . B5 . . .", "E5 . . . - . . .",
};
// Second chorus: the same climb, resolved higher and pushed on into the turnaround.
const std::vector<std::string> RaceChorus2 = {
    "A5 . . . G5 . A5 .",  "B5 . . . A5 . G5 .", "G5 . . . E5 . G5 .",   "C6 . B5 . A5 . C6 .",
    "A5 . . . G5 . A5 C6", "D6 . . . B5 . G5 .", "G#5 . B5 . E6 . D6 .", "B5 . . . G#5 . E5 .",
};
// The solo runs up the chorus chords in eighths and lands on the dominant.
const std::vector<std::string> RaceSolo = {
    "A5 G5 F5 G5 A5 . C6 .", "B5 A5 G5 A5 B5 . D6 .", "C6 B5 A5 B5 C6 . E6 .",
    "E6 . D6 C6 B5 . A5 .",  "A5 G5 F5 E5 F5 . A5 .", "G5 F5 E5 D5 E5 . G5 .",
    "G#5 . B5 . E6 . D6 .",  "B5 . G#5 . E5 . - .",
};
const std::vector<std::string> RaceTurnaround = {
    "A5 . . . G5 . E5 .",
    "F5 . . . E5 . C5 .",
    "D5 . . . B4 . G4 .",
    "G#4 . . . B4 . . .",
};

// ---------------------------------------------------------------------------------
// Menu: D minor, 90 BPM. A slow pad and a bell arpeggio; a breathy lead sings a long
// phrase, answers itself, moves to the subdominant for a second idea, rests over the
// bridge, then returns harmonised. The last chord, A, leads back into the opening Dm.

const TGroove MenuSoft = {"x.........x.....", "........o.......", "..o...o...o...o."};
const TGroove MenuSoftB = {"x.........x...o.", "....o.......x...", "o.o.o.o.o.o.o.o."};
const TGroove MenuFill = {"x.........x.....", "........o.o.oxox", "..o...o........."};
const TGroove MenuHats = {"", "", "..o...o...o...o."};
const TGroove MenuSwell = {"x.......x.......", "........o.o.o.ox", "..o...o...o...o."};

const std::vector<std::string> MenuChordsA = {"Dm", "Bb", "F", "C", "Dm", "Bb", "Gm", "A"};
const std::vector<std::string> MenuChordsB = {"Gm", "Dm", "Bb", "F", "Gm", "Dm", "A", "A"};
const std::vector<std::string> MenuChordsBridge = {"Bbmaj7", "C", "Am", "Dm",
                                                   "Bbmaj7", "C", "Gm", "A"};

const std::vector<std::string> MenuThemeA = {
    "A4 . . . D5 . E5 .", "F5 . . . . . E5 D5", "C5 . . . A4 . C5 .",  "G4 . . . . . - .",
    "A4 . . . D5 . E5 .", "F5 . . . G5 . F5 .", "D5 . . . Bb4 . D5 .", "C#5 . . . . . - .",
};
const std::vector<std::string> MenuThemeA2 = {
    "A4 . . . D5 . E5 .", "F5 . . . . . G5 A5", "C6 . . . A5 . G5 .", "G5 . . . E5 . . .",
    "F5 . . . E5 . D5 .", "D5 . . . F5 . D5 .", "G5 . . . F5 . E5 .", "E5 . . . C#5 . - .",
};
const std::vector<std::string> MenuThemeB = {
    "Bb5 . . . A5 . G5 .", "A5 . . . F5 . . .",  "D5 . . . F5 . Bb5 .", "A5 . . . . . - .",
    "G5 . . . Bb5 . A5 .", "F5 . . . A5 . D6 .", "C#6 . . . A5 . . .",  "E5 . . . - . . .",
};
// Over the bridge the lead only recalls the opening's first notes.
const std::vector<std::string> MenuBridge = {
    "- . . . . . . .",  "- . . . . . . .",   "- . . . . . . .",   "A4 . . . D5 . E5 .",
    "F5 . . . . . . .", "E5 . . . G5 . . .", "F5 . . . D5 . . .", "C#5 . . . . . - .",
};
const std::vector<std::string> MenuOutro = {
    "F5 . . . E5 . D5 .",
    "E5 . . . C5 . . .",
    "D5 . . . Bb4 . . .",
    "A4 . . . . . - .",
};

} // namespace

TSong RaceSong() {
    TSong s;
    s.Name = "Vantorel Race";
    s.Speed = 6;
    s.Bpm = 150;
    s.Key = 9; // A minor
    s.Minor = true;
    s.Lead = "pulse lead";
    s.Bass = "saw bass";
    s.Pad = "saw pad";
    s.Arp = "pluck";
    s.Kick = "kick";
    s.Snare = "snare";
    s.Hat = "hat";
    s.Crash = "crash";
    s.BassOctave = 2;
    s.PadOctave = 4;
    s.ArpOctave = 4;
    s.EchoDelayRows = 3;

    const std::string pump = "R . R O . R O . R . R O . R 5 O";
    const std::string arp8 = "1 . 3 . 4 . 3 . 2 . 3 . 4 . 3 .";
    const std::string arp16 = "1 2 3 4 3 2 1 2 1 2 3 4 3 4 3 2";

    TSection intro{
        "intro", {"Am", "Am", "F", "G"}, {}, "off", "R . . . R . . . R . . . R . R .", "", true,
        24};
    intro.Groove = &RaceIntro;
    intro.Fill = &RaceFill;

    TSection a{"theme", RaceChordsA, RaceThemeA, "echo", pump, "", true, 32};
    a.Groove = &RaceDrive;
    a.Fill = &RaceFill;
    a.Crash = true;

    TSection a2{"answer", RaceChordsA, RaceThemeA2, "echo", pump, arp8, true, 32, 64, 28};
    a2.Groove = &RaceDrive;
    a2.Fill = &RaceFill;
    a2.Crash = true;

    TSection b{"chorus", RaceChordsB, RaceChorus1, "third", pump, arp16, true, 40, 64, 30};
    b.Groove = &RaceChorus;
    b.Fill = &RaceBigFill;
    b.Crash = true;

    TSection brk{"breakdown",
                 {"Am", "F", "C", "G"},
                 {},
                 "off",
                 "R . . . . . . . . . . . R . . .",
                 arp16,
                 true,
                 44,
                 64,
                 38};
    brk.Groove = &RaceBreak;
    brk.Fill = &RaceBuild;

    TSection a3{"theme again", RaceChordsA, RaceThemeA, "third", pump, arp8, true, 36, 64, 28};
    a3.Groove = &RaceDrive;
    a3.Fill = &RaceFill;
    a3.Crash = true;

    TSection b2{"chorus again", RaceChordsB, RaceChorus2, "echo", pump, arp16, true, 40, 64, 30};
    b2.Groove = &RaceChorus;
    b2.Fill = &RaceBigFill;
    b2.Crash = true;

    TSection solo{"solo",   {"F", "G", "Am", "Am", "F", "G", "E", "E"},
                  RaceSolo, "echo",
                  pump,     arp16,
                  true,     36,
                  64,       30};
    solo.Groove = &RaceDrive;
    solo.Fill = &RaceFill;
    solo.Crash = true;

    TSection turn{
        "turnaround", {"Am", "F", "G", "E"}, RaceTurnaround, "echo", pump, arp8, true, 36, 64, 28};
    turn.Groove = &RaceDrive;
    turn.Fill = &RaceBigFill;

    s.Sections = {intro, a, a2, b, brk, a3, b2, solo, turn};
    s.LoopSection = 1;
    return s;
}

TSong MenuSong() {
    TSong s;
    s.Name = "Vantorel Menu";
    s.Speed = 6;
    s.Bpm = 90;
    s.Key = 2; // D minor
    s.Minor = true;
    s.Lead = "soft lead";
    s.Bass = "round bass";
    s.Pad = "warm pad";
    s.Arp = "bell";
    s.Kick = "soft kick";
    s.Snare = "rim";
    s.Hat = "hat";
    s.Crash = "crash";
    s.BassOctave = 2;
    s.PadOctave = 4;
    s.ArpOctave = 5;
    s.EchoDelayRows = 3;

    const std::string bassA = "R . . . . . . . 5 . . . . . . .";
    const std::string bassB = "R . . . . . R . 5 . . . O . . .";
    const std::string bells = "1 . 3 . 4 . 3 . 2 . 3 . 4 . 3 .";
    const std::string bellsSparse = "1 . . . 3 . . . 4 . . . 2 . . .";

    TSection intro{"intro",
                   {"Dm", "Bb", "F", "C"},
                   {},
                   "off",
                   "R . . . . . . . . . . . . . . .",
                   bellsSparse,
                   true,
                   30,
                   64,
                   30};

    TSection a{"theme", MenuChordsA, MenuThemeA, "echo", bassA, bellsSparse, true, 34, 60, 24};
    a.Groove = &MenuSoft;
    a.Fill = &MenuFill;

    TSection a2{"answer", MenuChordsA, MenuThemeA2, "echo", bassA, bells, true, 34, 60, 26};
    a2.Groove = &MenuSoft;
    a2.Fill = &MenuFill;

    TSection b{"second idea", MenuChordsB, MenuThemeB, "third", bassB, bells, true, 38, 60, 26};
    b.Groove = &MenuSoftB;
    b.Fill = &MenuFill;
    b.Crash = true;

    TSection bridge{"bridge",
                    MenuChordsBridge,
                    MenuBridge,
                    "echo",
                    "R . . . . . . . . . . . . . . .",
                    bells,
                    true,
                    42,
                    56,
                    32};
    bridge.Groove = &MenuHats;
    bridge.Fill = &MenuSwell;

    TSection a3{"theme again", MenuChordsA, MenuThemeA2, "third", bassB, bells, true, 36, 60, 26};
    a3.Groove = &MenuSoftB;
    a3.Fill = &MenuFill;
    a3.Crash = true;

    TSection outro{
        "outro", {"Bb", "C", "Gm", "A"}, MenuOutro, "echo", bassA, bellsSparse, true, 34, 56, 24};
    outro.Groove = &MenuSoft;
    outro.Fill = &MenuFill;

    s.Sections = {intro, a, a2, b, bridge, a3, outro};
    s.LoopSection = 0;
    return s;
}

} // namespace vantorel::xm
