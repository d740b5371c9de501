#include "tools/xmgen/instruments.hpp"
#include "tools/xmgen/song.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <sstream>
#include <stdexcept>

namespace vantorel::xm {
namespace {

constexpr int RowsPerBar = 16;
constexpr int BarsPerPattern = 4;
constexpr int Channels = 12;

enum TChannel {
    ChLead,
    ChLead2,
    ChBass,
    ChPad1,
    ChPad2,
    ChPad3,
    ChArp,
    ChKick,
    ChSnare,
    ChHat,
    ChCrash
};
enum TInstrument : std::uint8_t {
    InLead = 1,
    InBass,
    InPad,
    InArp,
    InKick,
    InSnare,
    InHat,
    InCrash
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw std::invalid_argument(where + ": " + what);
}

std::vector<std::string> Tokens(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> out;
    std::string t;
    while (in >> t)
        out.push_back(t);
    return out;
}

/// Pitch class of a note letter with its accidentals, and how many characters it used.
int PitchClass(const std::string& s, std::size_t& used, const std::string& where) {
    static const std::map<char, int> letters = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5},
                                                {'G', 7}, {'A', 9}, {'B', 11}};
    if (s.empty() || !letters.count(s[0]))
        Fail(where, "bad note name '" + s + "'");
    int pc = letters.at(s[0]);
    used = 1;
    while (used < s.size() && (s[used] == '#' || s[used] == 'b'))
        pc += s[used++] == '#' ? 1 : -1;
    return (pc + 12) % 12;
}

/// Semitone number counted from C-0 (C-4 = 48).
int ParseNote(const std::string& s, const std::string& where) {
    std::size_t used = 0;
    const int pc = PitchClass(s, used, where);
    if (used + 1 != s.size() || s[used] < '0' || s[used] > '7')
        Fail(where, "bad note '" + s + "'");
    // Cb and B# cross the octave line the way musicians read them.
    int octave = s[used] - '0';
    if (s[0] == 'C' && pc == 11)
        --octave;
    if (s[0] == 'B' && pc == 0)
        ++octave;
    return octave * 12 + pc;
}

struct TChord {
    int Root = 0;           ///< pitch class
    std::vector<int> Tones; ///< semitones above the root, ascending
    bool operator==(const TChord&) const = default;
};

TChord ParseChord(const std::string& s, const std::string& where) {
    std::size_t used = 0;
    TChord c;
    c.Root = PitchClass(s, used, where);
    const std::string quality = s.substr(used);
    static const std::map<std::string, std::vector<int>> qualities = {
        {"", {0, 4, 7}},         {"m", {0, 3, 7}},    {"7", {0, 4, 7, 10}}, {"m7", {0, 3, 7, 10}},
        {"maj7", {0, 4, 7, 11}}, {"sus4", {0, 5, 7}}, {"sus2", {0, 2, 7}}};
    const auto it = qualities.find(quality);
    if (it == qualities.end())
        Fail(where, "unknown chord '" + s + "'");
    c.Tones = it->second;
    return c;
}

std::uint8_t NoteByte(int semitone, const std::string& where) {
    if (semitone < 0 || semitone > 95)
        Fail(where, "note out of range");
    return static_cast<std::uint8_t>(semitone + 1);
}

std::uint8_t VolumeByte(int volume) {
    return static_cast<std::uint8_t>(0x10 + std::clamp(volume, 0, 64));
}

/// Two scale steps below `note` in the song's key; a raised leading tone counts as the seventh.
int ThirdBelow(int note, const TSong& song) {
    static constexpr std::array<int, 7> minor = {0, 2, 3, 5, 7, 8, 10};
    static constexpr std::array<int, 7> major = {0, 2, 4, 5, 7, 9, 11};
    const auto& scale = song.Minor ? minor : major;
    auto degreeOf = [&](int n) {
        const int rel = ((n - song.Key) % 12 + 12) % 12;
        const auto it = std::find(scale.begin(), scale.end(), rel);
        return it == scale.end() ? -1 : static_cast<int>(it - scale.begin());
    };
    int degree = degreeOf(note);
    int base = note;
    if (degree < 0)
        degree = degreeOf(--base);
    const int target = (degree + 5) % 7; // two steps down
    int below = base - 1;
    while (degreeOf(below) != target)
        --below;
    return below;
}

class TArranger {
public:
    explicit TArranger(const TSong& song) : FSong(song) {}

    TXmModule Build() {
        int bars = 0;
        for (const TSection& s : FSong.Sections) {
            const int n = static_cast<int>(s.Chords.size());
            if (n == 0 || n % BarsPerPattern != 0)
                Fail(s.Name, "bar count must be a positive multiple of 4");
            if (!s.Lead.empty() && static_cast<int>(s.Lead.size()) != n)
                Fail(s.Name, "one lead bar per chord needed");
            FSectionStart.push_back(bars);
            bars += n;
        }
        if (FSong.LoopSection < 0 || FSong.LoopSection >= static_cast<int>(FSong.Sections.size()))
            Fail(FSong.Name, "loop section out of range");
        FRows = bars * RowsPerBar;
        FGrid.assign(static_cast<std::size_t>(FRows * Channels), TXmCell{});

        for (std::size_t i = 0; i < FSong.Sections.size(); ++i)
            Section(FSong.Sections[i], FSectionStart[i] * RowsPerBar);
        return Module();
    }

private:
    const TSong& FSong;
    std::vector<int> FSectionStart;
    int FRows = 0;
    std::vector<TXmCell> FGrid;
    std::vector<int> FPadVoicing;
    std::vector<int> FLeadNotes; ///< lead note per row (-1 none) for the second lead

    TXmCell& At(int row, int ch) { return FGrid[static_cast<std::size_t>(row * Channels + ch)]; }

    void Note(int row, int ch, int semitone, std::uint8_t instrument, int volume,
              const std::string& where) {
        if (row < 0 || row >= FRows)
            return;
        TXmCell& c = At(row, ch);
        c.Note = NoteByte(semitone, where);
        c.Instrument = instrument;
        c.Volume = VolumeByte(volume);
    }
    void Off(int row, int ch) {
        if (row < 0 || row >= FRows)
            return;
        At(row, ch) = TXmCell{};
        At(row, ch).Note = KeyOff;
    }

    void Section(const TSection& s, int row0) {
        const int bars = static_cast<int>(s.Chords.size());
        std::vector<TChord> chords;
        for (int b = 0; b < bars; ++b)
            chords.push_back(ParseChord(s.Chords[static_cast<std::size_t>(b)],
                                        s.Name + " bar " + std::to_string(b + 1)));

        LeadPart(s, row0);
        for (int b = 0; b < bars; ++b) {
            const int row = row0 + b * RowsPerBar;
            const std::string where = s.Name + " bar " + std::to_string(b + 1);
            const TChord& chord = chords[static_cast<std::size_t>(b)];
            BassBar(s.Bass, chord, row, b == 0, where);
            ArpBar(s, chord, row, b == 0, where);
            PadBar(s, chord, b == 0 || !(chord == chords[static_cast<std::size_t>(b - 1)]), row,
                   b == 0, where);
            const TGroove* groove = (b == bars - 1 && s.Fill) ? s.Fill : s.Groove;
            DrumBar(groove, row, where);
        }
        if (s.Crash)
            Note(row0, ChCrash, 48, InCrash, 56, s.Name);
    }

    void LeadPart(const TSection& s, int row0) {
        if (s.Lead.empty()) {
            Off(row0, ChLead);
            Off(row0, ChLead2);
            return;
        }
        // The lead line first, then the second lead follows it.
        std::vector<std::pair<int, int>> events; // (row, semitone or -1 = off)
        for (std::size_t b = 0; b < s.Lead.size(); ++b) {
            const std::string where = s.Name + " lead bar " + std::to_string(b + 1);
            const auto tokens = Tokens(s.Lead[b]);
            if (tokens.size() != 8)
                Fail(where, "8 eighth notes needed");
            for (std::size_t i = 0; i < 8; ++i) {
                const int row = row0 + static_cast<int>(b) * RowsPerBar + static_cast<int>(i) * 2;
                const std::string& t = tokens[i];
                if (t == ".")
                    continue;
                if (t == "-")
                    events.emplace_back(row, -1);
                else
                    events.emplace_back(row, ParseNote(t, where));
            }
        }
        for (const auto& [row, note] : events) {
            if (note < 0)
                Off(row, ChLead);
            else
                Note(row, ChLead, note, InLead, s.LeadVolume, s.Name);
        }
        if (s.LeadSecond == "off") {
            Off(row0, ChLead2);
        } else if (s.LeadSecond == "echo") {
            for (const auto& [row, note] : events) {
                const int r = row + FSong.EchoDelayRows;
                if (note < 0)
                    Off(r, ChLead2);
                else
                    Note(r, ChLead2, note, InLead, s.LeadVolume * 2 / 5, s.Name);
            }
        } else if (s.LeadSecond == "third") {
            for (const auto& [row, note] : events) {
                if (note < 0)
                    Off(row, ChLead2);
                else
                    Note(row, ChLead2, ThirdBelow(note, FSong), InLead, s.LeadVolume * 3 / 5,
                         s.Name);
            }
        } else {
            Fail(s.Name, "unknown second lead '" + s.LeadSecond + "'");
        }
    }

    void BassBar(const std::string& pattern, const TChord& chord, int row, bool first,
                 const std::string& where) {
        if (pattern.empty()) {
            if (first)
                Off(row, ChBass);
            return;
        }
        const auto steps = Tokens(pattern);
        if (steps.size() != RowsPerBar)
            Fail(where, "bass needs 16 steps");
        // Roots from E up to D#: the bass stays in one register and never leaps a seventh.
        const int root = FSong.BassOctave * 12 + chord.Root + (chord.Root < 4 ? 12 : 0);
        const int third = chord.Tones.size() > 1 ? chord.Tones[1] : 4;
        for (int i = 0; i < RowsPerBar; ++i) {
            const std::string& t = steps[static_cast<std::size_t>(i)];
            int note = -2;
            if (t == "R")
                note = root;
            else if (t == "O")
                note = root + 12;
            else if (t == "5")
                note = root + 7;
            else if (t == "3")
                note = root + third;
            else if (t == "-")
                note = -1;
            else if (t != ".")
                Fail(where, "bad bass step '" + t + "'");
            if (note == -1)
                Off(row + i, ChBass);
            else if (note >= 0)
                Note(row + i, ChBass, note, InBass, t == "R" && i % 4 == 0 ? 64 : 54, where);
        }
    }

    void ArpBar(const TSection& s, const TChord& chord, int row, bool first,
                const std::string& where) {
        if (s.Arp.empty()) {
            if (first)
                Off(row, ChArp);
            return;
        }
        const auto steps = Tokens(s.Arp);
        if (steps.size() != RowsPerBar)
            Fail(where, "arpeggio needs 16 steps");
        std::vector<int> tones;
        for (int t : chord.Tones)
            tones.push_back(FSong.ArpOctave * 12 + chord.Root + t);
        if (tones.size() == 3)
            tones.push_back(tones[0] + 12);
        for (int i = 0; i < RowsPerBar; ++i) {
            const std::string& t = steps[static_cast<std::size_t>(i)];
            if (t == ".")
                continue;
            if (t == "-") {
                Off(row + i, ChArp);
                continue;
            }
            if (t.size() != 1 || t[0] < '1' || t[0] > '4')
                Fail(where, "bad arpeggio step '" + t + "'");
            const int volume = s.ArpVolume - (i % 4 == 0 ? 0 : 8);
            Note(row + i, ChArp, tones[static_cast<std::size_t>(t[0] - '1')], InArp, volume, where);
        }
    }

    /// Three voices, each moved as little as possible from the last chord.
    void PadBar(const TSection& s, const TChord& chord, bool changed, int row, bool first,
                const std::string& where) {
        if (!s.Pad) {
            if (first)
                for (int ch : {ChPad1, ChPad2, ChPad3})
                    Off(row, ch);
            FPadVoicing.clear();
            return;
        }
        if (!changed && !first)
            return;
        std::vector<int> pcs;
        if (chord.Tones.size() == 4)
            pcs = {chord.Tones[1], chord.Tones[2], chord.Tones[3]};
        else
            pcs = {chord.Tones[0], chord.Tones[1], chord.Tones[2]};
        const int centre = FSong.PadOctave * 12 + 4;
        std::vector<int> best;
        int bestCost = 1 << 30;
        for (int low = centre - 6; low <= centre + 6; ++low) {
            std::vector<int> v;
            for (int pc : pcs) {
                int n = chord.Root + pc;
                while (n < low)
                    n += 12;
                while (n >= low + 12)
                    n -= 12;
                v.push_back(n);
            }
            std::sort(v.begin(), v.end());
            int cost = 0;
            for (std::size_t i = 0; i < v.size(); ++i)
                cost += FPadVoicing.empty() ? std::abs(v[i] - centre - 4 * static_cast<int>(i))
                                            : std::abs(v[i] - FPadVoicing[i]);
            if (cost < bestCost) {
                bestCost = cost;
                best = v;
            }
        }
        FPadVoicing = best;
        const int chs[3] = {ChPad1, ChPad2, ChPad3};
        for (int i = 0; i < 3; ++i)
            Note(row, chs[i], best[static_cast<std::size_t>(i)], InPad, s.PadVolume, where);
    }

    void DrumBar(const TGroove* g, int row, const std::string& where) {
        if (!g)
            return;
        auto lane = [&](const std::string& steps, int ch, std::uint8_t instrument) {
            if (steps.empty())
                return;
            if (steps.size() != RowsPerBar)
                Fail(where, "drum lanes need 16 steps");
            for (int i = 0; i < RowsPerBar; ++i) {
                const char c = steps[static_cast<std::size_t>(i)];
                if (c == '.')
                    continue;
                const int volume = c == 'X' ? 64 : c == 'x' ? 48 : c == 'o' ? 30 : -1;
                if (volume < 0)
                    Fail(where, std::string("bad drum step '") + c + "'");
                Note(row + i, ch, 48, instrument, volume, where);
            }
        };
        lane(g->Kick, ChKick, InKick);
        lane(g->Snare, ChSnare, InSnare);
        lane(g->Hat, ChHat, InHat);
    }

    TXmModule Module() {
        TXmModule m;
        m.Name = FSong.Name;
        m.Channels = Channels;
        m.Speed = FSong.Speed;
        m.Bpm = FSong.Bpm;
        const int patternRows = RowsPerBar * BarsPerPattern;
        for (int start = 0; start < FRows; start += patternRows) {
            TXmPattern p;
            p.Rows = patternRows;
            p.Cells.assign(FGrid.begin() + start * Channels,
                           FGrid.begin() + (start + patternRows) * Channels);
            const auto same = std::find(m.Patterns.begin(), m.Patterns.end(), p);
            if (same != m.Patterns.end()) {
                m.Orders.push_back(static_cast<std::uint8_t>(same - m.Patterns.begin()));
            } else {
                m.Orders.push_back(static_cast<std::uint8_t>(m.Patterns.size()));
                m.Patterns.push_back(std::move(p));
            }
        }
        m.Restart = FSectionStart[static_cast<std::size_t>(FSong.LoopSection)] / BarsPerPattern;
        for (const std::string* name : {&FSong.Lead, &FSong.Bass, &FSong.Pad, &FSong.Arp,
                                        &FSong.Kick, &FSong.Snare, &FSong.Hat, &FSong.Crash})
            m.Instruments.push_back(MakeInstrument(*name));
        return m;
    }
};

} // namespace

TXmModule Arrange(const TSong& song) {
    return TArranger(song).Build();
}

} // namespace vantorel::xm
