#include "tools/xmgen/xm_writer.hpp"

#include <cmath>
#include <stdexcept>

namespace vantorel::xm {
namespace {

class TBytes {
public:
    std::vector<std::uint8_t> Out;
    void U8(unsigned v) { Out.push_back(static_cast<std::uint8_t>(v)); }
    void U16(unsigned v) {
        U8(v & 0xFF);
        U8((v >> 8) & 0xFF);
    }
    void U32(std::uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void Text(const std::string& s, std::size_t width, char pad) {
        for (std::size_t i = 0; i < width; ++i)
            Out.push_back(static_cast<std::uint8_t>(i < s.size() ? s[i] : pad));
    }
    void Zeros(std::size_t n) { Out.insert(Out.end(), n, 0); }
};

void Check(bool ok, const std::string& what) {
    if (!ok)
        throw std::invalid_argument(what);
}

void CheckCell(const TXmCell& c) {
    Check(c.Note <= KeyOff, "note byte above key off");
    Check(c.Volume < 0x51 || c.Volume > 0x5F, "undefined volume-column byte");
    Check(c.Effect <= 35, "effect type out of range");
    Check(!(c.Effect == 15 && c.Param == 0), "F00 is not allowed");
}

std::vector<std::uint8_t> PackPattern(const TXmPattern& p, int channels) {
    std::vector<std::uint8_t> data;
    for (const TXmCell& c : p.Cells) {
        CheckCell(c);
        std::uint8_t flags = 0x80;
        if (c.Note)
            flags |= 0x01;
        if (c.Instrument)
            flags |= 0x02;
        if (c.Volume)
            flags |= 0x04;
        if (c.Effect)
            flags |= 0x08;
        if (c.Param)
            flags |= 0x10;
        if (flags == 0x9F) { // every field set: the plain five bytes are one shorter
            data.insert(data.end(), {c.Note, c.Instrument, c.Volume, c.Effect, c.Param});
            continue;
        }
        data.push_back(flags);
        if (c.Note)
            data.push_back(c.Note);
        if (c.Instrument)
            data.push_back(c.Instrument);
        if (c.Volume)
            data.push_back(c.Volume);
        if (c.Effect)
            data.push_back(c.Effect);
        if (c.Param)
            data.push_back(c.Param);
    }
    if (data.size() == static_cast<std::size_t>(p.Rows * channels)) {
        // Every cell empty: such a pattern is stored with no data, and players then
        // keep its length only if it is the usual 64 rows.
        Check(p.Rows == 64, "an empty pattern must have 64 rows");
        data.clear();
    }
    Check(data.size() <= 0xFFFF, "pattern data too large");
    return data;
}

void WriteEnvelope(TBytes& b, const TXmEnvelope& e) {
    for (std::size_t i = 0; i < 12; ++i) {
        if (i < e.Points.size()) {
            b.U16(e.Points[i].first);
            b.U16(e.Points[i].second);
        } else {
            b.U16(0);
            b.U16(0);
        }
    }
}

void CheckEnvelope(const TXmEnvelope& e) {
    const int n = static_cast<int>(e.Points.size());
    Check(n <= 12, "envelope with more than 12 points");
    if (n == 0)
        return;
    Check(e.Points[0].first == 0, "an envelope starts at tick 0");
    for (int i = 0; i < n; ++i) {
        Check(e.Points[static_cast<std::size_t>(i)].second <= 64, "envelope level above 64");
        if (i > 0)
            Check(e.Points[static_cast<std::size_t>(i)].first >
                      e.Points[static_cast<std::size_t>(i - 1)].first,
                  "envelope ticks must increase");
    }
    Check(e.Sustain < n && e.LoopStart < n && e.LoopEnd < n, "envelope point index past the count");
    Check((e.LoopStart < 0) == (e.LoopEnd < 0) && e.LoopStart <= e.LoopEnd,
          "envelope loop start after its end");
}

std::uint8_t Index(int i) {
    return static_cast<std::uint8_t>(i < 0 ? 0 : i);
}

} // namespace

std::pair<std::int8_t, std::int8_t> PitchForRate(double rateAtC4) {
    const double t = std::round(1536.0 * std::log2(rateAtC4 / 8363.0));
    const long units = std::lround(t / 8.0) * 8;
    long relative = units >= 0 ? units / 128 : -((-units + 127) / 128);
    const long fine = units - 128 * relative;
    Check(relative >= -48 && relative <= 71, "sample rate out of the relative-note range");
    return {static_cast<std::int8_t>(relative), static_cast<std::int8_t>(fine)};
}

std::vector<std::uint8_t> WriteXm(const TXmModule& m) {
    Check(m.Channels >= 2 && m.Channels <= 32 && m.Channels % 2 == 0,
          "channel count must be even, 2..32");
    Check(!m.Orders.empty() && m.Orders.size() <= 256, "song length must be 1..256");
    Check(m.Restart >= 0 && static_cast<std::size_t>(m.Restart) < m.Orders.size(),
          "restart position past the song");
    Check(!m.Patterns.empty() && m.Patterns.size() <= 256, "pattern count must be 1..256");
    Check(m.Instruments.size() <= 128, "more than 128 instruments");
    Check(m.Speed >= 1 && m.Speed <= 31, "speed must be 1..31");
    Check(m.Bpm >= 32 && m.Bpm <= 255, "BPM must be 32..255");
    for (std::uint8_t o : m.Orders)
        Check(o < m.Patterns.size(), "order names a missing pattern");

    TBytes b;
    b.Text("Extended Module: ", 17, ' ');
    b.Text(m.Name, 20, ' ');
    b.U8(0x1A);
    b.Text("vantorel-xmgen", 20, ' ');
    b.U16(0x0104);
    b.U32(276);
    b.U16(static_cast<unsigned>(m.Orders.size()));
    b.U16(static_cast<unsigned>(m.Restart));
    b.U16(static_cast<unsigned>(m.Channels));
    b.U16(static_cast<unsigned>(m.Patterns.size()));
    b.U16(static_cast<unsigned>(m.Instruments.size()));
    b.U16(1); // linear frequency table
    b.U16(static_cast<unsigned>(m.Speed));
    b.U16(static_cast<unsigned>(m.Bpm));
    for (std::size_t i = 0; i < 256; ++i)
        b.U8(i < m.Orders.size() ? m.Orders[i] : 0);

    for (const TXmPattern& p : m.Patterns) {
        Check(p.Rows >= 1 && p.Rows <= 256, "pattern rows must be 1..256");
        Check(p.Cells.size() == static_cast<std::size_t>(p.Rows * m.Channels),
              "pattern cell count mismatch");
        const auto data = PackPattern(p, m.Channels);
        b.U32(9);
        b.U8(0);
        b.U16(static_cast<unsigned>(p.Rows));
        b.U16(static_cast<unsigned>(data.size()));
        b.Out.insert(b.Out.end(), data.begin(), data.end());
    }

    for (const TXmInstrument& ins : m.Instruments) {
        const TXmSample& s = ins.Sample;
        CheckEnvelope(ins.VolumeEnvelope);
        Check(!s.Data.empty() && s.Data.size() <= 0x7FFFFFFF / 2, "sample without data");
        Check(s.LoopStart + s.LoopLength <= s.Data.size(), "sample loop past its end");
        Check(s.Volume <= 64, "sample volume above 64");
        Check(ins.Fadeout <= 0x0FFF, "fadeout above 0x0FFF");
        Check(ins.VibratoDepth <= 15 && ins.VibratoRate <= 63 && ins.VibratoType <= 3,
              "auto-vibrato out of range");

        b.U32(263);
        b.Text(ins.Name, 22, ' ');
        b.U8(0);
        b.U16(1);
        b.U32(40);
        b.Zeros(96); // every note plays sample 0
        WriteEnvelope(b, ins.VolumeEnvelope);
        WriteEnvelope(b, TXmEnvelope{});
        const TXmEnvelope& e = ins.VolumeEnvelope;
        b.U8(static_cast<unsigned>(e.Points.size()));
        b.U8(0);
        b.U8(Index(e.Sustain));
        b.U8(Index(e.LoopStart));
        b.U8(Index(e.LoopEnd));
        b.Zeros(3);
        b.U8(e.Points.empty() ? 0u
                              : 1u | (e.Sustain >= 0 ? 2u : 0u) | (e.LoopStart >= 0 ? 4u : 0u));
        b.U8(0);
        b.U8(ins.VibratoType);
        b.U8(ins.VibratoSweep);
        b.U8(ins.VibratoDepth);
        b.U8(ins.VibratoRate);
        b.U16(ins.Fadeout);
        b.Zeros(22);

        const auto frames = static_cast<std::uint32_t>(s.Data.size());
        b.U32(frames * 2);
        b.U32(s.LoopLength ? s.LoopStart * 2 : 0);
        b.U32(s.LoopLength * 2);
        b.U8(s.Volume);
        b.U8(static_cast<std::uint8_t>(s.Finetune));
        b.U8(0x10u | (s.LoopLength ? 1u : 0u)); // 16-bit, forward loop when looped
        b.U8(s.Panning);
        b.U8(static_cast<std::uint8_t>(s.RelativeNote));
        b.U8(0);
        b.Text(s.Name, 22, ' ');

        std::int16_t previous = 0;
        for (std::int16_t v : s.Data) {
            b.U16(static_cast<std::uint16_t>(static_cast<std::uint16_t>(v) -
                                             static_cast<std::uint16_t>(previous)));
            previous = v;
        }
    }
    return std::move(b.Out);
}

} // namespace vantorel::xm
