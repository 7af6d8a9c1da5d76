#pragma once
// The About box's decorative labels: a label drawn with a raised 3-D text
// effect, and link labels that hand a web or mail address to the desktop.

#include <QLabel>

#include "dialogs/LinkAddress.h"
#include "skin/TextEffect.h"

class ToxLabel : public QLabel {
    Q_OBJECT
public:
    explicit ToxLabel(const QString& text, QWidget* parent = nullptr);

    T3DEffect Font3D() const { return font3D_; }
    void SetFont3D(T3DEffect effect);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    T3DEffect font3D_ = ox3Normal;
};

class ToxLinkLabel : public QLabel {
    Q_OBJECT
public:
    ToxLinkLabel(const QString& text, TLinkKind kind, QWidget* parent = nullptr);

    TLinkKind Kind() const { return kind_; }
    // The address a click opens.
    QString Address() const { return LinkAddress(text(), kind_); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TLinkKind kind_;
    bool pressed_ = false;
};
