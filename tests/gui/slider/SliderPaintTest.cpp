#include "SliderFixture.h"

class SliderPaintTest : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(SliderPaintTest)
#include "SliderPaintTest.moc"
