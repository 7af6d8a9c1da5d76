// The desk's faces resolve once to the family they fell back to before, with
// the same pixels, and fonts of one face, size and style are shared.

#include <QFontDatabase>
#include <QFontInfo>
#include <QPainter>
#include <QtTest>

#include "base/FontFallbacks.h"
#include "slider/VSliderSettings.h"

namespace {

QFont Probe(const QString& face, int pixelSize) {
    QFont f(face);
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelSize);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QImage Rendered(const QFont& font) {
    QImage img(160, 40, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPoint(2, 28), QStringLiteral("Stage 128 % ÅÉ gjq"));
    return img;
}

} // namespace

class FontFallbackTest : public QObject {
    Q_OBJECT
private slots:
    void missingFacesGetTheFamilyTheyFellBackTo() {
        QStringList missing;
        QMap<QString, QString> before;
        QMap<QString, QImage> pictures;
        for (const QString& face : DeskFontFaces()) {
            if (QFontDatabase::hasFamily(face)) continue;
            missing << face;
            before[face] = QFontInfo(Probe(face, 9)).family();
            pictures[face] = Rendered(Probe(face, 9));
        }
        if (missing.isEmpty()) QSKIP("every face the desk names is installed here");

        QCOMPARE(InstallFontFallbacks(), missing);
        for (const QString& face : missing) {
            QCOMPARE(QFont::substitutes(face),
                     QStringList{before[face].toLower()}); // kept in lower case
            QCOMPARE(QFontInfo(Probe(face, 23)).family(), before[face]);
            // The family by its own name, loaded afresh, draws what the fallback drew.
            QCOMPARE(Rendered(Probe(before[face], 9)), pictures[face]);
        }
        QVERIFY(InstallFontFallbacks().isEmpty()); // once is enough
    }

    void oneFontPerFaceSizeAndStyle() {
        const int count = SharedFontCount();
        const QFont& a = SharedFont({QStringLiteral("Arial"), 17});
        QCOMPARE(SharedFontCount(), count + 1);
        QCOMPARE(&SharedFont({QStringLiteral("Arial"), 17}), &a);
        QVERIFY(&SharedFont({QStringLiteral("Arial"), 18}) != &a);
        const QFont& bold = SharedFont({QStringLiteral("Arial"), 17, true});
        QVERIFY(&bold != &a);
        QVERIFY(bold.bold());
        QCOMPARE(a.pixelSize(), 17);
        QCOMPARE(SharedFontCount(), count + 3);
    }

    void slidersOfOneLookShareTheirFont() {
        TSkFont one(QStringLiteral("Arial"), 7, clNavy);
        TSkFont two(QStringLiteral("Arial"), 7, clRed); // the colour is not part of the font
        QCOMPARE(&one.ToQFont(), &two.ToQFont());
        QCOMPARE(one.ToQFont().pixelSize(), 9);
        two.SetStyle(fsBold);
        QVERIFY(&one.ToQFont() != &two.ToQFont());
        QVERIFY(two.ToQFont().bold());
        two.SetStyle(0);
        QCOMPARE(&one.ToQFont(), &two.ToQFont());
    }
};

QTEST_MAIN(FontFallbackTest)
#include "font_fallback_test.moc"
