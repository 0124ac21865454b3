#include <QTest>

#include "support/test_registry.h"
#include "ui/output_path_text.h"
#include "ui/twips.h"

using quillet::OutputPathText;

class OutputPathTextTest : public QObject {
    Q_OBJECT
private slots:
    void joinsFolderNameAndExtension() {
        QCOMPARE(OutputPathText("/data", "sales", ".csv"), std::string("/data/sales.csv"));
        QCOMPARE(OutputPathText("/", "sales", ".csv"), std::string("/sales.csv"));
        QCOMPARE(OutputPathText("/data/", "sales", ".xls"), std::string("/data/sales.xls"));
    }
    void collapsesDoubledSeparatorsFromTheLeftWithoutOverlap() {
        QCOMPARE(OutputPathText("//srv//share", "t", ".txt"), std::string("/srv/share/t.txt"));
        QCOMPARE(OutputPathText("/a//", "t", ".txt"), std::string("/a//t.txt"));
        QCOMPARE(OutputPathText("/a///", "t", ".txt"), std::string("/a//t.txt"));
    }
    void twipsFollowTheLogicalDpi() {
        QCOMPARE(quillet::TwipsToPixels(15, 96), 1);
        QCOMPARE(quillet::TwipsToPixels(9135, 96), 609);
        QCOMPARE(quillet::TwipsToPixels(9135, 192), 1218);
        QCOMPARE(quillet::TwipsToPixels(1440, 120), 120);
    }
};

QUILLET_UI_TEST(OutputPathTextTest);

#include "output_path_text_test.moc"
