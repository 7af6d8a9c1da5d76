#include "remote/DeskPicture.h"

#include <cmath>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "model/Captions.h"
#include "model/DeskModel.h"

namespace remote {

namespace {

// The few system colours a stored fader colour can name, in the desk's
// classic scheme; anything else is drawn grey.
TColor PlainColor(TColor color) {
    if (!IsSystemColor(color)) return color & 0xFFFFFF;
    switch (color) {
    case clBtnFace:
    case clMenu:
    case cl3DLight:
        return clSilver;
    case clBtnShadow:
    case clGrayText:
        return clGray;
    case clWindow:
    case clBtnHighlight:
    case clHighlightText:
        return clWhite;
    case clHighlight:
    case clActiveCaption:
        return clNavy;
    default:
        return clBlack;
    }
}

QJsonArray PageColorList(const TDeskModel& model, const TDeskLook& look) {
    const auto colors = PageColors(model.Table(), model.Page(), look.Palette);
    QJsonArray list;
    for (int page = 1; page <= PAGE_COUNT; ++page)
        list.append(QString::fromLatin1(CssColor(colors[static_cast<std::size_t>(page)])));
    return list;
}

void AddMovingParts(QJsonObject& o, const TDeskModel& model, const TDeskLook& look) {
    QJsonArray levels, texts, lit, latched;
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot) {
        const int level = model.FaderPosition(slot);
        levels.append(level);
        texts.append(QString::fromLatin1(ReadoutText(level, look.ShowDigits)));
        lit.append(model.BumpLit(slot));
        latched.append(model.BumpLatched(slot));
    }
    o.insert(QStringLiteral("levels"), levels);
    o.insert(QStringLiteral("texts"), texts);
    o.insert(QStringLiteral("lit"), lit);
    o.insert(QStringLiteral("latched"), latched);
    o.insert(QStringLiteral("pages"), PageColorList(model, look));
    o.insert(QStringLiteral("bumpOn"), QString::fromLatin1(CssColor(look.Palette.On)));
    o.insert(QStringLiteral("bumpOff"), QString::fromLatin1(CssColor(look.Palette.Off)));
}

} // namespace

QByteArray CssColor(TColor color) {
    const TColor c = PlainColor(color);
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    return QByteArray(text, 7);
}

QByteArray ReadoutText(int level, bool digits) {
    if (digits) return QByteArray::number(level);
    // No level falls on a half percent, so rounding has no ties.
    return QByteArray::number(static_cast<int>(std::lround(level * 100.0 / DMX_MAX_LEVEL))) + '%';
}

QByteArray StateMessage(const TDeskModel& model, const TDeskLook& look) {
    QJsonObject o{{QStringLiteral("t"), QStringLiteral("state")},
                  {QStringLiteral("page"), model.Page() + 1},
                  {QStringLiteral("ready"), model.Ready()},
                  {QStringLiteral("toggle"), model.ToggleBumps()},
                  {QStringLiteral("digits"), look.ShowDigits}};
    QJsonArray channels, name1, name2, colors;
    const TChannelTable& table = model.Table();
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot) {
        const int c = model.ChannelOf(slot);
        channels.append(c);
        name1.append(CaptionText(table.Name1Of(c)));
        name2.append(CaptionText(table.Name2Of(c)));
        colors.append(QString::fromLatin1(CssColor(table.FaderColorOf(c))));
    }
    o.insert(QStringLiteral("channels"), channels);
    o.insert(QStringLiteral("name1"), name1);
    o.insert(QStringLiteral("name2"), name2);
    o.insert(QStringLiteral("colors"), colors);
    AddMovingParts(o, model, look);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QByteArray LevelsMessage(const TDeskModel& model, const TDeskLook& look) {
    QJsonObject o{{QStringLiteral("t"), QStringLiteral("levels")}};
    AddMovingParts(o, model, look);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

} // namespace remote
