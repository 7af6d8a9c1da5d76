#pragma once
// Objects with one property of every kind the store distinguishes.

#include <QFont>
#include <QObject>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include "base/Colors.h"
#include "persist/oxPerst.h"

class TSample : public QObject {
    Q_OBJECT
    Q_CLASSINFO("oxType:Color", "TColor")
    Q_CLASSINFO("oxType:Cursor", "TCursor")
    Q_PROPERTY(int Count MEMBER count)
    Q_PROPERTY(short Small MEMBER small)
    Q_PROPERTY(TColor Color MEMBER color)
    Q_PROPERTY(int Cursor MEMBER cursor)
    Q_PROPERTY(QChar Letter MEMBER letter)
    Q_PROPERTY(bool Checked MEMBER checked)
    Q_PROPERTY(TAlign Align MEMBER align)
    Q_PROPERTY(QString Caption MEMBER caption)
    Q_PROPERTY(TStyles Style READ Style WRITE SetStyle)
    Q_PROPERTY(TSample* Buddy MEMBER buddy)
    Q_PROPERTY(QStringList Lines MEMBER lines)
    Q_PROPERTY(QFont Font MEMBER font)
    Q_PROPERTY(double Ratio MEMBER ratio)
    Q_PROPERTY(QPixmap Glyph READ Glyph WRITE SetGlyph)
public:
    enum TAlign { alNone, alTop, alBottom, alClient };
    Q_ENUM(TAlign)
    enum TStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
    Q_DECLARE_FLAGS(TStyles, TStyle)
    Q_FLAG(TStyles)

    explicit TSample(const QString& name = {}, QObject* owner = nullptr) : QObject(owner) {
        setObjectName(name);
    }

    TStyles Style() const { return style; }
    void SetStyle(TStyles v) { style = v; }

    QPixmap Glyph() const { return glyph; }
    void SetGlyph(const QPixmap& v) { glyph = v; }

    int count = 7;
    short small = 3;
    TColor color = clRed;
    int cursor = 0;
    QChar letter = QLatin1Char('x');
    bool checked = false;
    TAlign align = alTop;
    QString caption = QStringLiteral("caption");
    TStyles style;
    TSample* buddy = nullptr;
    QStringList lines;
    QFont font;
    double ratio = 0.5;
    QPixmap glyph;
};

// A window whose destructor raises OnDestroy, as the automatic save expects.
class TSampleWindow : public QWidget, public TDestroyNotifier {
    Q_OBJECT
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
public:
    TSampleWindow() { setObjectName(QStringLiteral("SampleForm")); }
    ~TSampleWindow() override {
        if (OnDestroy) OnDestroy();
    }
    int Top() const { return pos().y(); }
    void SetTop(int v) { move(pos().x(), v); }
    int Left() const { return pos().x(); }
    void SetLeft(int v) { move(v, pos().y()); }
};
