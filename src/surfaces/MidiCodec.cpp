#include "surfaces/MidiCodec.h"

namespace {

constexpr int kCcType = 0, kBendType = 1, kNoteType = 2, kProgramType = 3;

std::uint32_t Key(int type, int channel, int number) {
    return static_cast<std::uint32_t>(type << 16 | channel << 8 | number);
}

std::uint8_t Status(int high, int channel) {
    return static_cast<std::uint8_t>(high | (channel & 0x0F));
}

std::uint8_t Data(int value) {
    return static_cast<std::uint8_t>(value & 0x7F);
}

} // namespace

TMidiCodec::TMidiCodec(TSurfaceProfile profile)
    : profile_(std::move(profile)), msb_(profile_.Controls.size(), 0) {
    for (std::size_t i = 0; i < profile_.Controls.size(); ++i) {
        const TMidiAddress& a = profile_.Controls[i].Address;
        const int at = static_cast<int>(i);
        switch (a.Kind) {
        case TMidiKind::Cc:
            byKey_[Key(kCcType, a.Channel, a.Number)] = at;
            break;
        case TMidiKind::Cc14:
            byKey_[Key(kCcType, a.Channel, a.Number)] = at;
            byKey_[Key(kCcType, a.Channel, a.Lsb)] = at;
            break;
        case TMidiKind::PitchBend:
            byKey_[Key(kBendType, a.Channel, 0)] = at;
            break;
        case TMidiKind::Note:
            byKey_[Key(kNoteType, a.Channel, a.Number)] = at;
            break;
        case TMidiKind::Program:
            byKey_[Key(kProgramType, a.Channel, a.Number)] = at;
            break;
        }
    }
}

std::optional<TSurfaceInput> TMidiCodec::Decode(const std::uint8_t* bytes, std::size_t size) {
    if (bytes == nullptr || size < 2) return std::nullopt;
    const int status = bytes[0];
    if (status < 0x80 || status >= 0xF0) return std::nullopt;
    const int high = status & 0xF0;
    const int channel = status & 0x0F;
    const std::size_t need = (high == 0xC0 || high == 0xD0) ? 2 : 3;
    if (size < need) return std::nullopt;
    for (std::size_t i = 1; i < need; ++i)
        if (bytes[i] > 0x7F) return std::nullopt;
    const int d1 = bytes[1];
    const int d2 = need == 3 ? bytes[2] : 0;

    std::uint32_t key = 0;
    switch (high) {
    case 0xB0:
        key = Key(kCcType, channel, d1);
        break;
    case 0xE0:
        key = Key(kBendType, channel, 0);
        break;
    case 0x90:
    case 0x80:
        key = Key(kNoteType, channel, d1);
        break;
    case 0xC0:
        key = Key(kProgramType, channel, d1);
        break;
    default:
        return std::nullopt;
    }
    const auto found = byKey_.find(key);
    if (found == byKey_.end()) return std::nullopt;
    const TProfileControl& control = profile_.Controls[static_cast<std::size_t>(found->second)];
    TSurfaceInput input;
    input.Role = control.Role;
    input.Index = control.Index;
    const TMidiAddress& a = control.Address;
    if (control.Role == TControlRole::Fader) {
        input.Max = a.Max();
        switch (a.Kind) {
        case TMidiKind::Cc:
            input.Value = d2;
            break;
        case TMidiKind::Cc14: {
            // An MSB alone sets the coarse value with the fine part at zero,
            // as MIDI defines; an LSB refines the last MSB.
            int& msb = msb_[static_cast<std::size_t>(found->second)];
            if (d1 == a.Number) {
                msb = d2;
                input.Value = d2 << 7;
            } else {
                input.Value = msb << 7 | d2;
            }
            break;
        }
        case TMidiKind::PitchBend:
            input.Value = d2 << 7 | d1;
            break;
        default:
            return std::nullopt;
        }
        return input;
    }
    switch (high) {
    case 0x90:
        input.Pressed = d2 > 0;
        break;
    case 0x80:
        input.Pressed = false;
        break;
    case 0xB0:
        input.Pressed = d2 >= 64;
        break;
    case 0xC0:
        input.Pressed = true;
        break;
    default:
        return std::nullopt;
    }
    return input;
}

const TProfileControl* TMidiCodec::Find(int role, int index) const {
    for (const auto& c : profile_.Controls)
        if (static_cast<int>(c.Role) == role && c.Index == index) return &c;
    return nullptr;
}

int TMidiCodec::FaderMax(int index) const {
    const TProfileControl* c = Find(static_cast<int>(TControlRole::Fader), index);
    return c == nullptr ? 0 : c->Address.Max();
}

TMidiBytes TMidiCodec::FaderMessage(int index, int value) const {
    const TProfileControl* c = Find(static_cast<int>(TControlRole::Fader), index);
    if (c == nullptr) return {};
    const TMidiAddress& a = c->Address;
    value = std::clamp(value, 0, a.Max());
    switch (a.Kind) {
    case TMidiKind::Cc:
        return {Status(0xB0, a.Channel), Data(a.Number), Data(value)};
    case TMidiKind::Cc14:
        return {Status(0xB0, a.Channel), Data(a.Number), Data(value >> 7),
                Status(0xB0, a.Channel), Data(a.Lsb),    Data(value)};
    case TMidiKind::PitchBend:
        return {Status(0xE0, a.Channel), Data(value), Data(value >> 7)};
    default:
        return {};
    }
}

namespace {

TMidiBytes LightMessage(const TProfileControl* c, bool lit) {
    if (c == nullptr) return {};
    const TMidiAddress& a = c->Address;
    const std::uint8_t value = lit ? 127 : 0;
    switch (a.Kind) {
    case TMidiKind::Note:
        return {Status(0x90, a.Channel), Data(a.Number), value};
    case TMidiKind::Cc:
        return {Status(0xB0, a.Channel), Data(a.Number), value};
    default:
        return {};
    }
}

} // namespace

TMidiBytes TMidiCodec::BumpMessage(int index, bool lit) const {
    return LightMessage(Find(static_cast<int>(TControlRole::Bump), index), lit);
}

TMidiBytes TMidiCodec::PageMessage(int page, bool lit) const {
    return LightMessage(Find(static_cast<int>(TControlRole::Page), page), lit);
}

std::optional<TMidiAddress> LearnedAddress(const std::uint8_t* bytes, std::size_t size) {
    if (bytes == nullptr || size < 3 || bytes[1] > 0x7F || bytes[2] > 0x7F) return std::nullopt;
    const int high = bytes[0] & 0xF0;
    TMidiAddress a;
    a.Channel = bytes[0] & 0x0F;
    if (high == 0xB0) {
        a.Kind = TMidiKind::Cc;
        a.Number = bytes[1];
        return a;
    }
    if (high == 0xE0) {
        a.Kind = TMidiKind::PitchBend;
        return a;
    }
    return std::nullopt;
}
