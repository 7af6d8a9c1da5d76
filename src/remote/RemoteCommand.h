#pragma once
// What a remote page may ask of the desk, read from one WebSocket text
// message. Everything a client sends is hostile until read here: bounded in
// size, one JSON object of known keys, numbers whole and in range.

#include <QByteArrayView>
#include <QString>

namespace remote {

// Longer messages are refused before they are parsed.
inline constexpr qsizetype MAX_COMMAND_BYTES = 512;
inline constexpr qsizetype TOKEN_LENGTH = 43; // 32 random bytes, base64url
inline constexpr qsizetype MAX_DEVICE_NAME = 64;

struct TRemoteCommand {
    enum class Kind {
        Auth,    // token: a paired page comes back
        Pair,    // code, device: a page asks to pair
        Move,    // slot, level: a fader follows a finger
        Press,   // slot: a momentary bump held
        Release, // slot: and let go
        Latch,   // slot, on: a toggle bump
        Page,    // page: the page shown
    };
    Kind What = Kind::Move;
    int Slot = 0;  // 1..32
    int Level = 0; // 0..255
    int Page = 0;  // 1..16
    bool On = false;
    QString Code;   // six digits
    QString Token;  // TOKEN_LENGTH base64url characters
    QString Device; // printable, at most MAX_DEVICE_NAME characters
};

struct TParsedCommand {
    bool Ok = false;
    TRemoteCommand Command;
    QString Error; // why a message was refused
};

TParsedCommand ParseRemoteCommand(QByteArrayView message);

} // namespace remote
